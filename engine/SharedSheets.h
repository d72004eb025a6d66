#pragma once

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

class PageRangeShare;
class StopGate;

// The long sheets the lanes of a run share out, and whether a lane may still
// offer one: a lane with no workbook left to take helps with a shared sheet,
// or waits for one while another lane is still printing.
class SharedSheets {
public:
    void Offer(const std::shared_ptr<PageRangeShare>& share);
    // A sheet with a range to take other than skip (one the lane failed to help with), or null.
    std::shared_ptr<PageRangeShare> ToHelp(const std::weak_ptr<PageRangeShare>& skip);

    // A lane took a workbook to print / is done printing it.
    void BeginPrinting();
    void EndPrinting();
    // For a lane with no workbook left: true once a sheet is shared; false when
    // no lane is printing any more (nothing can be shared) or on a stop.
    bool AwaitShare(const StopGate& gate, const std::weak_ptr<PageRangeShare>& skip);

    // Ranges printed by lanes other than their sheet's own.
    void CountHelped(int ranges) { m_nHelped += ranges; }
    int Helped() const { return m_nHelped; }

private:
    // Caller holds m_mutex.
    std::shared_ptr<PageRangeShare> FirstOpen(const std::weak_ptr<PageRangeShare>& skip);

    std::mutex m_mutex;
    std::condition_variable m_cvChanged;
    std::vector<std::weak_ptr<PageRangeShare>> m_shares;
    int m_nPrinting = 0;
    std::atomic<int> m_nHelped{0};
};
