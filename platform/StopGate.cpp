#include "platform/StopGate.h"

#include "platform/ChildProcess.h"

void StopGate::RequestStop()
{
    std::lock_guard lock(m_mutex);
    m_bStop = true;
    m_bPaused = false;
    for (ChildProcess* p : m_setProcesses)
        p->Terminate();
    m_cvResume.notify_all();
}

void StopGate::Pause()
{
    std::lock_guard lock(m_mutex);
    m_bPaused = true;
}

void StopGate::Resume()
{
    std::lock_guard lock(m_mutex);
    m_bPaused = false;
    m_cvResume.notify_all();
}

bool StopGate::StopRequested() const
{
    std::lock_guard lock(m_mutex);
    return m_bStop;
}

bool StopGate::Paused() const
{
    std::lock_guard lock(m_mutex);
    return m_bPaused;
}

bool StopGate::PassSafePoint()
{
    std::unique_lock lock(m_mutex);
    m_cvResume.wait(lock, [this] { return !m_bPaused || m_bStop; });
    return !m_bStop;
}

void StopGate::Attach(ChildProcess* process)
{
    std::lock_guard lock(m_mutex);
    m_setProcesses.insert(process);
    if (m_bStop)
        process->Terminate();
}

void StopGate::Detach(ChildProcess* process)
{
    std::lock_guard lock(m_mutex);
    m_setProcesses.erase(process);
}

StopGateAttachment::StopGateAttachment(StopGate* gate, ChildProcess* process)
    : m_pGate(gate), m_pProcess(process)
{
    if (m_pGate)
        m_pGate->Attach(m_pProcess);
}

StopGateAttachment::~StopGateAttachment()
{
    if (m_pGate)
        m_pGate->Detach(m_pProcess);
}
