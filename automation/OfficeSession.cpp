#include "automation/OfficeSession.h"

#include "automation/OfficeProcess.h"
#include "platform/ProcessMemory.h"

namespace {
// Sessions form a stack: the one made last serves; ending it brings back the one before.
std::mutex g_sessionsMutex;
OfficeSession* g_pCurrent = nullptr;
// A thread's own session, which serves it ahead of the process's.
thread_local OfficeSession* t_pThreadSession = nullptr;
} // namespace

OfficeSession::OfficeSession(const OfficeOptions& options, Scope scope) : m_options(options), m_scope(scope)
{
    if (m_scope == Scope::Thread) {
        m_pPrevious = t_pThreadSession;
        t_pThreadSession = this;
        return;
    }
    std::lock_guard lock(g_sessionsMutex);
    m_pPrevious = g_pCurrent;
    g_pCurrent = this;
}

OfficeSession::~OfficeSession()
{
    if (m_scope == Scope::Thread) {
        if (t_pThreadSession == this)
            t_pThreadSession = m_pPrevious;
    } else {
        std::lock_guard lock(g_sessionsMutex);
        OfficeSession** link = &g_pCurrent;
        while (*link && *link != this)
            link = &(*link)->m_pPrevious;
        if (*link)
            *link = m_pPrevious;
    }
    std::lock_guard lock(m_mutex);
    if (m_pOffice)
        m_pOffice->Kill();
    m_pOffice.reset();
}

void OfficeSession::SetStopGate(StopGate* gate)
{
    std::lock_guard lock(m_mutex);
    m_options.stopGate = gate;
    if (m_pOffice)
        m_pOffice->SetStopGate(gate);
}

void OfficeSession::SetCallTimeout(std::chrono::milliseconds bound)
{
    std::lock_guard lock(m_mutex);
    m_options.callTimeout = bound;
    if (m_pOffice)
        m_pOffice->SetCallTimeout(bound);
}

bool OfficeSession::RecycleIfWorn(int workbooks, qint64 bytes)
{
    std::shared_ptr<OfficeProcess> worn;
    {
        std::lock_guard lock(m_mutex);
        if (!m_pOffice || (m_nServed < workbooks && ProcessMemory::GroupResidentBytes(m_pOffice->Pid()) < bytes))
            return false;
        worn = std::move(m_pOffice);
        m_nServed = 0;
    }
    // An orderly end keeps the profile sound; a hung one is killed.
    worn->Shutdown();
    return true;
}

void OfficeSession::CountWorkbook()
{
    std::lock_guard lock(m_mutex);
    ++m_nServed;
}

std::shared_ptr<OfficeProcess> OfficeSession::Office()
{
    std::lock_guard lock(m_mutex);
    if (!m_pOffice || !m_pOffice->Alive()) {
        if (m_pOffice)
            m_pOffice->Kill();
        m_pOffice.reset();
        m_nServed = 0;
        m_pOffice = OfficeProcess::Launch(m_options);
    }
    return m_pOffice;
}

std::shared_ptr<OfficeProcess> OfficeSession::CurrentOffice()
{
    if (t_pThreadSession)
        return t_pThreadSession->Office();
    std::lock_guard lock(g_sessionsMutex);
    return g_pCurrent ? g_pCurrent->Office() : nullptr;
}
