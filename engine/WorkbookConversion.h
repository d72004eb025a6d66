#pragma once

#include "engine/GhostscriptStage.h"
#include "engine/PageChunks.h"
#include "options/ConversionOptions.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class CDispatchDriver;
class CGhostscriptStream;
class PageRangeShare;
class GhostscriptServer;
class DispatchException;
class ConversionPrompts;
class StopGate;
struct Variant;

// What printing one workbook left for the Ghostscript stage.
struct PrintedWorkbook {
    enum Status {
        Printed,   // at least one sheet printed (failure says why the sheets from missingFrom on are missing)
        Failed,    // nothing printed
        Cancelled, // the workbook could not be opened and its password prompt was cancelled
        Stopped,   // a stop was requested: nothing more is produced for it
    };

    Status status = Failed;
    QString workbookPath;
    ConversionOptions options;  // the options this workbook is converted with
    QString outputFolder;
    QString printFolder;        // this workbook's own folder inside the run folder
    QStringList printFiles;     // complete print files of this workbook, in page order
    // The name of each printed sheet, by its first print file (with bookmarks on).
    QHash<QString, QString> sheetTitles;
    // The Ghostscript job its print files were handed to as each was complete;
    // null when none was begun or it was given up (the files are joined anew).
    std::shared_ptr<CGhostscriptStream> stream;
    int sheetCount = 0;         // sheets the workbook has (0 when it was never opened)
    int missingFrom = 0;        // the first sheet a failure left unprinted (0: none); later ones are missing too
    // What becomes of a file at the PDF's place; only a whole workbook may replace one.
    GhostscriptJob::Existing existing = GhostscriptJob::Existing::Keep;
    QString failure;            // why printing failed or ended early; empty otherwise
    QString note;               // what the user should know of a workbook printed whole (a blank page)
};

// The end of one workbook.
struct WorkbookOutcome {
    bool converted = false;  // true only when the PDF was written with every sheet
    bool incomplete = false; // a PDF was written, but without the sheets failure names
    bool targetExists = false; // a file of the PDF's name was there and was not replaced
    QString pdfPath;
    QString heldPdf;         // with targetExists and Existing::Hold: the complete PDF, to move or remove
    QString failure;         // one line naming the workbook; empty when nothing went wrong
                             // (a converted one may carry a note here: a blank page)
    int pages = 0;           // pages of the PDF made (also when it was held or kept aside)
    QList<QPair<QString, int>> sheets; // each sheet's name and first page, in page order
};

// Converts workbooks one at a time: the spreadsheet application behind
// "Excel.Application" prints every sheet into a print file of the run folder,
// then the Ghostscript stage joins the files into the workbook's PDF.
// One object serves a whole run; it lives on the worker thread. Only
// ConvertPrinted may run on another thread, so that a run can join the
// sheets of one workbook while the next one prints.
class CWorkbookConversion {
public:
    // The password sent with every open unless a retry after the prompt is
    // under way; a workbook without a password opens regardless of it.
    static QString PasswordPlaceholder();

    // prompts must outlive this object; gate may be null.
    CWorkbookConversion(ConversionPrompts* prompts, const QString& outputFolder, const QString& runFolder,
                        StopGate* gate = nullptr);

    // The options of the next workbook (a copy is taken; set before each workbook).
    void SetOptions(const ConversionOptions& options) { m_options = options; }
    // What becomes of a file at the next workbook's PDF path (Keep unless set before each workbook).
    void SetExisting(GhostscriptJob::Existing existing) { m_existing = existing; }
    void SetOutputFolder(const QString& folder) { m_strOutputFolder = folder; }
    void SetStopGate(StopGate* gate) { m_pGate = gate; }
    // The Ghostscript that ConvertPrinted hands its jobs to (it must outlive
    // their use); without one, each workbook starts a Ghostscript of its own.
    void SetGhostscriptServer(GhostscriptServer* server) { m_pGhostscript = server; }
    // A sheet of more pages than this prints in page ranges, each into a print
    // file of its own, so that Ghostscript joins one while the next prints
    // (0: every sheet in one piece).
    static constexpr int kChunkPages = 300;
    void SetChunkPages(int pages) { m_nChunkPages = pages; }
    // A sheet of at least this many ranges is offered to other lanes through
    // the sharing callback (when there is one): they print some of its ranges.
    static constexpr int kSharedRanges = 3;
    using RangeSharing = std::function<void(const std::shared_ptr<PageRangeShare>&)>;
    void SetRangeSharing(RangeSharing offer) { m_shareRanges = std::move(offer); }
    // Called on the printing thread before a workbook's first print file is
    // handed to the Ghostscript server: whatever else uses the server must be
    // done with it when this returns.
    void SetBeforeStreaming(std::function<void()> callback) { m_beforeStreaming = std::move(callback); }
    // The printer queue the sheets print through ("OrvikExcelToPDF" unless changed).
    void SetQueueName(const QString& name) { m_strQueueName = name; }
    QString QueueName() const { return m_strQueueName; }

    // Called on the printing thread once each sheet is done with (printed, or
    // left out for being hidden): its 1-based number and the workbook's sheet count.
    using SheetCallback = std::function<void(int sheet, int sheetCount)>;
    void SetSheetCallback(SheetCallback callback) { m_sheetCallback = std::move(callback); }

    // Prints the workbook and joins its sheets into its PDF; sets WorkbookDone().
    bool ConvertWorkbook(const QString& path);

    // First half: opens the workbook (asking for its password when the open is
    // refused for it, and retrying), prints each sheet (a long one in page
    // ranges), closes it and quits the application. Each complete print file
    // goes at once to the workbook's Ghostscript job (PrintedWorkbook::stream).
    // A sheet whose printing fails adds no page, and nothing after it is
    // printed. A damaged file, a failed application or a stop asks nothing.
    PrintedWorkbook PrintWorkbook(const QString& path);
    // Second half: ends the workbook's Ghostscript job (or, when there is
    // none, runs one over all its print files); removes the print files
    // afterwards. A job not ended here (a stop, a failure) yields no PDF, and
    // a workbook that lost sheets never replaces a file at its PDF's place.
    // Reads nothing of this object but the stop gate and the Ghostscript server.
    WorkbookOutcome ConvertPrinted(const PrintedWorkbook& printed) const;
    // Prints ranges of another lane's long sheet until none is left to take:
    // opens its workbook (with the password it opened with; nothing is asked)
    // and prints each range it takes into the file the share names. A range
    // it cannot print goes back to the share, and helping ends. Returns the ranges printed.
    int HelpPrint(PageRangeShare& share);
    // Takes the outcome of a workbook into WorkbookDone(), PdfPath() and FailureMessage().
    void RecordOutcome(const WorkbookOutcome& outcome);

    // 1 when the last workbook was converted, 0 otherwise.
    int WorkbookDone() const { return m_bWorkbookDone; }
    // Sheets of the workbook opened last (0 when it could not be opened).
    int SheetCount() const { return m_nSheetCount; }
    // PDF of the last workbook when it was converted, else empty.
    QString PdfPath() const { return m_strPdfPath; }
    // One line per workbook of the run that failed (or lost sheets).
    QString FailureMessage() const { return m_lstFailures.join(QLatin1Char('\n')); }
    QString WorkbookPassword() const { return m_strWorkbookPassword; }

    // The missing printer queue is reported once per run; a run that uses
    // several objects passes the flag on.
    bool QueueReported() const { return m_bQueueReported; }
    void SetQueueReported(bool reported) { m_bQueueReported = reported; }

private:
    struct Application;

    bool QueueReady(QString* failure);
    enum OpenResult { Opened, PasswordNeeded, NotOpened };

    // One open-and-print attempt; *refused is set when the open was refused
    // for the workbook's password.
    void PrintAttempt(PrintedWorkbook& job, bool* refused);
    // NotOpened leaves the reason in job.failure.
    OpenResult OpenWorkbook(Application& excel, PrintedWorkbook& job);
    static QString OpenFailure(const QString& path, const DispatchException& e);
    void PrintSheets(Application& excel, PrintedWorkbook& job);
    // False when a stop cut the sheet short.
    bool PrintSheet(Application& excel, PrintedWorkbook& job, int index);
    // The attached sheet's name (empty when the application gives none).
    static QString SheetName(Application& excel);
    // The sheet's pages when it is to print in ranges, else 0.
    int PagesToSplit(Application& excel) const;
    // Prints the pages (all without a range) into the file; false on a stop.
    bool PrintPart(Application& excel, PrintedWorkbook& job, const QString& file,
                   std::optional<std::pair<int, int>> pages);
    enum class PartResult { Printed, Nothing, Stopped };
    // Prints the pages into the file and waits for it; throws when it fails.
    PartResult PrintInto(Application& excel, const QString& file, std::optional<std::pair<int, int>> pages);
    // Prints the sheet's ranges together with the lanes that help; false on a stop.
    bool PrintShared(Application& excel, PrintedWorkbook& job, int index, const std::vector<CPageChunks::Range>& ranges);
    // Hands on the shared ranges done so far, in page order, from handed on; the next one not done.
    int HandOverDone(PrintedWorkbook& job, const PageRangeShare& share, int handed);
    int HelpWithRanges(Application& excel, PageRangeShare& share);
    // Attaches the application's sheet (scaled to one page wide when asked) and
    // makes it the active one; false when hidden.
    static bool AttachSheet(Application& excel, int index, bool fitWidth);
    // Takes a complete print file into the workbook, the first of its sheet under the sheet's title.
    void AddPrintFile(PrintedWorkbook& job, const QString& file);
    // Gives a complete print file to the workbook's Ghostscript job.
    void HandOver(PrintedWorkbook& job, const QString& file);
    // The Ghostscript stage's view of a printed workbook (its files so far).
    static GhostscriptJob GhostscriptJobOf(const PrintedWorkbook& printed);
    static void GiveUpStream(PrintedWorkbook& job);
    // Takes back the print files from the given one on (a sheet that failed part-way).
    static void DropPrintFiles(PrintedWorkbook& job, qsizetype from);
    // The outcome of a Ghostscript job over all of a workbook's sheets, or over those printed before a failure.
    static WorkbookOutcome Whole(const PrintedWorkbook& printed, const GhostscriptResult& result);
    static WorkbookOutcome Incomplete(const PrintedWorkbook& printed, const GhostscriptResult& result);
    // The pages of the print files and where each sheet begins.
    static void CountPages(const PrintedWorkbook& printed, WorkbookOutcome* outcome);
    static void AddBlankPage(PrintedWorkbook& job);
    static bool IsHidden(const Variant& visible);
    static void CloseAndQuit(Application& excel);
    bool PassSafePoint() const;
    bool StopRequested() const;
    QString NewPrintFolder();

    std::vector<Variant> OpenArguments(const QString& path) const;
    std::vector<Variant> PrintOutArguments(const QString& printFile,
                                           std::optional<std::pair<int, int>> pages) const;
    static QString PrintFilePath(const QString& folder, int sheet, int part = 0);
    static QString FailureLine(const QString& workbookPath, const QString& reason);

    ConversionOptions m_options;
    GhostscriptJob::Existing m_existing = GhostscriptJob::Existing::Keep;
    QString m_strOutputFolder;
    QString m_strRunFolder;
    ConversionPrompts* m_pPrompts;
    StopGate* m_pGate;
    GhostscriptServer* m_pGhostscript = nullptr;
    QString m_strQueueName;
    bool m_bQueueReported = false;
    SheetCallback m_sheetCallback;
    std::function<void()> m_beforeStreaming;
    int m_nChunkPages = kChunkPages;
    RangeSharing m_shareRanges;
    QString m_strSheetTitle;    // the outline title of the sheet printing now, until its first file

    int m_bWorkbookDone = 0;
    QString m_strWorkbookPassword;
    int m_nSheetCount = 0;
    QString m_strPdfPath;
    QStringList m_lstFailures;
    int m_nPrintFolders = 0;
};
