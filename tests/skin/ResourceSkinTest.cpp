// The program's own artwork through the skin: sizes, shapes and strips as the
// windows use them. Skipped while the resources are not built in.
#include "res/Resources.h"
#include "skin/BitmapRegion.h"
#include "skin/BmpHoverButton.h"
#include "skin/DibImage.h"
#include "skin/HoverButton.h"
#include "skin/PngImage.h"

#include <gtest/gtest.h>

namespace {

TEST(ResourceSkin, WindowBitmapsHaveTheirSizesAndCutCorners)
{
    struct Skin { int id, width, height; };
    for (const Skin s : {Skin{157, 700, 522}, Skin{156, 387, 313}, Skin{187, 286, 157}, Skin{163, 428, 497},
                         Skin{174, 377, 199}, Skin{145, 499, 170}, Skin{161, 685, 410}}) {
        const QByteArray bmp = Resources::Bitmap(s.id);
        if (bmp.isEmpty())
            GTEST_SKIP() << "bitmap " << s.id << " is not built in";
        const DibImage dib = DibImage::FromBmp(bmp);
        ASSERT_FALSE(dib.IsNull()) << s.id;
        EXPECT_EQ(QSize(dib.width, dib.height), QSize(s.width, s.height)) << s.id;
        const QRegion shape = BuildBitmapRegion(dib);
        EXPECT_TRUE(shape.contains(QPoint(s.width / 2, s.height / 2))) << s.id;
        if (s.id != 161) { // the page is a child and not shaped
            EXPECT_FALSE(shape.contains(QPoint(0, 0))) << s.id;
        }
    }
}

TEST(ResourceSkin, ButtonStripsDecodeAtTheirSizes)
{
    struct Strip { int id, width, height; };
    const Strip strips[] = {{152, 87, 21},  {153, 294, 23}, {154, 294, 23}, {158, 84, 20},  {160, 87, 20},
                            {164, 294, 23}, {165, 294, 23}, {166, 294, 23}, {167, 294, 23}, {168, 294, 23},
                            {169, 402, 34}, {183, 402, 34}, {170, 249, 30}, {171, 249, 30}, {172, 249, 30},
                            {175, 294, 23}, {176, 312, 23}, {177, 351, 23}, {185, 207, 23}, {186, 207, 23}};
    for (const Strip& s : strips) {
        const QByteArray png = Resources::Png(s.id);
        if (png.isEmpty())
            GTEST_SKIP() << "PNG " << s.id << " is not built in";
        const auto image = DecodePngImage(png);
        ASSERT_TRUE(image) << s.id;
        EXPECT_EQ(QSize(image->width, image->height), QSize(s.width, s.height)) << s.id;
    }
    CHoverButton convert;
    ASSERT_TRUE(convert.SetPngImage(169));
    EXPECT_EQ(convert.size(), QSize(134, 34));
}

TEST(ResourceSkin, TabStripsAndEndCap)
{
    if (Resources::Bitmap(181).isEmpty() || Resources::Bitmap(188).isEmpty())
        GTEST_SKIP() << "tab or progress bitmaps are not built in";
    CBmpHoverButton tab;
    ASSERT_TRUE(tab.SetBitmapImage(181));
    EXPECT_EQ(tab.size(), QSize(93, 28));
    ASSERT_TRUE(tab.SetBitmapImage(182));
    // The end cap is cut out with white, not magenta.
    const DibImage cap = DibImage::FromBmp(Resources::Bitmap(188));
    ASSERT_FALSE(cap.IsNull());
    const QRegion white = BuildBitmapRegion(cap, kSkinKeyWhite);
    const QRegion magenta = BuildBitmapRegion(cap);
    EXPECT_FALSE(white.isEmpty());
    EXPECT_FALSE((white ^ magenta).isEmpty());
}

} // namespace
