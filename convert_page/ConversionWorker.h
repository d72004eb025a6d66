#pragma once

#include "convert_page/WorkerCore.h"
#include "engine/ConversionRun.h"
#include "engine/ConversionRunObserver.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <memory>
#include <thread>

// One conversion run on a thread of its own, seen from the window thread. The
// run's reports arrive queued on the window thread, in order, and go to the
// callbacks; while the reports are held (a question is open over the run) they
// wait and are handed on, in order, once released. A worker the page abandons
// (Stop, Yes) ends on its own, removes its run folder and only says when its
// thread has ended. Everything the thread uses lives in a core it shares.
class CConversionWorker : public QObject {
    Q_OBJECT
public:
    struct Callbacks {
        std::function<void(int percent)> progress;
        // The run is over and its thread has ended (joining it does not wait).
        std::function<void(const ConversionRunSummary& summary)> finished;
        // An abandoned run's thread has ended and its run folder is gone.
        std::function<void()> abandonedEnded;
    };

    // Window thread. prompts (the program's questions) must outlive the worker.
    CConversionWorker(const QStringList& workbooks, const QString& outputFolder, ConversionPrompts* prompts,
                      ConversionRun::OptionsProvider options, Callbacks callbacks);
    // Stops a run still going and waits for it while serving events.
    ~CConversionWorker() override;

    // How long a stop waits for the run before leaving its thread to end on its
    // own (tests shorten it).
    static void SetStopPatience(int ms);

    // Window thread from here on. Starts the run's thread; false when no thread could be had.
    bool Start();
    bool Started() const { return m_thread.joinable() || m_bEnded; }
    // The run has ended and its end was delivered (or would have been, when abandoned).
    bool Ended() const { return m_bEnded; }

    // A question is open over the run: the run waits at its next safe point, its
    // questions and reports wait.
    void Pause();
    // The question is answered: the run and its reports go on.
    void Resume();
    // Yes: ends the run at once (office and Ghostscript end, nothing more is made);
    // the worker calls back no more but abandonedEnded once its thread has ended
    // (not at all when it had ended or never started).
    void Abandon();
    // Ends the run and waits for its thread while serving the window's events.
    void StopAndWait();

    // After the end: the joined run's summary, and removal of its run folder.
    ConversionRunSummary Summary() const;
    void RemoveRunFolder();
    QString RunFolderPath() const;

private:
    void Deliver(std::function<void()> report);
    void FlushHeld();
    void OnThreadEnded(const ConversionRunSummary& summary);
    void Join();

    Callbacks m_callbacks;
    std::shared_ptr<CWorkerCore> m_core;
    std::thread m_thread;
    bool m_bHeld = false;
    bool m_bAbandoned = false;
    bool m_bEnded = false;
    std::deque<std::function<void()>> m_held;
};
