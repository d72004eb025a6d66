#pragma once

#include "convert_page/WorkerPrompts.h"
#include "engine/ConversionRun.h"
#include "engine/ConversionRunObserver.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <mutex>

// What the thread of a conversion worker uses: the run, its questions and the
// way back to the worker. The worker and its thread share it, so a thread the
// worker had to leave running (a stop that took too long) keeps all of it until
// it ends; the run folder goes with it then.
class CWorkerCore : public ConversionRunObserver {
public:
    // Called on the receiver's thread, queued, in the order reported.
    struct Reports {
        std::function<void(int percent)> progress;
        std::function<void(const ConversionRunSummary& summary)> ended; // the thread is done
    };

    // Window thread. prompts must outlive the core or be silenced first (Detach).
    CWorkerCore(const QStringList& workbooks, const QString& outputFolder, ConversionPrompts* prompts,
                ConversionRun::OptionsProvider options, QObject* receiver, Reports reports);
    ~CWorkerCore() override;
    CWorkerCore(const CWorkerCore&) = delete;
    CWorkerCore& operator=(const CWorkerCore&) = delete;

    ConversionRun& Run() { return *m_run; }
    const ConversionRun& Run() const { return *m_run; }
    CWorkerPrompts& Prompts() { return m_prompts; }

    // The run's thread: the whole conversion, then its end is reported.
    void RunToEnd();
    // Window thread: no report reaches the receiver any more, no question is shown.
    void Detach();

private:
    void ProgressChanged(int percent) override;
    void Post(std::function<void()> report);

    std::mutex m_mutex;
    QObject* m_pReceiver; // null once detached
    const Reports m_reports;
    CWorkerPrompts m_prompts; // before the run, which uses it
    std::unique_ptr<ConversionRun> m_run;
};
