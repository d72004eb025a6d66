// Window shapes from bitmaps: the runs of non-key pixels, per row, per depth.
#include "CraftedImages.h"

#include "skin/BitmapRegion.h"
#include "skin/DibImage.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace {

using Span = std::tuple<int, int, int>; // left, y, right (exclusive)

std::vector<Span> Runs(const QByteArray& bmp, quint32 key = kSkinKeyMagenta)
{
    const DibImage dib = DibImage::FromBmp(bmp);
    EXPECT_FALSE(dib.IsNull());
    std::vector<Span> runs;
    for (const QRect& r : CollectBitmapRegionRects(dib, key).rects) {
        EXPECT_EQ(r.height(), 1);
        runs.emplace_back(r.left(), r.top(), r.left() + r.width());
    }
    return runs;
}

TEST(BitmapRegion, NoMagentaGivesOneFullRowRectanglePerRow)
{
    const QByteArray bmp = MakeBmpRows({".....", ".....", "....."});
    EXPECT_EQ(Runs(bmp), (std::vector<Span>{{0, 0, 5}, {0, 1, 5}, {0, 2, 5}}));
    const QRegion region = BuildBitmapRegion(DibImage::FromBmp(bmp));
    EXPECT_TRUE((region ^ QRegion(0, 0, 5, 3)).isEmpty());
    EXPECT_EQ(region.rectCount(), 1); // identical rows join into one band
}

TEST(BitmapRegion, RowsAreScannedFromTheTopOfTheImage)
{
    // Different rows must land at their own y although the file stores them bottom-up.
    EXPECT_EQ(Runs(MakeBmpRows({"M...", "MMMM", "..MM"})), (std::vector<Span>{{1, 0, 4}, {0, 2, 2}}));
}

TEST(BitmapRegion, MagentaAtBothEndsAndSeveralGaps)
{
    EXPECT_EQ(Runs(MakeBmpRows({"MM...M"})), (std::vector<Span>{{2, 0, 5}}));
    EXPECT_EQ(Runs(MakeBmpRows({".M.M..MM.."})), (std::vector<Span>{{0, 0, 1}, {2, 0, 3}, {4, 0, 6}, {8, 0, 10}}));
    EXPECT_TRUE(Runs(MakeBmpRows({"MMM"})).empty());
    EXPECT_TRUE(BuildBitmapRegion(DibImage::FromBmp(MakeBmpRows({"MMM", "MMM"}))).isEmpty());
}

TEST(BitmapRegion, RegionCoversExactlyTheOpaquePixels)
{
    const QStringList rows{"MM..MM", "M....M", "......", "......", "M.MM.M", "M.MM.M", "MMMMMM", "M.MM.M"};
    const QRegion region = BuildBitmapRegion(DibImage::FromBmp(MakeBmpRows(rows)));
    QRegion pixels;
    for (int y = 0; y < rows.size(); ++y)
        for (int x = 0; x < rows[y].size(); ++x) {
            EXPECT_EQ(region.contains(QPoint(x, y)), rows[y][x] != QLatin1Char('M')) << x << "," << y;
            if (rows[y][x] != QLatin1Char('M'))
                pixels += QRect(x, y, 1, 1);
        }
    EXPECT_TRUE((region ^ pixels).isEmpty());
}

TEST(BitmapRegion, CapacityStartsAtTheHeightAndGrowsByForty)
{
    const QByteArray twoRows = MakeBmpRows({".M.M.M.M.", ".M.M.M.M."}); // 5 runs per row
    const BitmapRegionData data = CollectBitmapRegionRects(DibImage::FromBmp(twoRows));
    EXPECT_EQ(data.rects.size(), 10);
    EXPECT_EQ(data.capacity, 42);
    EXPECT_EQ(CollectBitmapRegionRects(DibImage::FromBmp(MakeBmpRows({"..", ".."}))).capacity, 2);
}

TEST(BitmapRegion, ThirtyTwoBitMagentaCountsOnlyWithAZeroFourthByte)
{
    const QVector<quint32> row{0x00FF00FF, 0x01FF00FF, 0x00FF00FF, 0xFFFF00FF, 0x00808080};
    const QByteArray bmp = MakeBmp(5, 1, 32, [&](int x, int) { return row[x]; });
    EXPECT_EQ(Runs(bmp), (std::vector<Span>{{1, 0, 2}, {3, 0, 5}}));
}

TEST(BitmapRegion, EightBitUsesTheColourTable)
{
    const QVector<quint32> table{0x00808080, 0x00FF00FF, 0x00FFFFFF};
    const QVector<int> row{1, 0, 0, 1, 2, 1};
    const QByteArray bmp = MakeBmp(6, 2, 8, [&](int x, int y) { return y == 0 ? quint32(row[x]) : 1u; }, table);
    EXPECT_EQ(Runs(bmp), (std::vector<Span>{{1, 0, 3}, {4, 0, 5}}));
    EXPECT_EQ(Runs(bmp, kSkinKeyWhite), (std::vector<Span>{{0, 0, 4}, {5, 0, 6}, {0, 1, 6}}));
}

TEST(BitmapRegion, SixteenBitKeyIsFiveSixFiveMagenta)
{
    // 0x7C1F is magenta in 5-5-5 and therefore opaque here.
    const QVector<quint32> row{0xF81F, 0x7C1F, 0x0000, 0xF81F};
    const QByteArray bmp = MakeBmp(4, 1, 16, [&](int x, int) { return row[x]; });
    EXPECT_EQ(Runs(bmp), (std::vector<Span>{{1, 0, 3}}));
}

TEST(BitmapRegion, WhiteKeyForTheEndCap)
{
    const QByteArray bmp = MakeBmpRows({"WM.W"});
    EXPECT_EQ(Runs(bmp, kSkinKeyWhite), (std::vector<Span>{{1, 0, 3}}));
    EXPECT_EQ(Runs(bmp), (std::vector<Span>{{0, 0, 1}, {2, 0, 4}}));
}

TEST(DibImage, ParsesEveryDepthBottomUpAndTopDown)
{
    // A width of 3 pads every row; the pad bytes must not leak into pixels.
    const auto pattern = [](int x, int y) { return (x + y) % 2 ? 0xFF00FFu : 0x336699u; };
    const QByteArray bottomUp = MakeBmp(3, 4, 24, pattern);
    const QByteArray topDown = MakeBmp(3, 4, 24, pattern, {}, true);
    const DibImage a = DibImage::FromBmp(bottomUp), b = DibImage::FromBmp(topDown);
    ASSERT_FALSE(b.IsNull());
    EXPECT_EQ(b.height, 4);
    EXPECT_EQ(a.stride, 12);
    EXPECT_EQ(a.pixels, b.pixels);
    EXPECT_EQ(a.ToImage().pixel(0, 0), qRgb(0x33, 0x66, 0x99));
    EXPECT_EQ(a.ToImage().pixel(1, 0), qRgb(0xFF, 0x00, 0xFF));

    const DibImage sixteen = DibImage::FromBmp(MakeBmp(2, 1, 16, [](int x, int) { return x ? 0xF800u : 0x07E0u; }));
    EXPECT_EQ(sixteen.ToImage().pixel(0, 0), qRgb(0, 255, 0));
    EXPECT_EQ(sixteen.ToImage().pixel(1, 0), qRgb(255, 0, 0));
    const DibImage eight = DibImage::FromBmp(MakeBmp(1, 1, 8, [](int, int) { return 1u; }, {0, 0x00123456}));
    EXPECT_EQ(eight.ToImage().pixel(0, 0), qRgb(0x12, 0x34, 0x56));
    const DibImage thirtyTwo = DibImage::FromBmp(MakeBmp(1, 1, 32, [](int, int) { return 0x7F123456u; }));
    EXPECT_EQ(thirtyTwo.ToImage().pixel(0, 0), qRgb(0x12, 0x34, 0x56));
}

TEST(DibImage, RejectsDamagedOrUnsupportedFiles)
{
    const QByteArray good = MakeBmpRows({"....", "...."});
    EXPECT_TRUE(DibImage::FromBmp(good.left(good.size() - 1)).IsNull()); // pixel data cut short
    EXPECT_TRUE(DibImage::FromBmp(good.left(30)).IsNull());
    EXPECT_TRUE(DibImage::FromBmp(QByteArray()).IsNull());
    QByteArray wrongMagic = good;
    wrongMagic[0] = 'X';
    EXPECT_TRUE(DibImage::FromBmp(wrongMagic).IsNull());
    EXPECT_TRUE(DibImage::FromBmp(MakeBmp(8, 1, 1, [](int, int) { return 0u; })).IsNull());
    EXPECT_TRUE(BuildBitmapRegion(DibImage()).isEmpty());
}

} // namespace
