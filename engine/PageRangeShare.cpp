#include "engine/PageRangeShare.h"

#include "platform/StopGate.h"

#include <algorithm>
#include <chrono>
#include <utility>

PageRangeShare::PageRangeShare(QString workbookPath, QString password, int sheet,
                               std::vector<CPageChunks::Range> ranges, QStringList files)
    : m_strWorkbookPath(std::move(workbookPath)),
      m_strPassword(std::move(password)),
      m_nSheet(sheet),
      m_ranges(std::move(ranges)),
      m_lstFiles(std::move(files)),
      m_states(m_ranges.size(), State::Open)
{
}

int PageRangeShare::Take()
{
    std::lock_guard lock(m_mutex);
    if (m_bClosed)
        return -1;
    const auto open = std::find(m_states.begin(), m_states.end(), State::Open);
    if (open == m_states.end())
        return -1;
    *open = State::Taken;
    return int(open - m_states.begin());
}

void PageRangeShare::Done(int part, bool empty)
{
    {
        std::lock_guard lock(m_mutex);
        m_states.at(size_t(part)) = empty ? State::Empty : State::Printed;
    }
    m_cvChanged.notify_all();
}

void PageRangeShare::GiveBack(int part)
{
    {
        std::lock_guard lock(m_mutex);
        m_states.at(size_t(part)) = State::Open;
    }
    m_cvChanged.notify_all();
}

bool PageRangeShare::HasOpen() const
{
    std::lock_guard lock(m_mutex);
    return !m_bClosed && std::find(m_states.begin(), m_states.end(), State::Open) != m_states.end();
}

PageRangeShare::State PageRangeShare::StateOf(int part) const
{
    std::lock_guard lock(m_mutex);
    return m_states.at(size_t(part));
}

PageRangeShare::State PageRangeShare::Await(int part, StopGate* gate)
{
    std::unique_lock lock(m_mutex);
    // A stop ends the helper's office, which gives the range back; the gate is
    // still asked now and then, so that the wait never outlasts a stop.
    while (m_states.at(size_t(part)) == State::Taken && !(gate && gate->StopRequested()))
        m_cvChanged.wait_for(lock, std::chrono::milliseconds(100));
    return m_states.at(size_t(part));
}

void PageRangeShare::Close()
{
    std::unique_lock lock(m_mutex);
    m_bClosed = true;
    m_cvChanged.wait(lock, [this] { return std::find(m_states.begin(), m_states.end(), State::Taken) == m_states.end(); });
}
