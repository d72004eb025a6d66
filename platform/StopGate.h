#pragma once

#include <condition_variable>
#include <mutex>
#include <set>

class ChildProcess;

// The safe points of a conversion run. The window thread asks for a pause or a
// stop; the worker passes the gate between workbooks, between sheets and before
// Ghostscript. A stop also ends at once every child process the worker has
// attached (office, Ghostscript), so the worker never waits for them.
class StopGate {
public:
    // Any thread.
    void RequestStop();
    void Pause();
    void Resume();
    bool StopRequested() const;
    bool Paused() const;

    // Worker: waits while paused; false once a stop has been requested.
    bool PassSafePoint();

    // Worker: a child process to end on a stop (ended at once if a stop is already pending).
    void Attach(ChildProcess* process);
    void Detach(ChildProcess* process);

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_cvResume;
    bool m_bStop = false;
    bool m_bPaused = false;
    std::set<ChildProcess*> m_setProcesses;
};

// Attaches a child process to a gate for the lifetime of the guard (gate may be null).
class StopGateAttachment {
public:
    StopGateAttachment(StopGate* gate, ChildProcess* process);
    ~StopGateAttachment();
    StopGateAttachment(const StopGateAttachment&) = delete;
    StopGateAttachment& operator=(const StopGateAttachment&) = delete;

private:
    StopGate* m_pGate;
    ChildProcess* m_pProcess;
};
