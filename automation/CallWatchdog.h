#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

// Bounds the time of one call at a time: armed before the call, disarmed after
// it. When the bound runs out first, the watchdog's own thread runs the expiry
// action (ending the process the call waits on, so the call fails). Only time
// this program ran counts: while it is stopped (Ctrl-Z) the office is not waited on.
class CallWatchdog {
public:
    explicit CallWatchdog(std::function<void()> onExpiry);
    ~CallWatchdog();
    CallWatchdog(const CallWatchdog&) = delete;
    CallWatchdog& operator=(const CallWatchdog&) = delete;

    void Arm(std::chrono::milliseconds bound);
    // Ends the watch. True when the bound ran out (and the action ran) since Arm.
    bool Disarm();

private:
    void Run();
    // Waits one slice of the bound; false when disarmed, re-armed or quit meanwhile.
    bool WaitSlice(std::unique_lock<std::mutex>& lock);

    std::function<void()> m_onExpiry;
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_bArmed = false;
    bool m_bFired = false;
    bool m_bQuit = false;
    uint64_t m_nGeneration = 0;
    std::chrono::steady_clock::duration m_remaining{}; // of the bound, in running time
    std::thread m_thread;
};
