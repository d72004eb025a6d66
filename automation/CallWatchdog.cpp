#include "automation/CallWatchdog.h"

#include <algorithm>

namespace {
// The watchdog wakes this often while armed, to tell running time from time stopped.
constexpr std::chrono::steady_clock::duration kSlice = std::chrono::seconds(1);
} // namespace

CallWatchdog::CallWatchdog(std::function<void()> onExpiry)
    : m_onExpiry(std::move(onExpiry)), m_thread([this] { Run(); })
{
}

CallWatchdog::~CallWatchdog()
{
    {
        std::lock_guard lock(m_mutex);
        m_bQuit = true;
    }
    m_cv.notify_all();
    m_thread.join();
}

void CallWatchdog::Arm(std::chrono::milliseconds bound)
{
    {
        std::lock_guard lock(m_mutex);
        m_bArmed = true;
        m_bFired = false;
        ++m_nGeneration;
        m_remaining = bound;
    }
    m_cv.notify_all();
}

bool CallWatchdog::Disarm()
{
    std::lock_guard lock(m_mutex);
    m_bArmed = false;
    ++m_nGeneration;
    const bool fired = m_bFired;
    m_bFired = false;
    return fired;
}

void CallWatchdog::Run()
{
    std::unique_lock lock(m_mutex);
    while (!m_bQuit) {
        if (!m_bArmed) {
            m_cv.wait(lock);
            continue;
        }
        if (!WaitSlice(lock) || m_remaining > std::chrono::steady_clock::duration::zero())
            continue;
        // The bound ran out while the same call was still under way.
        m_bArmed = false;
        m_bFired = true;
        lock.unlock();
        m_onExpiry();
        lock.lock();
    }
}

bool CallWatchdog::WaitSlice(std::unique_lock<std::mutex>& lock)
{
    const uint64_t generation = m_nGeneration;
    const auto asked = std::min(m_remaining, kSlice);
    const auto start = std::chrono::steady_clock::now();
    if (m_cv.wait_for(lock, asked, [&] { return m_bQuit || m_nGeneration != generation; }))
        return false;
    // The clock runs on while the process is stopped: a wake much later than
    // asked counts as only what was asked.
    m_remaining -= std::min(std::chrono::steady_clock::now() - start, asked);
    return true;
}
