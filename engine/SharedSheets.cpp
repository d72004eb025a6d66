#include "engine/SharedSheets.h"

#include "engine/PageRangeShare.h"
#include "platform/StopGate.h"

#include <chrono>

void SharedSheets::Offer(const std::shared_ptr<PageRangeShare>& share)
{
    {
        std::lock_guard lock(m_mutex);
        m_shares.push_back(share);
    }
    m_cvChanged.notify_all();
}

std::shared_ptr<PageRangeShare> SharedSheets::FirstOpen(const std::weak_ptr<PageRangeShare>& skip)
{
    // A sheet its owner is done with is gone or has nothing open: forgotten.
    std::erase_if(m_shares, [](const std::weak_ptr<PageRangeShare>& weak) {
        const std::shared_ptr<PageRangeShare> share = weak.lock();
        return !share || !share->HasOpen();
    });
    for (const std::weak_ptr<PageRangeShare>& weak : m_shares) {
        const bool skipped = !weak.owner_before(skip) && !skip.owner_before(weak);
        if (!skipped)
            return weak.lock();
    }
    return nullptr;
}

std::shared_ptr<PageRangeShare> SharedSheets::ToHelp(const std::weak_ptr<PageRangeShare>& skip)
{
    std::lock_guard lock(m_mutex);
    return FirstOpen(skip);
}

void SharedSheets::BeginPrinting()
{
    std::lock_guard lock(m_mutex);
    ++m_nPrinting;
}

void SharedSheets::EndPrinting()
{
    {
        std::lock_guard lock(m_mutex);
        --m_nPrinting;
    }
    m_cvChanged.notify_all();
}

bool SharedSheets::AwaitShare(const StopGate& gate, const std::weak_ptr<PageRangeShare>& skip)
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        if (gate.StopRequested())
            return false;
        if (FirstOpen(skip))
            return true;
        if (m_nPrinting == 0)
            return false;
        m_cvChanged.wait_for(lock, std::chrono::milliseconds(100));
    }
}
