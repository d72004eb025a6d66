#include "convert_page/ConversionWorker.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTimer>

#include <cstdio>
#include <system_error>

namespace {
// A stop ends the office and Ghostscript at once; a run still going after this
// long is left to itself rather than hang the program's end.
constexpr int kStopPatienceMs = 60000;
} // namespace

CConversionWorker::CConversionWorker(const QStringList& workbooks, const QString& outputFolder,
                                     ConversionPrompts* prompts, ConversionRun::OptionsProvider options,
                                     Callbacks callbacks)
    : m_prompts(prompts),
      m_run(std::make_unique<ConversionRun>(workbooks, outputFolder, &m_prompts, std::move(options),
                                            static_cast<ConversionRunObserver*>(this))),
      m_callbacks(std::move(callbacks))
{
}

CConversionWorker::~CConversionWorker()
{
    StopAndWait();
}

bool CConversionWorker::Start()
{
    if (Started())
        return false;
    try {
        m_thread = std::thread([this] {
            const ConversionRunSummary summary = m_run->Run();
            // Posted after Run() returned: the thread is done when this arrives.
            QMetaObject::invokeMethod(this, [this, summary] { OnThreadEnded(summary); }, Qt::QueuedConnection);
        });
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void CConversionWorker::Pause()
{
    m_run->Pause();
    m_prompts.Hold();
    m_bHeld = true;
}

void CConversionWorker::Resume()
{
    m_bHeld = false;
    m_prompts.Release();
    m_run->Resume();
    FlushHeld();
}

void CConversionWorker::Abandon()
{
    m_bAbandoned = true;
    m_held.clear();
    m_prompts.Silence();
    m_run->RequestStop();
    if (m_bEnded || !m_thread.joinable()) {
        RemoveRunFolder();
        deleteLater();
    }
}

void CConversionWorker::StopAndWait()
{
    m_callbacks = {};
    m_held.clear();
    m_prompts.Silence();
    if (!m_thread.joinable())
        return;
    m_run->RequestStop();
    // The run may be waiting for the window thread (a question, the options of a
    // workbook): serve events until its end arrives.
    QTimer wake;
    wake.start(50);
    const QDeadlineTimer deadline(kStopPatienceMs);
    while (!m_bEnded && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
    if (!m_bEnded) {
        std::fprintf(stderr, "The conversion did not end after a stop; it is left to end on its own.\n");
        m_thread.detach();
        (void)m_run.release(); // still in use by the detached thread
        return;
    }
    Join();
    RemoveRunFolder();
}

ConversionRunSummary CConversionWorker::Summary() const
{
    return m_run ? m_run->Summary() : ConversionRunSummary();
}

void CConversionWorker::RemoveRunFolder()
{
    if (m_run && !m_thread.joinable())
        m_run->Finish();
}

QString CConversionWorker::RunFolderPath() const
{
    return m_run ? m_run->RunFolderPath() : QString();
}

// Run's worker or Ghostscript thread.
void CConversionWorker::ProgressChanged(int percent)
{
    QMetaObject::invokeMethod(
        this,
        [this, percent] {
            Deliver([this, percent] {
                if (m_callbacks.progress)
                    m_callbacks.progress(percent);
            });
        },
        Qt::QueuedConnection);
}

void CConversionWorker::Deliver(std::function<void()> report)
{
    if (m_bAbandoned)
        return;
    if (m_bHeld) {
        m_held.push_back(std::move(report));
        return;
    }
    report();
}

void CConversionWorker::FlushHeld()
{
    while (!m_held.empty() && !m_bHeld && !m_bAbandoned) {
        std::function<void()> report = std::move(m_held.front());
        m_held.pop_front();
        report();
    }
}

void CConversionWorker::OnThreadEnded(const ConversionRunSummary& summary)
{
    m_bEnded = true;
    Join();
    if (m_bAbandoned) {
        RemoveRunFolder();
        deleteLater();
        return;
    }
    Deliver([this, summary] {
        if (m_callbacks.finished)
            m_callbacks.finished(summary);
    });
}

void CConversionWorker::Join()
{
    if (m_thread.joinable() && m_thread.get_id() != std::this_thread::get_id())
        m_thread.join();
}
