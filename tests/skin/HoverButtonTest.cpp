// Image buttons offscreen: sizing, frames by state, blending over the skin.
#include "CraftedImages.h"

#include "skin/BmpHoverButton.h"
#include "skin/HoverButton.h"
#include "skin/SkinFrame.h"

#include <QApplication>
#include <QEnterEvent>
#include <QThread>
#include <QWidget>

#include <algorithm>

#include <gtest/gtest.h>

namespace {

const QRgb kSkin = qRgb(200, 100, 50);

// A skinned parent with a hover button at (10, 10) showing a 4 x 3 strip:
// opaque red, opaque green, and blue at alpha 128; two spare columns.
struct ButtonOnSkin {
    ButtonOnSkin()
        : button(&parent)
    {
        frame.Attach(&parent, MakeSolidBmp(40, 30, QColor(kSkin)), CSkinFrame::kFixedWindow);
        button.move(10, 10);
        loaded = button.SetPngImage(
            MakePng(MakeStrip(4, 3, {QColor(255, 0, 0), QColor(0, 255, 0), QColor(0, 0, 255, 128)}, 2)));
        parent.show();
    }
    QRgb Shown() { return parent.grab().toImage().pixel(11, 11); }
    void Enter() { QEnterEvent e(QPointF(1, 1), QPointF(11, 11), QPointF(11, 11)); QApplication::sendEvent(&button, &e); }
    void Leave() { QEvent e(QEvent::Leave); QApplication::sendEvent(&button, &e); }

    QWidget parent;
    CSkinFrame frame;
    CHoverButton button;
    bool loaded = false;
};

// Blue at alpha 128 over the skin: ((v * 127) >> 8) + premultiplied colour.
const QRgb kHoverOverSkin = qRgb((200 * 127) >> 8, (100 * 127) >> 8, ((50 * 127) >> 8) + 128);

TEST(HoverButton, SizedToOneFrameWithoutMoving)
{
    ButtonOnSkin s;
    ASSERT_TRUE(s.loaded);
    EXPECT_EQ(s.button.geometry(), QRect(10, 10, 4, 3)); // 14 / 3 = 4: the spare columns are never shown
    EXPECT_EQ(s.button.FrameWidth(), 4);
    EXPECT_EQ(s.button.FrameHeight(), 3);
}

TEST(HoverButton, FramesFollowHoverPressAndDisable)
{
    ButtonOnSkin s;
    EXPECT_EQ(s.Shown(), qRgb(255, 0, 0));
    s.Enter();
    EXPECT_TRUE(s.button.IsHover());
    EXPECT_EQ(s.Shown(), kHoverOverSkin);
    // Frame 2 ends at strip column 11; the spare black columns 12 and 13 never show.
    const QImage hovered = s.parent.grab().toImage();
    EXPECT_EQ(hovered.pixel(13, 12), kHoverOverSkin);
    EXPECT_EQ(hovered.pixel(14, 12), kSkin);
    s.Leave();
    EXPECT_EQ(s.Shown(), qRgb(255, 0, 0));
    s.button.setDown(true);
    EXPECT_EQ(s.Shown(), kHoverOverSkin);
    s.button.setDown(false);
    s.button.setEnabled(false);
    s.Enter();
    EXPECT_EQ(s.button.CurrentFrame(), 1);
    EXPECT_EQ(s.Shown(), qRgb(0, 255, 0));
    // The skin around the button is untouched.
    EXPECT_EQ(s.parent.grab().toImage().pixel(9, 9), kSkin);
}

TEST(HoverButton, FailedLoadsKeepTheButtonAsItWas)
{
    ButtonOnSkin s;
    QImage opaque(9, 3, QImage::Format_RGB32);
    opaque.fill(Qt::yellow);
    EXPECT_FALSE(s.button.SetPngImage(987654));
    EXPECT_FALSE(s.button.SetPngImage(MakePng(opaque)));
    const QByteArray strip = MakePng(MakeStrip(5, 5, {Qt::black, Qt::black, Qt::black}));
    EXPECT_FALSE(s.button.SetPngImage(strip.left(strip.size() - 20)));
    EXPECT_EQ(s.button.geometry(), QRect(10, 10, 4, 3));
    EXPECT_EQ(s.Shown(), qRgb(255, 0, 0));
}

TEST(HoverButton, WithoutAnyImageItStillPaints)
{
    QWidget parent;
    CHoverButton button(&parent);
    button.setText(QStringLiteral("OK"));
    button.resize(40, 20);
    parent.show();
    EXPECT_FALSE(button.HasImage());
    EXPECT_FALSE(parent.grab().isNull());
}

TEST(HoverButton, ImageSetFromAnotherThreadArrivesOnTheButtonsThread)
{
    ButtonOnSkin s;
    const QByteArray wide = MakePng(MakeStrip(7, 5, {Qt::white, Qt::white, Qt::white}));
    bool result = false;
    QThread* worker = QThread::create([&] { result = s.button.SetPngImage(wide); });
    worker->start();
    worker->wait();
    delete worker;
    EXPECT_TRUE(result);
    QApplication::processEvents();
    EXPECT_EQ(s.button.geometry(), QRect(10, 10, 7, 5));
}

TEST(BmpHoverButton, FramesAndCentredCaption)
{
    QWidget parent;
    CBmpHoverButton tab(&parent);
    tab.move(3, 4);
    const QVector<QRgb> frames{qRgb(250, 250, 250), qRgb(10, 200, 10), qRgb(10, 10, 200)};
    // 3 frames of 30 x 20 plus one spare column.
    ASSERT_TRUE(tab.SetBitmapImage(MakeBmp(91, 20, 24, [&](int x, int) {
        return x >= 90 ? 0u : quint32(frames[x / 30] & 0xFFFFFF);
    })));
    EXPECT_EQ(tab.geometry(), QRect(3, 4, 30, 20));
    parent.show();
    EXPECT_EQ(tab.grab().toImage().pixel(0, 0), frames[0]);
    QEnterEvent enter(QPointF(1, 1), QPointF(4, 5), QPointF(4, 5));
    QApplication::sendEvent(&tab, &enter);
    EXPECT_EQ(tab.grab().toImage().pixel(0, 0), frames[2]);
    tab.setDown(true);
    EXPECT_EQ(tab.grab().toImage().pixel(0, 0), frames[1]);
    tab.setDown(false);
    tab.setEnabled(false); // no disabled look of its own
    EXPECT_EQ(tab.CurrentFrame(), 2);

    tab.setText(QStringLiteral("I"));
    const QPoint origin = tab.TextOrigin();
    const QFontMetrics metrics(tab.font());
    EXPECT_EQ(origin.x(), 15 - metrics.horizontalAdvance(QStringLiteral("I")) / 2);
    EXPECT_EQ(origin.y(), 10 - metrics.height() / 2);
    // The caption is anti-aliased over the blue frame: its inked pixels turn
    // grey (red = green) and centre on the button.
    const QImage shot = tab.grab().toImage();
    int inkLeft = 30, inkRight = -1, greyest = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x) {
            const QRgb p = shot.pixel(x, y);
            if (p == frames[2])
                continue;
            inkLeft = std::min(inkLeft, x);
            inkRight = std::max(inkRight, x);
            EXPECT_EQ(qRed(p), qGreen(p));
            EXPECT_LE(qRed(p), 100);
            greyest = std::max(greyest, qRed(p));
        }
    EXPECT_GE(greyest, 60);
    EXPECT_NEAR((inkLeft + inkRight) / 2.0, 15, 1.5);
    EXPECT_FALSE(tab.SetBitmapImage(987654));
    EXPECT_EQ(tab.geometry(), QRect(3, 4, 30, 20));
}

} // namespace
