#include "cli/SignalStop.h"

#include <csignal>

namespace {
// SIGUSR2 only wakes the signal thread when the program ends.
sigset_t StopSignals()
{
    sigset_t set;
    sigemptyset(&set);
    for (int s : {SIGINT, SIGTERM, SIGHUP, SIGUSR2})
        sigaddset(&set, s);
    return set;
}
} // namespace

SignalStop::SignalStop()
{
    const sigset_t set = StopSignals();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    m_thread = std::thread([this] { Wait(); });
}

SignalStop::~SignalStop()
{
    Finish();
}

void SignalStop::Finish()
{
    if (m_thread.joinable()) {
        m_bQuit = true;
        pthread_kill(m_thread.native_handle(), SIGUSR2);
        m_thread.join();
    }
}

void SignalStop::OnSignal(std::function<void(int, int)> onSignal)
{
    std::lock_guard lock(m_mutex);
    m_onSignal = std::move(onSignal);
}

void SignalStop::Wait()
{
    const sigset_t set = StopSignals();
    int count = 0;
    for (;;) {
        int signal = 0;
        if (sigwait(&set, &signal) != 0)
            continue;
        if (signal == SIGUSR2) {
            if (m_bQuit)
                return;
            continue;
        }
        ++count;
        m_stopped.Wake();
        std::lock_guard lock(m_mutex);
        if (m_onSignal)
            m_onSignal(signal, count);
    }
}
