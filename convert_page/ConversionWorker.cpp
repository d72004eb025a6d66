#include "convert_page/ConversionWorker.h"

#include "framework/UiThread.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTimer>

#include <cstdio>
#include <system_error>

namespace {
// A stop ends the office and Ghostscript at once; a run still going after this
// long is left to end on its own rather than hang the program's end.
int g_nStopPatienceMs = 60000;
} // namespace

CConversionWorker::CConversionWorker(const QStringList& workbooks, const QString& outputFolder,
                                     ConversionPrompts* prompts, ConversionRun::OptionsProvider options,
                                     Callbacks callbacks)
    : m_callbacks(std::move(callbacks))
{
    CWorkerCore::Reports reports;
    reports.progress = [this](int percent) {
        Deliver([this, percent] {
            if (m_callbacks.progress)
                m_callbacks.progress(percent);
        });
    };
    reports.ended = [this](const ConversionRunSummary& summary) { OnThreadEnded(summary); };
    m_core = std::make_shared<CWorkerCore>(workbooks, outputFolder, prompts, std::move(options), this,
                                           std::move(reports));
}

CConversionWorker::~CConversionWorker()
{
    StopAndWait();
}

void CConversionWorker::SetStopPatience(int ms)
{
    g_nStopPatienceMs = ms;
}

bool CConversionWorker::Start()
{
    Q_ASSERT(IsUiThread());
    if (Started())
        return false;
    try {
        m_thread = std::thread([core = m_core] { core->RunToEnd(); });
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void CConversionWorker::Pause()
{
    Q_ASSERT(IsUiThread());
    m_core->Run().Pause();
    m_core->Prompts().Hold();
    m_bHeld = true;
}

void CConversionWorker::Resume()
{
    Q_ASSERT(IsUiThread());
    m_bHeld = false;
    m_core->Prompts().Release();
    m_core->Run().Resume();
    FlushHeld();
}

void CConversionWorker::Abandon()
{
    Q_ASSERT(IsUiThread());
    m_bAbandoned = true;
    m_held.clear();
    m_core->Prompts().Silence();
    m_core->Run().RequestStop();
    if (m_bEnded || !m_thread.joinable())
        RemoveRunFolder();
}

void CConversionWorker::StopAndWait()
{
    Q_ASSERT(IsUiThread());
    m_callbacks = {};
    m_held.clear();
    m_core->Prompts().Silence();
    if (!m_thread.joinable())
        return;
    m_core->Run().RequestStop();
    // The run may be waiting for the window thread (a question, the options of a
    // workbook): serve events until its end arrives.
    QTimer wake;
    wake.start(50);
    const QDeadlineTimer deadline(g_nStopPatienceMs);
    while (!m_bEnded && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
    if (!m_bEnded) {
        std::fprintf(stderr, "The conversion did not end after a stop; it is left to end on its own.\n");
        // The thread keeps the core, and with it the run, until it ends.
        m_core->Detach();
        m_thread.detach();
        return;
    }
    Join();
    RemoveRunFolder();
}

ConversionRunSummary CConversionWorker::Summary() const
{
    return m_core->Run().Summary();
}

void CConversionWorker::RemoveRunFolder()
{
    if (!m_thread.joinable())
        m_core->Run().Finish();
}

QString CConversionWorker::RunFolderPath() const
{
    return m_core->Run().RunFolderPath();
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
        if (m_callbacks.abandonedEnded)
            m_callbacks.abandonedEnded();
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
