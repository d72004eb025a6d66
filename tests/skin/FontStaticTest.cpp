// Self-drawn title lines and texts: style flags, fonts, alignment, dragging.
#include "CraftedImages.h"
#include "MoveRecorder.h"

#include "skin/ColorRef.h"
#include "skin/FontStatic.h"
#include "skin/GdiFont.h"
#include "skin/SkinFrame.h"
#include "skin/TahomaFace.h"

#include <QApplication>
#include <QFile>
#include <QFontInfo>
#include <QFontMetrics>
#include <QMouseEvent>

#include <gtest/gtest.h>

namespace {

// Leftmost and rightmost columns holding text ink (anything not the background).
std::pair<int, int> InkColumns(const QImage& image, QRgb background)
{
    int first = -1, last = -1;
    for (int x = 0; x < image.width(); ++x)
        for (int y = 0; y < image.height(); ++y)
            if (image.pixel(x, y) != background) {
                if (first < 0)
                    first = x;
                last = x;
            }
    return {first, last};
}

TEST(ColorFromCOLORREF, LowByteIsRed)
{
    EXPECT_EQ(ColorFromCOLORREF(0x9C6923), QColor(35, 105, 156));
    EXPECT_EQ(ColorFromCOLORREF(0xB07D01), QColor(1, 125, 176));
    EXPECT_EQ(RgbQuadFromCOLORREF(0x9C6923), 0x0023699Cu);
}

TEST(TahomaFace, DialogFaceNamesResolveToARealFace)
{
    const QString family = InstallTahomaFace();
    ASSERT_FALSE(family.isEmpty());
    if (QFile::exists(QStringLiteral("/usr/share/wine/fonts/tahoma.ttf"))) {
        EXPECT_EQ(family, QStringLiteral("Tahoma"));
    }
    for (const char* name : {"Tahoma", "MS Shell Dlg", "MS Sans Serif"})
        EXPECT_EQ(QFontInfo(QFont(QLatin1String(name))).family(), family) << name;
}

TEST(GdiFont, PositiveHeightIsTheCellNegativeTheEm)
{
    const QString family = InstallTahomaFace();
    for (int height : {13, 16, 18, 24}) {
        const QFont cell = MakeGdiFont(QStringLiteral("Tahoma"), height);
        EXPECT_LT(cell.pixelSize(), height) << height;
        EXPECT_GT(cell.pixelSize(), height * 3 / 4) << height;
        EXPECT_EQ(MakeGdiFont(QStringLiteral("Tahoma"), -height).pixelSize(), height);
    }
    if (family == QStringLiteral("Tahoma")) {
        // Tahoma's cell is 2472 / 2048 em, as the Windows font mapper sizes it.
        EXPECT_EQ(MakeGdiFont(QStringLiteral("Tahoma"), 16).pixelSize(), 13);
        EXPECT_EQ(MakeGdiFont(QStringLiteral("Tahoma"), 24).pixelSize(), 20);
    }
    // A face whose metrics Qt reports as Windows would: the cell matches.
    const QFont dejaVu = MakeGdiFont(QStringLiteral("DejaVu Sans"), 20);
    if (QFontInfo(dejaVu).family() == QStringLiteral("DejaVu Sans")) {
        const QFontMetrics metrics(dejaVu);
        EXPECT_NEAR(metrics.ascent() + metrics.descent(), 20, 1);
    }
}

TEST(FontStatic, FreshStaticWithPlainFlags)
{
    CFontStatic text;
    EXPECT_EQ(text.Face(), QStringLiteral("MS Sans Serif"));
    EXPECT_EQ(text.FontHeight(), 8);
    text.SetFontStyle(QStringLiteral("Tahoma"), 16, 0x3C3C3C, 0x40);
    const QFont font = text.CreateTextFont();
    EXPECT_EQ(font.weight(), QFont::Normal);
    EXPECT_FALSE(font.italic());
    EXPECT_FALSE(font.underline());
    EXPECT_FALSE(font.strikeOut());
    EXPECT_EQ(font.styleStrategy(), QFont::PreferDefault);
    EXPECT_EQ(text.TextAlignment(), Qt::AlignLeft);
    EXPECT_EQ(text.TextColor(), 0x3C3C3Cu);
}

TEST(FontStatic, StyleBitsStickAlignmentIsReset)
{
    CFontStatic text;
    text.SetFontStyle(QStringLiteral("Tahoma"), 16, 0, 0x01 | 0x02 | 0x80);
    text.SetFontStyle(QStringLiteral("Tahoma"), 18, 0, 0x40);
    EXPECT_TRUE(text.IsBold());
    EXPECT_TRUE(text.IsItalic());
    EXPECT_FALSE(text.IsUnderline());
    EXPECT_EQ(text.CreateTextFont().weight(), QFont::Black);
    EXPECT_EQ(text.TextAlignment(), Qt::AlignLeft);
    EXPECT_EQ(text.FontHeight(), 18);

    text.SetFontStyle(QStringLiteral("Tahoma"), 16, 0, 0xA0);
    EXPECT_EQ(text.TextAlignment(), Qt::AlignHCenter);
    text.SetFontStyle(QStringLiteral("Tahoma"), 16, 0, 0x80 | 0x04 | 0x08 | 0x10);
    EXPECT_EQ(text.TextAlignment(), Qt::AlignRight);
    const QFont font = text.CreateTextFont();
    EXPECT_TRUE(font.underline());
    EXPECT_TRUE(font.strikeOut());
    EXPECT_EQ(font.styleStrategy(), QFont::PreferAntialias);
}

TEST(FontStatic, DrawsItsTextInItsColourAndAlignment)
{
    InstallTahomaFace();
    const QRgb background = qRgb(230, 230, 230);
    QWidget parent;
    CSkinFrame skin;
    ASSERT_TRUE(skin.Attach(&parent, MakeSolidBmp(300, 40, QColor(background)), CSkinFrame::kBackgroundOnly));
    parent.resize(300, 40);
    CFontStatic text(&parent);
    text.setGeometry(0, 0, 300, 40);
    text.setText(QStringLiteral("Convert &Excel"));
    parent.show();

    text.SetFontStyle(QStringLiteral("Tahoma"), 18, 0x9C6923, 0xA0);
    QImage shot = parent.grab().toImage();
    const auto [left, right] = InkColumns(shot, background);
    ASSERT_GE(left, 0);
    EXPECT_NEAR((left + right) / 2, 150, 3);
    bool headingColour = false;
    for (int y = 0; y < 40 && !headingColour; ++y)
        for (int x = left; x <= right && !headingColour; ++x)
            headingColour = shot.pixel(x, y) == qRgb(35, 105, 156);
    EXPECT_TRUE(headingColour);

    text.SetFontStyle(QStringLiteral("Tahoma"), 18, 0x9C6923, 0x80);
    shot = parent.grab().toImage();
    EXPECT_GE(InkColumns(shot, background).second, 294);
    text.SetFontStyle(QStringLiteral("Tahoma"), 18, 0x9C6923, 0x40);
    shot = parent.grab().toImage();
    EXPECT_LE(InkColumns(shot, background).first, 3);
}

struct TitleOnWindow {
    TitleOnWindow()
        : title(&window)
    {
        skin.Attach(&window, MakeSolidBmp(200, 100, QColor(180, 180, 180)), CSkinFrame::kDraggableWindow);
        title.setGeometry(20, 4, 150, 18); // inside the drag band
        title.setText(QStringLiteral("Orvik Excel To PDF"));
        window.move(300, 200);
        window.show();
    }
    void Press(QPoint local, QPoint globalShift = {}, QEvent::Type type = QEvent::MouseButtonPress)
    {
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, QPointF(local), QPointF(title.mapToGlobal(local) + globalShift), button, held,
                          Qt::NoModifier);
        QApplication::sendEvent(&title, &event);
    }

    QWidget window;
    CSkinFrame skin;
    CFontStatic title;
};

TEST(FontStatic, TitleLineMovesItsWindowOnlyWhenDraggingIsOn)
{
    TitleOnWindow t;
    MoveRecorder moves;
    t.Press(QPoint(5, 5));
    EXPECT_TRUE(moves.windows.empty()); // and the window's band underneath saw nothing
    t.Press(QPoint(5, 5), {}, QEvent::MouseButtonRelease);

    t.title.SetTitleLine(QStringLiteral("About Orvik Excel To PDF"));
    EXPECT_EQ(t.title.FontHeight(), 16);
    EXPECT_EQ(t.title.TextColor(), 0x3C3C3Cu);
    ASSERT_TRUE(t.title.m_bDragWindow);
    const QPoint start = t.title.mapToGlobal(QPoint(5, 5));
    t.Press(QPoint(5, 5));
    ASSERT_EQ(moves.windows.size(), 1u);
    EXPECT_EQ(moves.windows[0], &t.window);
    QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), QPointF(start + QPoint(-30, 12)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&t.title, &move);
    EXPECT_EQ(t.window.pos(), QPoint(270, 212));
    t.Press(QPoint(5, 5), {}, QEvent::MouseButtonRelease);
}

} // namespace
