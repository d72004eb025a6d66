#pragma once

#include "engine/ConversionRun.h"
#include "engine/ConversionRunObserver.h"
#include "convert_page/WorkerPrompts.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <memory>
#include <thread>

// One conversion run on a thread of its own, seen from the window thread. The
// run's reports arrive queued on the window thread, in order, and go to the
// callbacks; while the reports are held (the Stop question is open) they wait
// and are handed on, in order, once released. A worker the page abandons
// (Stop, Yes) never calls back again: it ends on its own, joins its thread and
// removes its run folder.
class CConversionWorker : public QObject, private ConversionRunObserver {
    Q_OBJECT
public:
    struct Callbacks {
        std::function<void(int percent)> progress;
        // The run is over and its thread has ended (joining it does not wait).
        std::function<void(const ConversionRunSummary& summary)> finished;
    };

    // Window thread. prompts (the program's questions) must outlive the worker.
    CConversionWorker(const QStringList& workbooks, const QString& outputFolder, ConversionPrompts* prompts,
                      ConversionRun::OptionsProvider options, Callbacks callbacks);
    // Stops a run still going and waits for it while serving events.
    ~CConversionWorker() override;

    // Starts the run's thread; false when no thread could be had.
    bool Start();
    bool Started() const { return m_thread.joinable() || m_bEnded; }
    // The run has ended and its end was delivered (or would have been, when abandoned).
    bool Ended() const { return m_bEnded; }

    // The Stop question: the run waits at its next safe point, its reports wait.
    void Pause();
    // No: the run and its reports go on.
    void Resume();
    // Yes: ends the run at once (office and Ghostscript end, nothing more is made);
    // the worker calls back no more and deletes itself once its thread has ended.
    void Abandon();
    // Ends the run and waits for its thread while serving the window's events.
    void StopAndWait();

    // After the end: the joined run's summary, and removal of its run folder.
    ConversionRunSummary Summary() const;
    void RemoveRunFolder();
    QString RunFolderPath() const;

private:
    void ProgressChanged(int percent) override;
    void Deliver(std::function<void()> report);
    void FlushHeld();
    void OnThreadEnded(const ConversionRunSummary& summary);
    void Join();

    CWorkerPrompts m_prompts; // before the run, which uses it
    std::unique_ptr<ConversionRun> m_run;
    Callbacks m_callbacks;
    std::thread m_thread;
    bool m_bHeld = false;
    bool m_bAbandoned = false;
    bool m_bEnded = false;
    std::deque<std::function<void()>> m_held;
};
