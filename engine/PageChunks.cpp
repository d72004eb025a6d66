#include "engine/PageChunks.h"

#include <algorithm>

std::vector<CPageChunks::Range> CPageChunks::Plan(int pages, int chunkPages)
{
    if (chunkPages <= 0 || pages <= chunkPages)
        return {Range{1, std::max(pages, 1)}};
    // From the end: an eighth of a chunk, doubling up to whole chunks; a
    // remainder too short to be worth a call of its own joins the first range.
    std::vector<Range> ranges;
    int size = std::max(1, chunkPages / 8);
    int to = pages;
    while (to > 0) {
        const int take = to <= size + size / 2 ? to : size;
        ranges.push_back(Range{to - take + 1, to});
        to -= take;
        size = std::min(chunkPages, size * 2);
    }
    std::reverse(ranges.begin(), ranges.end());
    return ranges;
}
