#pragma once

#include "cli/WakePipe.h"

#include <atomic>
#include <functional>
#include <mutex>
#include <pthread.h>
#include <thread>

// Turns an interrupt (Ctrl-C), a hang-up or a termination request into a stop,
// from the program's first moment: every wait on Stopped() ends (a password
// being read, a question on the terminal), and during the run the handler
// stops it, so that the office and Ghostscript are ended and no temporary file
// or half-written PDF stays behind. The signals are taken by a thread of its
// own (sigwait), never in a signal handler. Make the object before any other
// thread: the signals are blocked for every thread started after it.
class SignalStop {
public:
    SignalStop();
    ~SignalStop();
    SignalStop(const SignalStop&) = delete;
    SignalStop& operator=(const SignalStop&) = delete;

    // Woken by the first signal.
    const WakePipe& Stopped() const { return m_stopped; }
    // Called on the signal thread for each signal after this call, with the
    // signal and how many have come so far, those before the call included (1
    // for the first); replaces the handler before, an empty one ends the calls.
    void OnSignal(std::function<void(int signal, int count)> onSignal);
    // Ends the signal thread: no handler is called after this returns.
    void Finish();

private:
    void Wait();

    WakePipe m_stopped;
    std::mutex m_mutex;
    std::function<void(int, int)> m_onSignal;
    std::atomic<bool> m_bQuit{false};
    std::thread m_thread;
};
