#pragma once

#include "engine/ConversionRunObserver.h"
#include "engine/GhostscriptStage.h"
#include "engine/SharedSheets.h"
#include "options/ConversionOptions.h"
#include "platform/RunFolder.h"
#include "platform/StopGate.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

class ConversionPrompts;
class OfficeSession;

// One conversion run: every listed workbook in list order becomes a PDF named
// after it in the output folder. Run() is called once, on a worker thread; the
// window (or the command line) asks for a pause or a stop from its own thread,
// and calls Finish() when it is done with the run, which removes the private
// folder of the run and everything the run made in it.
//
// The run converts in lanes (ConversionLane), each an office and a Ghostscript
// of its own, that take the workbooks in list order as each becomes free. In a
// lane, one Ghostscript joins each print file while the office prints the next
// (a long sheet prints in page ranges, each a print file), and a workbook's
// last files are joined while the lane's next workbook prints its first sheet.
// What is reported comes in list order all the same: a workbook's start, sheets
// and result are held back until every workbook before it is reported, and a
// question (replace an existing PDF, a workbook password) is asked only then,
// so questions come one at a time. Every question waits while the run is paused
// and is not asked once it is stopped: a workbook whose PDF exists then counts
// as stopped, a password prompt as cancelled, a message goes unshown.
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
    // Before Run(): at most this many lanes convert at once (1 unless changed;
    // more than there are workbooks only to share long sheets). A shared
    // office session serves the first.
    void SetLanes(int lanes) { m_nLanes = lanes < 1 ? 1 : lanes; }
    // Before Run(): whether lanes with nothing else to do print page ranges of
    // another lane's long sheet. By default only where processors are to
    // spare: the lane that owns the sheet already keeps two busy, its office
    // printing and its Ghostscript joining, and Ghostscript joins in order on one.
    void SetShareSheets(bool share) { m_bShareSheets = share; }
    // Page ranges printed by lanes other than their sheet's own.
    int RangesShared() const { return m_sheets.Helped(); }
    // Before Run(): a lane's office is started afresh after this many
    // workbooks, or once it holds this many bytes (its memory grows over a long run).
    void SetRecycle(int workbooks, qint64 bytes) { m_nRecycleWorkbooks = workbooks, m_nRecycleBytes = bytes; }
    // The lanes this machine affords: one per processor, as many as fit in
    // memory; or as many as last set with SetDefaultLanes (0: the machine's again).
    static int DefaultLanes();
    static void SetDefaultLanes(int lanes);

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
    friend class ConversionLane;
    // What the run knows of one workbook while the lanes work.
    struct Slot {
        bool started = false;   // a lane has begun it
        std::chrono::steady_clock::time_point begun;
        bool announced = false; // its start was reported
        int sheet = 0;          // its latest printed sheet while its start waits (0: none)
        int sheetCount = 0;
        bool settled = false;   // done with: reported, or ended without a report (a stop)
        std::optional<WorkbookReport> report;
    };

    // The file name of a path, as reports name workbooks and PDFs.
    static QString FileNameOf(const QString& path);
    // False, with every workbook failed and the user told, when the temporary folder is full.
    bool RoomToWork();
    void RunLanes();
    void SweepStaleFiles() const;

    // Lane side, any lane's thread. The next workbook to convert, or -1 when none is left.
    int NextWorkbook();
    void ReportStart(const WorkbookReport& report);
    void ReportSheet(int index, int sheet, int sheetCount);
    // The workbook's result, reported once every workbook before it is.
    void Publish(const WorkbookReport& report);
    // The workbook ended without a result (a stop): later ones need not wait for it.
    void Settle(int index);
    // Returns once every workbook before this one is reported.
    void WaitTurn(int index);
    // Whether a workbook earlier in the list has the same PDF.
    bool SharesPdfWithEarlier(int index) const;
    // The earlier workbook of this run that made this workbook's PDF, or -1.
    int MadeEarlierBy(const WorkbookReport& report) const;
    // The failure of a workbook when a disk it needed is full; empty otherwise.
    QString FullDiskText(const QString& workbookPath) const;
    // True the first time a plain message comes up in this run.
    bool FirstShowing(const QString& text);

    // Caller holds m_mutex.
    void Advance();
    void AnnounceFront();
    void Deliver(const WorkbookReport& report);
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
    int m_nLanes = 1;
    bool m_bShareSheets = std::thread::hardware_concurrency() > 2;
    int m_nRecycleWorkbooks = 300;
    qint64 m_nRecycleBytes = 600LL * 1024 * 1024;
    ExistingPdf m_existingPdf = ExistingPdf::Ask;

    StopGate m_gate;
    StopGate m_finishGate;                // ends pending Ghostscript jobs: a second stop, or Finish()
    RunFolder m_runFolder;
    std::atomic<bool> m_bRan{false};
    std::atomic<int> m_nNext{0};          // the next workbook a lane takes
    SharedSheets m_sheets;                // long sheets the lanes print together

    mutable std::mutex m_mutex;           // the summary, the slots and the observer's calls
    std::condition_variable m_cvTurn;     // the front moved
    ConversionRunSummary m_summary;
    std::vector<Slot> m_slots;
    int m_nFront = 0;                     // the first workbook not yet reported
    int m_nProgress = 0;
    QStringList m_lstShown;               // plain messages shown so far
};
