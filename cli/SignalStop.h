#pragma once

#include <atomic>
#include <functional>
#include <pthread.h>
#include <thread>

// Turns an interrupt (Ctrl-C), a hang-up or a termination request into a stop
// of the run, so that the office and Ghostscript are ended and no temporary
// file or half-written PDF stays behind. The signals are taken by a thread of
// its own (sigwait), never in a signal handler. Make the object before any
// other thread: the signals are blocked for every thread started after it.
class SignalStop {
public:
    SignalStop();
    ~SignalStop();
    SignalStop(const SignalStop&) = delete;
    SignalStop& operator=(const SignalStop&) = delete;

    // Called on the signal thread for each signal that comes, with the signal
    // and how many have come so far (1 for the first).
    void Start(std::function<void(int signal, int count)> onSignal);
    // Ends the signal thread: onSignal is not called after this returns.
    void Finish();

private:
    void Wait();

    std::function<void(int, int)> m_onSignal;
    std::thread m_thread;
    std::atomic<bool> m_bQuit{false};
};
