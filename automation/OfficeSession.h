#pragma once

#include "automation/OfficeOptions.h"

#include <chrono>
#include <memory>
#include <mutex>

class OfficeProcess;
class StopGate;

// One office process for a whole conversion run. While a session is held (the
// one made last, on any thread), every "Excel.Application" object uses its
// office instead of starting its own, and Quit only closes that object's
// workbooks. The office starts with the first application object, and a fresh
// one replaces it after a crash or a hang. The destructor ends the office.
class OfficeSession {
public:
    explicit OfficeSession(const OfficeOptions& options = {});
    ~OfficeSession();
    OfficeSession(const OfficeSession&) = delete;
    OfficeSession& operator=(const OfficeSession&) = delete;

    // A stop requested on the gate ends the office at once (null: no gate).
    void SetStopGate(StopGate* gate);
    // The bound of every later call into the office.
    void SetCallTimeout(std::chrono::milliseconds bound);

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
    OfficeSession* m_pPrevious = nullptr;
};
