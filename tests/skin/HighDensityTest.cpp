// Screens of two device pixels per window pixel: the skin and the image
// buttons are painted pixel for pixel from their pictures at twice the size,
// and from the scale-1 pictures on other screens.
#include "res/Resources.h"
#include "skin/HoverButton.h"
#include "skin/SkinFrame.h"

#include <QImage>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

// The widget as a screen of `ratio` device pixels per window pixel shows it.
QImage Rendered(QWidget& widget, int ratio)
{
    QImage image(widget.size() * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    widget.render(&image);
    return image;
}

// Pixels of `rect` (image pixels) that differ between the two images.
int Differing(const QImage& a, const QImage& b, const QRect& rect)
{
    int count = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            count += (a.pixel(x, y) & 0xFFFFFF) != (b.pixel(x, y) & 0xFFFFFF);
    return count;
}

TEST(HighDensity, SkinAndButtonsArePaintedFromThePicturesOfTheScreensScale)
{
    QWidget window;
    CSkinFrame skin;
    ASSERT_TRUE(skin.Attach(&window, 187, CSkinFrame::kFixedWindow)); // the message box
    CHoverButton ok(&window);
    ok.move(110, 122);
    ASSERT_TRUE(ok.SetPngImage(154));
    EXPECT_TRUE(ok.HasHighImage());
    EXPECT_EQ(window.size(), QSize(286, 157)) << "sizes stay those of the scale-1 pictures";

    for (const int scale : {1, 2}) {
        SCOPED_TRACE(scale);
        const QImage shown = Rendered(window, scale);
        const QImage background = QImage::fromData(Resources::Bitmap(187, scale), "BMP");
        ASSERT_EQ(shown.size(), background.size());
        // Above the button (the corners left out: the shape cuts them), the bitmap itself.
        EXPECT_EQ(Differing(shown, background, QRect(10, 0, shown.width() - 20, 110 * scale)), 0);
        // The opaque pixels of the button's middle row are those of the strip's first frame.
        const QImage strip = QImage::fromData(Resources::Png(154, scale)).convertToFormat(QImage::Format_ARGB32);
        const int y = strip.height() / 2;
        int opaque = 0, differing = 0;
        for (int x = 0; x < strip.width() / 3; ++x) {
            if (qAlpha(strip.pixel(x, y)) < 255)
                continue;
            ++opaque;
            differing += (shown.pixel(ok.x() * scale + x, ok.y() * scale + y) & 0xFFFFFF)
                != (strip.pixel(x, y) & 0xFFFFFF);
        }
        EXPECT_GT(opaque, 90 * scale);
        EXPECT_EQ(differing, 0);
    }
}

} // namespace
