#pragma once

#include "automation/OfficeOptions.h"

#include <QtGlobal>

#include <chrono>
#include <memory>
#include <mutex>

class OfficeProcess;
class StopGate;

// One office process for a whole conversion run (or one lane of it). While a
// session is held, every "Excel.Application" object uses its office instead of
// starting its own, and Quit only closes that object's workbooks: a process
// session serves every thread (the one made last), a thread session only the
// thread that made it, ahead of any process session. The office starts with the
// first application object, and a fresh one replaces it after a crash, a hang
// or a recycle. The destructor ends the office.
class OfficeSession {
public:
    enum class Scope { Process, Thread };
    explicit OfficeSession(const OfficeOptions& options = {}, Scope scope = Scope::Process);
    ~OfficeSession();
    OfficeSession(const OfficeSession&) = delete;
    OfficeSession& operator=(const OfficeSession&) = delete;

    // A stop requested on the gate ends the office at once (null: no gate).
    void SetStopGate(StopGate* gate);
    // The bound of every later call into the office.
    void SetCallTimeout(std::chrono::milliseconds bound);

    // Ends the running office when it has served this many workbooks or its
    // process has grown past this many bytes, so that the next one starts
    // afresh (an office's memory grows over a long run). Call between
    // workbooks; true when it ended the office.
    bool RecycleIfWorn(int workbooks, qint64 bytes);
    // Counts one more workbook served by the running office.
    void CountWorkbook();

    // The session's running office, started when there is none (or the last one
    // ended). Throws DispatchException when it cannot be started.
    std::shared_ptr<OfficeProcess> Office();
    // The office of the session held now, or null when no session is held.
    // Throws DispatchException when a session is held but its office fails to start.
    static std::shared_ptr<OfficeProcess> CurrentOffice();

private:
    std::mutex m_mutex;
    OfficeOptions m_options;
    std::shared_ptr<OfficeProcess> m_pOffice;
    int m_nServed = 0;                  // workbooks the running office has served
    Scope m_scope;
    OfficeSession* m_pPrevious = nullptr;
};
