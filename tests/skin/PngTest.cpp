// Decoding PNG strips and blending a frame over the background.
#include "CraftedImages.h"

#include "skin/PngBlend.h"
#include "skin/PngImage.h"

#include <gtest/gtest.h>

#include <array>

namespace {

std::array<int, 4> PixelAt(const PngImage& image, int x, int y)
{
    const unsigned char* p = image.Row(y) + 4 * x;
    return {p[0], p[1], p[2], p[3]};
}

PngImage OnePixelStrip(int r, int g, int b, int inverseAlpha, int width = 1)
{
    PngImage image;
    image.width = width;
    image.height = 1;
    for (int x = 0; x < width; ++x)
        image.pixels.insert(image.pixels.end(),
                            {static_cast<unsigned char>(r), static_cast<unsigned char>(g), static_cast<unsigned char>(b),
                             static_cast<unsigned char>(inverseAlpha)});
    return image;
}

TEST(DecodePngImage, PremultipliesAndInvertsAlpha)
{
    QImage source(2, 2, QImage::Format_ARGB32);
    source.setPixelColor(0, 0, QColor(255, 128, 0, 128));
    source.setPixelColor(1, 0, QColor(10, 20, 30, 0));
    source.setPixelColor(0, 1, QColor(10, 20, 30, 255));
    source.setPixelColor(1, 1, QColor(255, 255, 255, 1));
    const auto image = DecodePngImage(MakePng(source));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width, 2);
    EXPECT_EQ(image->height, 2);
    EXPECT_EQ(PixelAt(*image, 0, 0), (std::array<int, 4>{128, 64, 0, 127}));
    EXPECT_EQ(PixelAt(*image, 1, 0), (std::array<int, 4>{0, 0, 0, 255}));
    EXPECT_EQ(PixelAt(*image, 0, 1), (std::array<int, 4>{10, 20, 30, 0}));
    EXPECT_EQ(PixelAt(*image, 1, 1), (std::array<int, 4>{1, 1, 1, 254}));
}

TEST(DecodePngImage, PaletteWithTransparencyIsExpandedToRgba)
{
    QImage source(2, 1, QImage::Format_Indexed8);
    source.setColorTable({qRgba(200, 100, 50, 255), qRgba(0, 0, 0, 0)});
    source.setPixel(0, 0, 0);
    source.setPixel(1, 0, 1);
    const auto image = DecodePngImage(MakePng(source));
    ASSERT_TRUE(image);
    EXPECT_EQ(PixelAt(*image, 0, 0), (std::array<int, 4>{200, 100, 50, 0}));
    EXPECT_EQ(PixelAt(*image, 1, 0), (std::array<int, 4>{0, 0, 0, 255}));
}

TEST(DecodePngImage, DamagedOrAlphaLessDataGivesNoImage)
{
    QImage opaque(4, 4, QImage::Format_RGB32);
    opaque.fill(Qt::red);
    EXPECT_FALSE(DecodePngImage(MakePng(opaque)));

    const QByteArray good = MakePng(MakeStrip(4, 4, {Qt::red, Qt::green, Qt::blue}));
    ASSERT_TRUE(DecodePngImage(good));
    EXPECT_FALSE(DecodePngImage(good.left(good.size() / 2)));   // the read callback runs dry
    EXPECT_FALSE(DecodePngImage(good.left(8)));                 // signature only
    EXPECT_FALSE(DecodePngImage(QByteArray("not a png at all")));
    EXPECT_FALSE(DecodePngImage(QByteArray()));
    QByteArray corrupt = good;
    corrupt[20] = char(corrupt[20] ^ 0x55); // header CRC no longer matches
    EXPECT_FALSE(DecodePngImage(corrupt));
}

TEST(BlendPngRows, TransparentDarkensOneStepOpaqueReplaces)
{
    // Width 2 pads each 24-bit row to 8 bytes; the pad must stay untouched.
    DibImage dib = DibImage::Blank24(2, 2);
    dib.pixels.fill(char(255));
    PngImage image;
    image.width = 2;
    image.height = 2;
    image.pixels = {0, 0, 0, 255,     90, 60, 30, 0,   // top row: transparent, opaque (r 90 g 60 b 30)
                    64, 32, 16, 127,  0, 0, 0, 255};   // bottom row: half, transparent
    BlendPngRows(image, dib, 0);
    const uchar* top = dib.ImageRow(0);
    const uchar* bottom = dib.ImageRow(1);
    EXPECT_EQ((std::array<int, 6>{top[0], top[1], top[2], top[3], top[4], top[5]}),
              (std::array<int, 6>{254, 254, 254, 30, 60, 90}));
    // (255 * 127) >> 8 = 126, plus the premultiplied colour.
    EXPECT_EQ((std::array<int, 6>{bottom[0], bottom[1], bottom[2], bottom[3], bottom[4], bottom[5]}),
              (std::array<int, 6>{126 + 16, 126 + 32, 126 + 64, 254, 254, 254}));
    EXPECT_EQ(uchar(dib.pixels[6]), 255);
    EXPECT_EQ(uchar(dib.pixels[7]), 255);
}

TEST(BlendPngFrame, BlendsTheChosenFrameOverTheTarget)
{
    const PngImage strip = [] {
        PngImage image = OnePixelStrip(0, 0, 0, 255, 3); // transparent, transparent, opaque
        image.pixels[8] = 11;
        image.pixels[9] = 22;
        image.pixels[10] = 33;
        image.pixels[11] = 0;
        return image;
    }();
    QImage target(1, 1, QImage::Format_RGB32);
    target.fill(qRgb(255, 100, 0));
    BlendPngFrame(strip, target, 1, 1, 0);
    EXPECT_EQ(target.pixel(0, 0), qRgb(254, 99, 0));
    BlendPngFrame(strip, target, 1, 1, 2);
    EXPECT_EQ(target.pixel(0, 0), qRgb(11, 22, 33));
}

TEST(BlendPngFrame, ClipsToTheStripAndIgnoresEmptyFrames)
{
    const PngImage strip = OnePixelStrip(50, 60, 70, 0, 2);
    QImage target(4, 2, QImage::Format_RGB32);
    target.fill(qRgb(1, 2, 3));
    BlendPngFrame(strip, target, 4, 5, 1); // only one column and one row remain
    EXPECT_EQ(target.pixel(0, 0), qRgb(50, 60, 70));
    EXPECT_EQ(target.pixel(1, 0), qRgb(1, 2, 3));
    EXPECT_EQ(target.pixel(0, 1), qRgb(1, 2, 3));
    BlendPngFrame(strip, target, 2, 1, 2); // past the strip's end
    BlendPngFrame(strip, target, 0, 1, 0);
    EXPECT_EQ(target.pixel(1, 0), qRgb(1, 2, 3));
}

} // namespace
