// The page ranges of a long sheet: they cover every page once, in order, and
// shrink towards the end so that little is left to join after the last print.
#include "engine/PageChunks.h"

#include <gtest/gtest.h>

namespace {

// Every page from 1 to pages exactly once, in order, no range longer than one and a half chunks.
void ExpectCover(int pages, int chunk, const std::vector<CPageChunks::Range>& ranges)
{
    ASSERT_FALSE(ranges.empty());
    int next = 1;
    for (const CPageChunks::Range& r : ranges) {
        EXPECT_EQ(next, r.from);
        EXPECT_LE(r.from, r.to);
        EXPECT_LE(r.to - r.from + 1, chunk + chunk / 2);
        next = r.to + 1;
    }
    EXPECT_EQ(pages + 1, next);
}

TEST(PageChunks, ShortSheetsAndNoChunkingPrintInOnePiece)
{
    for (const auto& [pages, chunk] : {std::pair{1, 300}, {300, 300}, {5000, 0}, {7, -1}, {0, 300}}) {
        SCOPED_TRACE(pages);
        const auto ranges = CPageChunks::Plan(pages, chunk);
        ASSERT_EQ(1u, ranges.size());
        EXPECT_EQ(1, ranges[0].from);
        EXPECT_EQ(std::max(pages, 1), ranges[0].to);
    }
}

TEST(PageChunks, LongSheetsCoverEveryPageAndEndInShortRanges)
{
    for (const auto& [pages, chunk] : {std::pair{1852, 300}, {301, 300}, {7, 2}, {3, 1}, {100000, 300}, {611, 300}}) {
        SCOPED_TRACE(testing::Message() << pages << " pages, chunks of " << chunk);
        const auto ranges = CPageChunks::Plan(pages, chunk);
        ExpectCover(pages, chunk, ranges);
        ASSERT_GE(ranges.size(), 2u);
        // The last range is the shortest: what is left for Ghostscript after the last print.
        const int last = ranges.back().to - ranges.back().from + 1;
        EXPECT_LE(last, std::max(1, chunk / 8) + std::max(1, chunk / 8) / 2);
        // Towards the end each range is no longer than the one before it.
        for (size_t i = 2; i < ranges.size(); ++i)
            EXPECT_LE(ranges[i].to - ranges[i].from, ranges[i - 1].to - ranges[i - 1].from);
    }
    // A long sheet needs few print calls: each lays the sheet out again.
    EXPECT_LE(CPageChunks::Plan(1852, 300).size(), 9u);
}

} // namespace
