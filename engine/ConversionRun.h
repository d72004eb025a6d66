#pragma once

#include "engine/ConversionRunObserver.h"
#include "engine/GhostscriptStage.h"
#include "options/ConversionOptions.h"
#include "platform/RunFolder.h"
#include "platform/StopGate.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class CWorkbookConversion;
class ConversionPrompts;
class OfficeSession;
struct PrintedWorkbook;
struct WorkbookOutcome;

// One conversion run: every listed workbook in list order becomes a PDF named
// after it in the output folder. Run() is called once, on a worker thread; the
// window (or the command line) asks for a pause or a stop from its own thread,
// and calls Finish() when it is done with the run, which removes the private
// folder of the run and everything the run made in it.
//
// One office serves the whole run, and one Ghostscript joins each print file
// while the office prints the next (a long sheet prints in page ranges, each a
// print file). A workbook's job ends once it is fully printed; its last files
// are joined while the next workbook prints its first sheet. What
// is reported comes in list order all the same: before any question (replace
// an existing PDF, a workbook password) the pending Ghostscript is finished and
// its result reported, and the next workbook's start is reported only after it.
// Every question waits while the run is paused and is not asked once it is
// stopped: a workbook whose PDF exists then counts as stopped, a password
// prompt as cancelled, a message goes unshown.
class ConversionRun {
public:
    // Called once per workbook, just before it prints: the options it is converted with.
    using OptionsProvider = std::function<ConversionOptions()>;
    // What happens to a PDF that exists already: the window asks; the command
    // line knows the answer beforehand and need not wait for anything to ask.
    enum class ExistingPdf { Ask, Replace, Keep };

    static QString CompleteText() { return QStringLiteral("Complete!"); }
    static QString StoppedText() { return QStringLiteral("Stoped"); }
    // The question before replacing an existing PDF (%1: its full path).
    static QString ReplaceQuestion() { return QStringLiteral("%1 already exists. Do you want to replace it?"); }

    // prompts and observer (may be null) must outlive the run.
    ConversionRun(const QStringList& workbooks, const QString& outputFolder, ConversionPrompts* prompts,
                  OptionsProvider options, ConversionRunObserver* observer = nullptr);
    // Finishes the run (Run() must have returned, or never have been called).
    ~ConversionRun();
    ConversionRun(const ConversionRun&) = delete;
    ConversionRun& operator=(const ConversionRun&) = delete;

    // Before Run(): the office of this session serves the run (it must outlive
    // the run) instead of one the run starts and ends itself.
    void UseOfficeSession(OfficeSession* session) { m_pSharedSession = session; }
    // Before Run(): what happens to existing PDFs (Ask unless changed).
    void SetExistingPdf(ExistingPdf rule) { m_existingPdf = rule; }
    // Before Run(): the printer queue the sheets print through.
    void SetQueueName(const QString& name) { m_strQueueName = name; }
    // Before Run(): a sheet of more pages than this prints in page ranges (0: never).
    void SetChunkPages(int pages) { m_nChunkPages = pages; }

    // Worker thread, once: converts every workbook and returns what came of them.
    ConversionRunSummary Run();

    // Any thread. A stop ends a running office at once and nothing further is
    // printed; the Ghostscript of a workbook whose sheets are all printed is
    // let finish (it is short). A second stop, or Finish(), ends that too.
    // A pause holds the run at its next safe point.
    void RequestStop();
    void Pause() { m_gate.Pause(); }
    void Resume() { m_gate.Resume(); }
    bool StopRequested() const { return m_gate.StopRequested(); }
    bool Paused() const { return m_gate.Paused(); }

    // Removes the run folder and everything in it; later calls do nothing.
    void Finish();

    // The output folder, ending with a separator.
    QString OutputFolder() const { return m_strOutputFolder; }
    // The private folder of the run (empty once finished).
    QString RunFolderPath() const { return m_runFolder.Path(); }
    // The summary of the finished run.
    ConversionRunSummary Summary() const;

    // The message of a run that cannot start for a full temporary folder (%1: the folder, %2: MB needed).
    static QString TemporaryFullText()
    {
        return QStringLiteral("The temporary folder %1 is full: a conversion needs at least %2 MB free there. "
                              "Free some space, or set TMPDIR to another folder.");
    }
    // The failure of a workbook whose PDF this run already made from another
    // workbook of the same name (both named by their paths).
    static QString ClashText() { return QStringLiteral("%1: not converted: %2 was made from %3 earlier in this run."); }
    // The failure of a workbook whose PDF's place is taken by a folder (%1: workbook, %2: the path).
    static QString FolderText() { return QStringLiteral("%1: not converted: %2 is a folder, not a PDF."); }

private:
    class OrderedPrompts;
    struct Pending;

    void ConvertOne(CWorkbookConversion& engine, int index);
    void ReportStart(const WorkbookReport& report);
    void ReportSheet(int index, int sheet, int sheetCount);
    // False, with every workbook failed and the user told, when the temporary folder is full.
    bool RoomToWork();
    // The failure of a workbook when a disk it needed is full; empty otherwise.
    QString FullDiskText(const QString& workbookPath) const;
    // The earlier workbook of this run that made this workbook's PDF, or -1.
    int MadeEarlierBy(const WorkbookReport& report) const;
    void SweepStaleFiles() const;
    // What becomes of a file at the workbook's PDF path; false when the
    // workbook is done with (its PDF kept, a folder in the way, a stop).
    bool DecideExisting(WorkbookReport& report, GhostscriptJob::Existing* existing);
    bool KeepExisting(WorkbookReport& report);
    // Before any question: reports what is pending, then passes the gate (held
    // while paused); false once a stop was requested: nothing is to be asked.
    bool ReadyToAsk();
    void StartGhostscript(std::unique_ptr<PrintedWorkbook> printed, const WorkbookReport& report);
    // Waits for the pending workbook and reports it; a PDF that appeared at
    // its place meanwhile is asked about first, unless mayAsk is false.
    void FinishPending(bool mayAsk = true);
    void ResolveHeld(WorkbookReport report, const WorkbookOutcome& outcome, bool mayAsk);
    void FinishWorkbook(WorkbookReport report, const WorkbookOutcome& outcome);
    void Publish(const WorkbookReport& report);
    void PublishProgress(int percent);
    int ProgressAt(int index) const;

    QStringList m_lstWorkbooks;
    QString m_strOutputFolder;
    ConversionPrompts* m_pPrompts;
    OptionsProvider m_options;
    ConversionRunObserver* m_pObserver;
    OfficeSession* m_pSharedSession = nullptr;
    QString m_strQueueName;
    int m_nChunkPages = -1;               // -1: the engine's own
    ExistingPdf m_existingPdf = ExistingPdf::Ask;

    StopGate m_gate;
    StopGate m_finishGate;                // ends the pending Ghostscript: a second stop, or Finish()
    RunFolder m_runFolder;
    std::unique_ptr<CWorkbookConversion> m_pFinisher; // joins printed sheets under m_finishGate
    std::unique_ptr<Pending> m_pPending;  // the workbook Ghostscript is joining (worker thread only)
    std::atomic<bool> m_bRan{false};

    mutable std::mutex m_mutex;           // the summary and the observer's calls
    ConversionRunSummary m_summary;
    int m_nProgress = 0;
    int m_nAwaited = -1;                  // the workbook whose result the pending Ghostscript reports
    int m_nOwedStart = -1;                // a start reported once that result is
    int m_nOwedSheet = 0;                 // the owed start's last printed sheet (0: none), reported after it
    int m_nOwedSheetCount = 0;
};
