#include "convert_page/WorkerCore.h"

#include "framework/UiThread.h"

CWorkerCore::CWorkerCore(const QStringList& workbooks, const QString& outputFolder, ConversionPrompts* prompts,
                         ConversionRun::OptionsProvider options, QObject* receiver, Reports reports)
    : m_pReceiver(receiver),
      m_reports(std::move(reports)),
      m_prompts(prompts),
      m_run(std::make_unique<ConversionRun>(workbooks, outputFolder, &m_prompts, std::move(options),
                                            static_cast<ConversionRunObserver*>(this)))
{
    Q_ASSERT(IsUiThread());
    m_run->SetLanes(ConversionRun::DefaultLanes());
}

// On whichever thread lets the core go last: the run removes its folder.
CWorkerCore::~CWorkerCore() = default;

void CWorkerCore::RunToEnd()
{
    const ConversionRunSummary summary = m_run->Run();
    // Posted after Run() returned: the thread is done when this arrives.
    Post([ended = m_reports.ended, summary] { ended(summary); });
}

void CWorkerCore::Detach()
{
    Q_ASSERT(IsUiThread());
    m_prompts.Silence();
    std::lock_guard lock(m_mutex);
    m_pReceiver = nullptr;
}

// Run's worker or Ghostscript thread.
void CWorkerCore::ProgressChanged(int percent)
{
    Post([progress = m_reports.progress, percent] { progress(percent); });
}

// Posted under the lock: once Detach() returns nothing new is posted, and what
// was posted before goes with the receiver.
void CWorkerCore::Post(std::function<void()> report)
{
    std::lock_guard lock(m_mutex);
    if (m_pReceiver)
        QMetaObject::invokeMethod(m_pReceiver, std::move(report), Qt::QueuedConnection);
}
