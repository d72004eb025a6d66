#include "engine/ConversionRun.h"

#include "automation/OfficeSession.h"
#include "engine/ConversionPrompts.h"
#include "engine/GhostscriptServer.h"
#include "engine/GhostscriptStage.h"
#include "engine/GhostscriptStream.h"
#include "engine/PdfPublisher.h"
#include "engine/WorkbookConversion.h"
#include "platform/DiskSpace.h"
#include "platform/StaleRunFiles.h"

#include <QDir>
#include <QFileInfo>

#include <optional>
#include <system_error>
#include <utility>


namespace {
constexpr int kYesNo = 4;
constexpr int kYes = 6;
constexpr int kClosed = 8;
constexpr int kCancelled = 2;
// What a run needs in the temporary folder before the office starts: its
// profile and the print files of a large workbook.
constexpr qint64 kTemporaryNeed = 64LL * 1024 * 1024;
// Below this, a failed workbook is put down to a full disk.
constexpr qint64 kFullBelow = 1024LL * 1024;

QString FileNameOf(const QString& path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}
} // namespace

// The questions of the workbook engine, asked only once everything before the
// workbook in question has been reported, and only through the stop gate: a
// paused run holds its question until it is resumed, a stopped one asks nothing
// (a box counts as closed, a password prompt as cancelled).
class ConversionRun::OrderedPrompts : public ConversionPrompts {
public:
    OrderedPrompts(ConversionRun* run, ConversionPrompts* prompts) : m_pRun(run), m_pPrompts(prompts) {}

    int ShowMessageBox(const QString& text, int type) override
    {
        if (!m_pRun->ReadyToAsk() || !m_pPrompts)
            return kClosed;
        return m_pPrompts->ShowMessageBox(text, type);
    }
    void ShowPlainMessage(const QString& text) override
    {
        if (m_pRun->ReadyToAsk() && m_pPrompts)
            m_pPrompts->ShowPlainMessage(text);
    }
    int AskWorkbookPassword(const QString& fileName, QString* password) override
    {
        if (!m_pRun->ReadyToAsk() || !m_pPrompts) {
            password->clear();
            return kCancelled;
        }
        return m_pPrompts->AskWorkbookPassword(fileName, password);
    }

private:
    ConversionRun* m_pRun;
    ConversionPrompts* m_pPrompts;
};

// The workbook whose sheets Ghostscript is joining on its own thread.
struct ConversionRun::Pending {
    QString target;
    std::thread thread;
    // Set when a PDF appeared at its place meanwhile: the complete new PDF
    // waits for the replace question, asked on the worker thread.
    std::optional<std::pair<WorkbookReport, WorkbookOutcome>> held;
};

ConversionRun::ConversionRun(const QStringList& workbooks, const QString& outputFolder,
                             ConversionPrompts* prompts, OptionsProvider options,
                             ConversionRunObserver* observer)
    : m_lstWorkbooks(workbooks),
      m_strOutputFolder(outputFolder),
      m_pPrompts(prompts),
      m_options(std::move(options)),
      m_pObserver(observer)
{
    if (!m_strOutputFolder.endsWith(QLatin1Char('/')))
        m_strOutputFolder += QLatin1Char('/');
    for (int i = 0; i < m_lstWorkbooks.size(); ++i) {
        WorkbookReport report;
        report.index = i;
        report.workbookPath = m_lstWorkbooks.at(i);
        report.pdfPath = PdfPathFor(m_strOutputFolder, report.workbookPath);
        m_summary.workbooks.push_back(report);
    }
}

ConversionRun::~ConversionRun()
{
    Finish();
}

void ConversionRun::RequestStop()
{
    if (m_gate.StopRequested())
        m_finishGate.RequestStop();
    m_gate.RequestStop();
}

ConversionRunSummary ConversionRun::Run()
{
    if (m_bRan.exchange(true))
        return Summary();

    // One office for the whole run; a stop ends it at once.
    std::unique_ptr<OfficeSession> ownSession;
    if (m_pSharedSession) {
        m_pSharedSession->SetStopGate(&m_gate);
    } else {
        OfficeOptions office;
        office.stopGate = &m_gate;
        ownSession = std::make_unique<OfficeSession>(office);
    }
    if (!m_runFolder.IsValid() && m_pPrompts && !m_lstWorkbooks.isEmpty() && ReadyToAsk())
        m_pPrompts->ShowPlainMessage(m_runFolder.ErrorText());
    SweepStaleFiles();
    const bool roomToWork = RoomToWork();

    if (roomToWork) {
        OrderedPrompts prompts(this, m_pPrompts);
        CWorkbookConversion engine(&prompts, m_strOutputFolder, m_runFolder.Path(), &m_gate);
        m_pFinisher = std::make_unique<CWorkbookConversion>(nullptr, m_strOutputFolder, m_runFolder.Path(),
                                                            &m_finishGate);
        // One Ghostscript joins the sheets of every workbook of the run.
        GhostscriptServer ghostscript(m_runFolder.Path(), m_strOutputFolder);
        m_pFinisher->SetGhostscriptServer(&ghostscript);
        // A workbook's print files go to Ghostscript as each is printed; its
        // job begins only once the workbook before it is joined, so the jobs
        // run one after the other, in list order.
        engine.SetGhostscriptServer(&ghostscript);
        engine.SetBeforeStreaming([this] { FinishPending(); });
        if (!m_strQueueName.isEmpty())
            engine.SetQueueName(m_strQueueName);
        if (m_nChunkPages >= 0)
            engine.SetChunkPages(m_nChunkPages);
        int current = 0;
        engine.SetSheetCallback([this, &current](int sheet, int count) { ReportSheet(current, sheet, count); });
        for (int i = 0; i < m_lstWorkbooks.size(); ++i) {
            if (!m_gate.PassSafePoint())
                break;
            current = i;
            ConvertOne(engine, i);
        }
        FinishPending();
        m_pFinisher.reset();
    }

    if (m_pSharedSession)
        m_pSharedSession->SetStopGate(nullptr);
    ownSession.reset();

    std::lock_guard lock(m_mutex);
    m_summary.stopped = m_gate.StopRequested();
    m_summary.status = m_summary.pdfNames.isEmpty() ? StoppedText() : CompleteText();
    PublishProgress(100);
    if (m_pObserver)
        m_pObserver->RunFinished(m_summary);
    return m_summary;
}

bool ConversionRun::RoomToWork()
{
    const QString folder = QDir::tempPath();
    if (m_lstWorkbooks.isEmpty() || !DiskSpace::Short(folder, kTemporaryNeed))
        return true;
    if (m_pPrompts && ReadyToAsk())
        m_pPrompts->ShowPlainMessage(TemporaryFullText().arg(folder).arg(kTemporaryNeed / (1024 * 1024)));
    for (int i = 0; i < m_lstWorkbooks.size(); ++i) {
        WorkbookReport report = Summary().workbooks.at(size_t(i));
        report.result = WorkbookReport::Failed;
        report.message = QStringLiteral("%1: not converted: the temporary folder %2 is full.")
                             .arg(FileNameOf(report.workbookPath), folder);
        Publish(report);
    }
    return false;
}

void ConversionRun::ConvertOne(CWorkbookConversion& engine, int index)
{
    WorkbookReport report = Summary().workbooks.at(size_t(index));
    ReportStart(report);
    // A PDF the run is still writing counts as existing: wait for it, then ask.
    if (m_pPending && m_pPending->target == report.pdfPath)
        FinishPending();
    // Without a person to decide, a PDF this run made is never replaced by a
    // later workbook of the same name: both would be meant, one would be lost.
    const int maker = m_existingPdf == ExistingPdf::Ask ? -1 : MadeEarlierBy(report);
    if (maker >= 0) {
        FinishPending();
        report.result = WorkbookReport::Failed;
        report.message = ClashText().arg(report.workbookPath, report.pdfPath, m_lstWorkbooks.at(maker));
        Publish(report);
        return;
    }
    GhostscriptJob::Existing existing = GhostscriptJob::Existing::Keep;
    if (!DecideExisting(report, &existing))
        return;
    // The question may have been open for a while.
    if (!m_gate.PassSafePoint())
        return;

    engine.SetExisting(existing);
    engine.SetOptions(m_options ? m_options() : ConversionOptions());
    auto printed = std::make_unique<PrintedWorkbook>(engine.PrintWorkbook(report.workbookPath));
    FinishPending();
    // Fully printed (a stop that cut its printing short leaves it Stopped):
    // its PDF is finished even when a stop came meanwhile.
    if (printed->status == PrintedWorkbook::Printed) {
        StartGhostscript(std::move(printed), report);
        return;
    }
    // Nothing to join (or a stop came): this removes its print files and says why.
    const WorkbookOutcome outcome = engine.ConvertPrinted(*printed);
    if (printed->status == PrintedWorkbook::Cancelled && !m_gate.StopRequested()) {
        report.result = WorkbookReport::Cancelled;
        report.message = outcome.failure;
        Publish(report);
        return;
    }
    FinishWorkbook(report, outcome);
}

void ConversionRun::ReportStart(const WorkbookReport& report)
{
    std::lock_guard lock(m_mutex);
    // The workbook before it is still being joined: its start follows that result.
    if (m_nAwaited >= 0)
        m_nOwedStart = report.index;
    else if (m_pObserver)
        m_pObserver->WorkbookStarted(report.index, report.workbookPath);
}

void ConversionRun::ReportSheet(int index, int sheet, int sheetCount)
{
    std::lock_guard lock(m_mutex);
    // Its start still waits for the workbook before it: only the latest sheet
    // is kept, to follow that start.
    if (m_nOwedStart == index) {
        m_nOwedSheet = sheet;
        m_nOwedSheetCount = sheetCount;
    } else if (m_pObserver) {
        m_pObserver->SheetPrinted(index, sheet, sheetCount);
    }
}

int ConversionRun::MadeEarlierBy(const WorkbookReport& report) const
{
    std::lock_guard lock(m_mutex);
    for (int i = 0; i < report.index; ++i) {
        const WorkbookReport& earlier = m_summary.workbooks.at(size_t(i));
        const bool made = earlier.result == WorkbookReport::Converted || earlier.result == WorkbookReport::Incomplete;
        if (made && earlier.pdfPath == report.pdfPath)
            return i;
    }
    return -1;
}

void ConversionRun::SweepStaleFiles() const
{
    StaleRunFiles::SweepTemporaryFolder(QDir::tempPath());
    StaleRunFiles::SweepOutputFolder(m_strOutputFolder);
}

bool ConversionRun::DecideExisting(WorkbookReport& report, GhostscriptJob::Existing* existing)
{
    using Existing = GhostscriptJob::Existing;
    switch (PdfPublisher::Inspect(report.pdfPath)) {
    case PdfPublisher::Target::Folder:
        FinishPending();
        report.result = WorkbookReport::Failed;
        report.message = FolderText().arg(FileNameOf(report.workbookPath), report.pdfPath);
        Publish(report);
        return false;
    case PdfPublisher::Target::File:
        if (KeepExisting(report))
            return false;
        *existing = Existing::Replace;
        return true;
    case PdfPublisher::Target::Absent:
        break;
    }
    // Nothing there now; one that appears meanwhile was not agreed to be
    // replaced: the command line keeps it, the window asks.
    switch (m_existingPdf) {
    case ExistingPdf::Replace:
        *existing = Existing::Replace;
        break;
    case ExistingPdf::Ask:
        *existing = Existing::Hold;
        break;
    case ExistingPdf::Keep:
        *existing = Existing::Keep;
        break;
    }
    return true;
}

bool ConversionRun::KeepExisting(WorkbookReport& report)
{
    // The new PDF replaces the old one only once it is complete.
    if (m_existingPdf == ExistingPdf::Replace)
        return false;
    // A question, or a kept PDF to report: everything before it is reported first.
    FinishPending();
    if (m_existingPdf == ExistingPdf::Ask) {
        // A stopped run asks nothing, and nothing further is made of the workbook.
        if (!ReadyToAsk()) {
            report.result = WorkbookReport::Stopped;
            Publish(report);
            return true;
        }
        const int answer = m_pPrompts ? m_pPrompts->ShowMessageBox(ReplaceQuestion().arg(report.pdfPath), kYesNo) : 0;
        if (answer == kYes)
            return false;
    }
    report.result = WorkbookReport::Kept;
    Publish(report);
    return true;
}

bool ConversionRun::ReadyToAsk()
{
    FinishPending();
    return m_gate.PassSafePoint();
}

void ConversionRun::StartGhostscript(std::unique_ptr<PrintedWorkbook> printed, const WorkbookReport& report)
{
    auto pending = std::make_unique<Pending>();
    pending->target = report.pdfPath;
    {
        std::lock_guard lock(m_mutex);
        m_nAwaited = report.index;
    }
    // Joined under its own gate: a first stop lets it finish.
    CWorkbookConversion* finisher = m_pFinisher.get();
    Pending* slot = pending.get();
    auto job = [this, finisher, report, slot](std::unique_ptr<PrintedWorkbook> workbook) {
        // A paused run joins nothing further (a stop lets it through); a job
        // Ghostscript has had since the first sheet is only finished.
        if (!workbook->stream)
            m_gate.PassSafePoint();
        WorkbookOutcome outcome = finisher->ConvertPrinted(*workbook);
        if (!outcome.heldPdf.isEmpty())
            slot->held.emplace(report, std::move(outcome));
        else
            FinishWorkbook(report, outcome);
    };
    try {
        pending->thread = std::thread(job, std::move(printed));
    } catch (const std::system_error&) {
        // No thread to spare: join the sheets here instead.
        job(std::move(printed));
    }
    m_pPending = std::move(pending);
}

void ConversionRun::FinishPending(bool mayAsk)
{
    if (!m_pPending)
        return;
    if (m_pPending->thread.joinable())
        m_pPending->thread.join();
    const std::unique_ptr<Pending> done = std::move(m_pPending);
    if (done->held)
        ResolveHeld(done->held->first, done->held->second, mayAsk);
}

void ConversionRun::ResolveHeld(WorkbookReport report, const WorkbookOutcome& outcome, bool mayAsk)
{
    // The same question as for a PDF there before the workbook began, asked
    // only now that everything before it is reported.
    const bool go = mayAsk && m_gate.PassSafePoint();
    const bool replace =
        go && m_pPrompts && m_pPrompts->ShowMessageBox(ReplaceQuestion().arg(report.pdfPath), kYesNo) == kYes;
    QString error;
    if (replace && PdfPublisher::Publish(outcome.heldPdf, report.pdfPath, true, &error) ==
                       PdfPublisher::Result::Published) {
        report.result = WorkbookReport::Converted;
        Publish(report);
        return;
    }
    QFile::remove(outcome.heldPdf);
    if (!error.isEmpty()) {
        report.result = WorkbookReport::Failed;
        report.message = QStringLiteral("%1: not converted: %2").arg(FileNameOf(report.workbookPath), error);
    } else {
        report.result = go ? WorkbookReport::Kept : WorkbookReport::Stopped;
    }
    Publish(report);
}

void ConversionRun::FinishWorkbook(WorkbookReport report, const WorkbookOutcome& outcome)
{
    if (outcome.converted) {
        report.result = WorkbookReport::Converted;
        report.message = outcome.failure;
    } else if (outcome.incomplete) {
        report.result = WorkbookReport::Incomplete;
        report.message = outcome.failure;
    } else if (m_gate.StopRequested()) {
        report.result = WorkbookReport::Stopped;
    } else if (outcome.targetExists) {
        // It appeared while the workbook was converted, and was not to be replaced.
        report.result = WorkbookReport::Kept;
    } else {
        report.result = WorkbookReport::Failed;
        report.message = FullDiskText(report.workbookPath);
        if (report.message.isEmpty())
            report.message = outcome.failure.isEmpty()
                                 ? QStringLiteral("%1: it was not converted.").arg(FileNameOf(report.workbookPath))
                                 : outcome.failure;
    }
    Publish(report);
}

QString ConversionRun::FullDiskText(const QString& workbookPath) const
{
    const QString name = FileNameOf(workbookPath);
    const QString output = QDir::cleanPath(m_strOutputFolder);
    if (DiskSpace::Short(output, kFullBelow))
        return QStringLiteral("%1: not converted: the disk of the output folder %2 is full.").arg(name, output);
    const QString temporary = QDir::tempPath();
    if (DiskSpace::Short(temporary, kFullBelow))
        return QStringLiteral("%1: not converted: the temporary folder %2 is full.").arg(name, temporary);
    return QString();
}

void ConversionRun::Publish(const WorkbookReport& report)
{
    std::lock_guard lock(m_mutex);
    m_summary.workbooks.at(size_t(report.index)) = report;
    // The bar moves for a workbook converted or kept; a failed one leaves it.
    if (report.result == WorkbookReport::Converted || report.result == WorkbookReport::Kept)
        PublishProgress(ProgressAt(report.index));
    if (report.result == WorkbookReport::Converted)
        m_summary.pdfNames.append(FileNameOf(report.pdfPath));
    if (m_pObserver)
        m_pObserver->WorkbookFinished(report);
    if (report.index == m_nAwaited) {
        m_nAwaited = -1;
        if (m_nOwedStart >= 0 && m_pObserver) {
            m_pObserver->WorkbookStarted(m_nOwedStart, m_summary.workbooks.at(size_t(m_nOwedStart)).workbookPath);
            if (m_nOwedSheet > 0)
                m_pObserver->SheetPrinted(m_nOwedStart, m_nOwedSheet, m_nOwedSheetCount);
        }
        m_nOwedStart = -1;
        m_nOwedSheet = 0;
    }
}

// Caller holds m_mutex.
void ConversionRun::PublishProgress(int percent)
{
    if (percent == m_nProgress)
        return;
    m_nProgress = percent;
    if (m_pObserver)
        m_pObserver->ProgressChanged(percent);
}

int ConversionRun::ProgressAt(int index) const
{
    return int(100LL * (index + 1) / m_lstWorkbooks.size());
}

void ConversionRun::Finish()
{
    // The program's end: nothing is waited for, nothing asked.
    m_finishGate.RequestStop();
    FinishPending(false);
    m_runFolder.Remove();
}

ConversionRunSummary ConversionRun::Summary() const
{
    std::lock_guard lock(m_mutex);
    return m_summary;
}
