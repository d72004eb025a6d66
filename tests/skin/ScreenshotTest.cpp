// Writes a picture of a sample skinned window with its buttons in every state,
// for a look: build/screenshots/skin_sample.png.
#include "CraftedImages.h"

#include "res/Resources.h"
#include "skin/BmpHoverButton.h"
#include "skin/FontStatic.h"
#include "skin/HoverButton.h"
#include "skin/SkinFrame.h"
#include "skin/SxGroupBox.h"
#include "skin/TahomaFace.h"

#include <QApplication>
#include <QDir>
#include <QEnterEvent>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

QByteArray PageBitmap()
{
    const QByteArray real = Resources::Bitmap(161);
    if (!real.isEmpty())
        return real;
    // A light page with rounded-off magenta corners and a darker top band.
    return MakeBmp(685, 410, 24, [](int x, int y) -> quint32 {
        const int dx = x < 8 ? 8 - x : x > 676 ? x - 676 : 0;
        const int dy = y < 8 ? 8 - y : y > 401 ? y - 401 : 0;
        if (dx * dx + dy * dy > 64)
            return 0xFF00FF;
        return y < 26 ? 0xD6E4F0 : 0xF4F6F8;
    });
}

QByteArray CloseStrip()
{
    const QByteArray real = Resources::Png(152);
    if (!real.isEmpty())
        return real;
    QImage strip(87, 21, QImage::Format_ARGB32);
    strip.fill(Qt::transparent);
    QPainter painter(&strip);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor fills[] = {QColor(35, 105, 156), QColor(170, 170, 170), QColor(200, 60, 40)};
    for (int f = 0; f < 3; ++f) {
        painter.setBrush(fills[f]);
        painter.setPen(Qt::NoPen);
        painter.drawEllipse(QRectF(f * 29 + 4.5, 1.5, 20, 18));
        painter.setPen(QPen(Qt::white, 2));
        painter.drawLine(QPointF(f * 29 + 10, 6), QPointF(f * 29 + 19, 15));
        painter.drawLine(QPointF(f * 29 + 19, 6), QPointF(f * 29 + 10, 15));
    }
    return MakePng(strip);
}

QByteArray TabStrip()
{
    const QByteArray real = Resources::Bitmap(181);
    if (!real.isEmpty())
        return real;
    const quint32 frames[] = {0xE8EEF4, 0xB8CCE0, 0xD0DEEC};
    return MakeBmp(279, 28, 24, [&](int x, int y) { return y == 27 ? 0x808080u : frames[x / 93]; });
}

TEST(Screenshot, SampleSkinnedWindow)
{
    InstallTahomaFace();
    QWidget window;
    CSkinFrame skin;
    ASSERT_TRUE(skin.Attach(&window, PageBitmap(), CSkinFrame::kDraggableWindow));

    CFontStatic title(&window);
    title.setGeometry(12, 5, 300, 20);
    title.SetTitleLine(QStringLiteral("Orvik Excel To PDF"));

    CFontStatic heading(&window);
    heading.setGeometry(20, 40, 400, 24);
    heading.SetFontStyle(QStringLiteral("Tahoma"), 18, 0x9C6923, 0x40);
    heading.setText(QStringLiteral("Convert Excel To PDF"));

    const char* states[] = {"normal", "hover", "pressed", "disabled"};
    std::vector<std::unique_ptr<CHoverButton>> buttons;
    std::vector<std::unique_ptr<CFontStatic>> labels;
    for (int i = 0; i < 4; ++i) {
        auto button = std::make_unique<CHoverButton>(&window);
        button->move(30 + i * 90, 90);
        ASSERT_TRUE(button->SetPngImage(CloseStrip()));
        auto label = std::make_unique<CFontStatic>(&window);
        label->setGeometry(30 + i * 90, 118, 80, 16);
        label->SetFontStyle(QStringLiteral("Tahoma"), 13, 0x505050, 0x40);
        label->setText(QLatin1String(states[i]));
        buttons.push_back(std::move(button));
        labels.push_back(std::move(label));
    }
    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
    QApplication::sendEvent(buttons[1].get(), &enter);
    buttons[2]->setDown(true);
    buttons[3]->setEnabled(false);

    std::vector<std::unique_ptr<CBmpHoverButton>> tabs;
    for (int i = 0; i < 3; ++i) {
        auto tab = std::make_unique<CBmpHoverButton>(&window);
        tab->move(30 + i * 100, 160);
        ASSERT_TRUE(tab->SetBitmapImage(TabStrip()));
        tab->setText(QLatin1String(i == 0 ? "Description" : i == 1 ? "Security" : "Advanced"));
        tabs.push_back(std::move(tab));
    }
    tabs[1]->setDown(true);
    QApplication::sendEvent(tabs[2].get(), &enter);

    CSxGroupBox group(QStringLiteral("Password"), &window);
    group.setGeometry(30, 210, 320, 90);
    group.Attach();

    window.show();
    QImage shot(window.size(), QImage::Format_ARGB32);
    shot.fill(Qt::transparent);
    {
        QPainter painter(&shot);
        painter.setClipRegion(skin.SkinRegion()); // what the shaped window shows
        painter.drawPixmap(0, 0, window.grab());
    }
    const QString folder = QStringLiteral(ORVIK_BINARY_DIR "/screenshots");
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(shot.save(folder + QStringLiteral("/skin_sample.png")));
    EXPECT_EQ(window.mask(), skin.SkinRegion());
}

} // namespace
