#include "automation/OfficeSession.h"

#include "automation/OfficeProcess.h"

namespace {
// Sessions form a stack: the one made last serves; ending it brings back the one before.
std::mutex g_sessionsMutex;
OfficeSession* g_pCurrent = nullptr;
} // namespace

OfficeSession::OfficeSession(const OfficeOptions& options) : m_options(options)
{
    std::lock_guard lock(g_sessionsMutex);
    m_pPrevious = g_pCurrent;
    g_pCurrent = this;
}

OfficeSession::~OfficeSession()
{
    {
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

std::shared_ptr<OfficeProcess> OfficeSession::Office()
{
    std::lock_guard lock(m_mutex);
    if (!m_pOffice || !m_pOffice->Alive()) {
        if (m_pOffice)
            m_pOffice->Kill();
        m_pOffice.reset();
        m_pOffice = OfficeProcess::Launch(m_options);
    }
    return m_pOffice;
}

std::shared_ptr<OfficeProcess> OfficeSession::CurrentOffice()
{
    std::lock_guard lock(g_sessionsMutex);
    return g_pCurrent ? g_pCurrent->Office() : nullptr;
}
