#pragma once

#include "engine/ConversionRun.h"
#include "engine/ConversionRunObserver.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <memory>
#include <vector>

class CConversionWorker;
class ConversionPrompts;

// The conversion page's runs, on the window thread: the run in hand, stopped
// runs still ending, and ended runs waiting for their finish step.
//
// One office at a time: a run started while a stopped one is still ending
// waits for it. A question open over the runs (Stop, or closing the program)
// holds them: the run in hand pauses, its questions and reports wait, a waiting
// run does not start, and no finish step runs. Finish steps run one at a time,
// in the order the runs ended, never one inside another.
class CConversionRuns : public QObject {
    Q_OBJECT
public:
    enum class State {
        Idle,    // no run in hand
        Waiting, // the run in hand waits for stopped runs to end before it starts
        Running, // the run in hand is going
    };

    struct Callbacks {
        // The run in hand moved on.
        std::function<void(int percent)> progress;
        // The run in hand ended (its finish step comes later).
        std::function<void(const ConversionRunSummary& summary)> ended;
        // The finish step of one ended run: it may run dialogs.
        std::function<void(const QString& folder, const ConversionRunSummary& summary)> finish;
    };

    // prompts (the program's questions) must outlive the runs; options is asked
    // on a run's thread.
    CConversionRuns(ConversionPrompts* prompts, ConversionRun::OptionsProvider options, Callbacks callbacks);
    // Stops every run and waits for them while serving events.
    ~CConversionRuns() override;

    // Window thread, like everything here.
    State GetState() const { return m_state; }
    // The worker of the run in hand; null when Idle.
    CConversionWorker* Current() const { return m_current.get(); }

    // Starts a run (Idle only); it waits while stopped runs end or a question is open.
    void Start(const QStringList& workbooks, const QString& folder);
    // Stops the run in hand, which ends in the background and makes nothing
    // more; false when it had already ended (its end is reported as usual).
    bool StopCurrent();

    // A question opens over the runs, and is answered.
    void Hold();
    void Release();

    // The delay before the finish steps has passed: each ended run's finish step
    // runs now, or once the hold or the finish step in progress is over.
    void FinishEnded();
    // Stops and waits for every run; nothing is called back any more.
    void Close();

private:
    struct EndedRun {
        QString folder;
        ConversionRunSummary summary;
        std::unique_ptr<CConversionWorker> worker; // removes the run folder when it goes
    };

    void Launch();
    void LaunchWhenFree();
    void OnFinished(const ConversionRunSummary& summary);
    // Lets go of stopped runs whose threads have ended.
    void ReleaseStoppedRuns();

    ConversionPrompts* m_pPrompts;
    ConversionRun::OptionsProvider m_options;
    Callbacks m_callbacks;
    State m_state = State::Idle;
    QString m_strFolder; // of the run in hand
    std::unique_ptr<CConversionWorker> m_current;
    std::vector<std::unique_ptr<CConversionWorker>> m_stopping;
    std::deque<EndedRun> m_ended;
    int m_nHolds = 0;          // questions open over the runs
    bool m_bPaused = false;    // the run in hand was paused by the hold
    bool m_bFinishing = false; // a finish step is in progress
    bool m_bFinishDue = false; // the delay passed while finish steps could not run
    bool m_bClosed = false;
};
