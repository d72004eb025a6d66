#pragma once

#include <vector>

// The page ranges a long sheet prints in, so that Ghostscript can join one
// range while the next one prints. Each print call lays the sheet out again,
// so the ranges are long, but they shrink towards the end: the last range is
// what Ghostscript still has to join once the printing is over.
class CPageChunks {
public:
    struct Range {
        int from; // 1-based, inclusive
        int to;
    };

    // The ranges covering pages 1..pages in order, none longer than one and
    // a half chunkPages. One range (the whole sheet) when pages is at most
    // chunkPages, or chunkPages is not positive.
    static std::vector<Range> Plan(int pages, int chunkPages);
};
