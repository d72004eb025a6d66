#include "automation/CallWatchdog.h"

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
        m_deadline = std::chrono::steady_clock::now() + bound;
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
        const uint64_t generation = m_nGeneration;
        const auto deadline = m_deadline;
        if (m_cv.wait_until(lock, deadline, [&] { return m_bQuit || m_nGeneration != generation; }))
            continue;
        // The bound ran out while the same call was still under way.
        m_bArmed = false;
        m_bFired = true;
        lock.unlock();
        m_onExpiry();
        lock.lock();
    }
}
