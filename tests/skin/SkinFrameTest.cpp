// The skinned frame on real widgets, offscreen: background, size, shape, drag band.
#include "CraftedImages.h"
#include "MoveRecorder.h"

#include "skin/SkinFrame.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

// A 40 x 30 skin: magenta corners, a blue band at the top, grey elsewhere.
QByteArray SampleSkin()
{
    return MakeBmp(40, 30, 24, [](int x, int y) -> quint32 {
        const bool corner = (x < 3 || x > 36) && (y < 3 || y > 26);
        if (corner)
            return 0xFF00FF;
        return y < 26 ? 0x23699C : 0xC0C0C0;
    });
}

void SendMouse(QWidget* widget, QEvent::Type type, QPoint local, QPoint global, Qt::MouseButtons held)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(local), QPointF(global), button, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

void Press(QWidget* widget, QPoint local)
{
    SendMouse(widget, QEvent::MouseButtonPress, local, widget->mapToGlobal(local), Qt::LeftButton);
}

TEST(SkinFrame, SizesToTheBitmapWithoutMovingAndPaintsIt)
{
    QWidget window;
    window.move(120, 70);
    window.resize(300, 200);
    CSkinFrame frame;
    ASSERT_TRUE(frame.Attach(&window, SampleSkin(), CSkinFrame::kDraggableWindow));
    EXPECT_EQ(window.size(), QSize(40, 30));
    EXPECT_EQ(window.pos(), QPoint(120, 70));
    EXPECT_TRUE(window.windowFlags() & Qt::FramelessWindowHint);
    window.show();
    const QImage shot = window.grab().toImage();
    EXPECT_EQ(shot.pixel(20, 10), qRgb(0x23, 0x69, 0x9C));
    EXPECT_EQ(shot.pixel(20, 28), qRgb(0xC0, 0xC0, 0xC0));
}

TEST(SkinFrame, ShapeLeavesOutMagentaAndSurvivesHideAndShow)
{
    QWidget window;
    CSkinFrame frame;
    ASSERT_TRUE(frame.Attach(&window, SampleSkin(), CSkinFrame::kFixedWindow));
    window.show();
    const QRegion shape = window.mask();
    EXPECT_FALSE(shape.contains(QPoint(0, 0)));
    EXPECT_FALSE(shape.contains(QPoint(39, 29)));
    EXPECT_TRUE(shape.contains(QPoint(3, 0)));
    EXPECT_TRUE(shape.contains(QPoint(20, 15)));
    window.showMinimized();
    window.hide();
    window.showNormal();
    EXPECT_EQ(window.mask(), shape);
    window.resize(50, 50); // a later size change hands the same shape again
    EXPECT_EQ(window.mask(), shape);
}

TEST(SkinFrame, BackgroundOnlyPageKeepsItsSizeAndShape)
{
    QWidget parent;
    QWidget page(&parent);
    page.setGeometry(5, 5, 60, 50);
    CSkinFrame frame;
    ASSERT_TRUE(frame.Attach(&page, SampleSkin(), CSkinFrame::kBackgroundOnly));
    EXPECT_EQ(page.size(), QSize(60, 50));
    EXPECT_TRUE(page.mask().isEmpty());
    MoveRecorder moves;
    Press(&page, QPoint(10, 5));
    EXPECT_TRUE(moves.windows.empty());
    EXPECT_EQ(page.grab().toImage().pixel(20, 10), qRgb(0x23, 0x69, 0x9C));
}

TEST(SkinFrame, OnlyTheTopTwentySixRowsStartAMove)
{
    QWidget window;
    CSkinFrame frame;
    ASSERT_TRUE(frame.Attach(&window, SampleSkin(), CSkinFrame::kDraggableWindow));
    window.show();
    MoveRecorder moves;
    Press(&window, QPoint(10, 26));
    EXPECT_TRUE(moves.windows.empty());
    SendMouse(&window, QEvent::MouseButtonRelease, QPoint(10, 26), window.mapToGlobal(QPoint(10, 26)), {});
    Press(&window, QPoint(10, 25));
    ASSERT_EQ(moves.windows.size(), 1u);
    EXPECT_EQ(moves.windows[0], &window);
    SendMouse(&window, QEvent::MouseButtonRelease, QPoint(10, 25), window.mapToGlobal(QPoint(10, 25)), {});
}

TEST(SkinFrame, WindowsWithoutTheBandIgnorePresses)
{
    QWidget window;
    CSkinFrame frame;
    ASSERT_TRUE(frame.Attach(&window, SampleSkin(), CSkinFrame::kFixedWindow));
    window.show();
    MoveRecorder moves;
    Press(&window, QPoint(10, 0));
    EXPECT_TRUE(moves.windows.empty());
}

TEST(SkinFrame, WindowFollowsTheMouseWhereTheSystemCannotMoveIt)
{
    // The offscreen platform has no window manager: the fallback moves the window.
    QWidget window;
    window.move(200, 100);
    CSkinFrame frame;
    ASSERT_TRUE(frame.Attach(&window, SampleSkin(), CSkinFrame::kDraggableWindow));
    window.show();
    const QPoint start = window.mapToGlobal(QPoint(10, 5));
    Press(&window, QPoint(10, 5));
    SendMouse(&window, QEvent::MouseMove, QPoint(25, 12), start + QPoint(15, 7), Qt::LeftButton);
    EXPECT_EQ(window.pos(), QPoint(215, 107));
    SendMouse(&window, QEvent::MouseButtonRelease, QPoint(10, 5), start + QPoint(15, 7), {});
    SendMouse(&window, QEvent::MouseMove, QPoint(30, 30), start + QPoint(40, 40), {});
    EXPECT_EQ(window.pos(), QPoint(215, 107));
}

TEST(SkinFrame, MissingBitmapLeavesTheWidgetAlone)
{
    QWidget window;
    window.resize(100, 80);
    CSkinFrame frame;
    EXPECT_FALSE(frame.Attach(&window, 987654, CSkinFrame::kDraggableWindow));
    EXPECT_FALSE(frame.Attach(&window, SampleSkin().left(60), CSkinFrame::kDraggableWindow));
    EXPECT_EQ(window.size(), QSize(100, 80));
    EXPECT_TRUE(window.mask().isEmpty());
    window.show();
    MoveRecorder moves;
    Press(&window, QPoint(10, 5));
    EXPECT_TRUE(moves.windows.empty());
}

} // namespace
