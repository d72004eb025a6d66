#include "convert_page/ConversionRuns.h"

#include "convert_page/ConversionWorker.h"
#include "framework/UiThread.h"

#include <algorithm>

CConversionRuns::CConversionRuns(ConversionPrompts* prompts, ConversionRun::OptionsProvider options,
                                 Callbacks callbacks)
    : m_pPrompts(prompts), m_options(std::move(options)), m_callbacks(std::move(callbacks))
{
}

CConversionRuns::~CConversionRuns()
{
    Close();
}

void CConversionRuns::Start(const QStringList& workbooks, const QString& folder)
{
    Q_ASSERT(IsUiThread());
    Q_ASSERT(m_state == State::Idle);
    if (m_bClosed || m_state != State::Idle)
        return;
    CConversionWorker::Callbacks callbacks;
    callbacks.progress = [this](int percent) {
        if (m_callbacks.progress)
            m_callbacks.progress(percent);
    };
    callbacks.finished = [this](const ConversionRunSummary& summary) { OnFinished(summary); };
    // Let go of the worker once its own call has returned.
    callbacks.abandonedEnded = [this] {
        QMetaObject::invokeMethod(this, [this] { ReleaseStoppedRuns(); }, Qt::QueuedConnection);
    };
    m_current = std::make_unique<CConversionWorker>(workbooks, folder, m_pPrompts, m_options, std::move(callbacks));
    m_strFolder = folder;
    m_state = State::Waiting;
    LaunchWhenFree();
}

void CConversionRuns::LaunchWhenFree()
{
    if (m_state == State::Waiting && m_stopping.empty() && m_nHolds == 0 && !m_bClosed)
        Launch();
}

void CConversionRuns::Launch()
{
    m_state = State::Running;
    if (!m_current->Start())
        OnFinished(ConversionRunSummary{{}, {}, ConversionRun::StoppedText(), false});
}

void CConversionRuns::OnFinished(const ConversionRunSummary& summary)
{
    m_ended.push_back(EndedRun{m_strFolder, summary, std::move(m_current)});
    m_state = State::Idle;
    m_bPaused = false;
    if (m_callbacks.ended)
        m_callbacks.ended(summary);
}

bool CConversionRuns::StopCurrent()
{
    Q_ASSERT(IsUiThread());
    if (m_state == State::Idle || (m_state == State::Running && m_current->Ended()))
        return false;
    std::unique_ptr<CConversionWorker> worker = std::move(m_current);
    const bool running = m_state == State::Running;
    m_state = State::Idle;
    m_bPaused = false;
    if (running) {
        worker->Abandon();
        m_stopping.push_back(std::move(worker));
    }
    return true; // a run that never started goes with its worker here
}

void CConversionRuns::ReleaseStoppedRuns()
{
    std::erase_if(m_stopping, [](const std::unique_ptr<CConversionWorker>& worker) { return worker->Ended(); });
    LaunchWhenFree();
}

void CConversionRuns::Hold()
{
    Q_ASSERT(IsUiThread());
    if (m_nHolds++ == 0 && m_state == State::Running) {
        m_current->Pause();
        m_bPaused = true;
    }
}

void CConversionRuns::Release()
{
    Q_ASSERT(IsUiThread());
    Q_ASSERT(m_nHolds > 0);
    if (--m_nHolds > 0)
        return;
    if (m_bPaused && m_current) {
        m_bPaused = false;
        m_current->Resume(); // may deliver the run's end
    }
    LaunchWhenFree();
    if (m_bFinishDue)
        QMetaObject::invokeMethod(this, [this] { FinishEnded(); }, Qt::QueuedConnection);
}

void CConversionRuns::FinishEnded()
{
    Q_ASSERT(IsUiThread());
    if (m_bClosed)
        return;
    if (m_nHolds > 0 || m_bFinishing) {
        m_bFinishDue = true;
        return;
    }
    m_bFinishing = true;
    // Runs that end during a finish step take their turn after it.
    while (!m_ended.empty() && m_nHolds == 0 && !m_bClosed) {
        EndedRun run = std::move(m_ended.front());
        m_ended.pop_front();
        run.worker.reset(); // removes the run folder
        if (m_callbacks.finish)
            m_callbacks.finish(run.folder, run.summary);
    }
    m_bFinishing = false;
    m_bFinishDue = !m_ended.empty();
}

void CConversionRuns::Close()
{
    Q_ASSERT(IsUiThread());
    if (m_bClosed)
        return;
    m_bClosed = true;
    m_callbacks = {};
    m_state = State::Idle;
    m_bPaused = false;
    std::unique_ptr<CConversionWorker> current = std::move(m_current);
    std::vector<std::unique_ptr<CConversionWorker>> stopping = std::move(m_stopping);
    std::deque<EndedRun> ended = std::move(m_ended);
    current.reset(); // each stops and is waited for while events are served
    stopping.clear();
    ended.clear();
}
