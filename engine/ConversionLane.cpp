#include "engine/ConversionLane.h"

#include "automation/OfficeSession.h"
#include "engine/ConversionPrompts.h"
#include "engine/ConversionRun.h"
#include "engine/GhostscriptServer.h"
#include "engine/PageRangeShare.h"
#include "engine/PdfPublisher.h"
#include "engine/WorkbookConversion.h"

#include <QFile>

#include <optional>
#include <system_error>
#include <utility>

namespace {
constexpr int kYesNo = 4;
constexpr int kYes = 6;
constexpr int kClosed = 8;
constexpr int kCancelled = 2;
} // namespace

// The questions of the workbook engine, asked only once everything before the
// workbook in question has been reported, and only through the stop gate: a
// paused run holds its question until it is resumed, a stopped one asks nothing
// (a box counts as closed, a password prompt as cancelled).
class ConversionLane::OrderedPrompts : public ConversionPrompts {
public:
    OrderedPrompts(ConversionLane* lane, ConversionPrompts* prompts) : m_pLane(lane), m_pPrompts(prompts) {}

    int ShowMessageBox(const QString& text, int type) override
    {
        if (!m_pLane->ReadyToAsk(m_pLane->m_nCurrent) || !m_pPrompts)
            return kClosed;
        return m_pPrompts->ShowMessageBox(text, type);
    }
    void ShowPlainMessage(const QString& text) override
    {
        // A message that holds for the whole run (no printer queue) is shown once, whichever lane finds it.
        if (m_pLane->ReadyToAsk(m_pLane->m_nCurrent) && m_pPrompts && m_pLane->m_run.FirstShowing(text))
            m_pPrompts->ShowPlainMessage(text);
    }
    int AskWorkbookPassword(const QString& fileName, QString* password) override
    {
        if (!m_pLane->ReadyToAsk(m_pLane->m_nCurrent) || !m_pPrompts) {
            password->clear();
            return kCancelled;
        }
        return m_pPrompts->AskWorkbookPassword(fileName, password);
    }

private:
    ConversionLane* m_pLane;
    ConversionPrompts* m_pPrompts;
};

// The workbook whose sheets Ghostscript is joining on its own thread.
struct ConversionLane::Pending {
    int index = -1;
    QString target;
    std::thread thread;
    // Set when a PDF appeared at its place meanwhile: the complete new PDF
    // waits for the replace question, asked on the lane's thread.
    std::optional<std::pair<WorkbookReport, WorkbookOutcome>> held;
};

ConversionLane::ConversionLane(ConversionRun& run, const QString& folder, OfficeSession* session)
    : m_run(run), m_strFolder(folder), m_pSession(session)
{
}

ConversionLane::~ConversionLane()
{
    FinishPending(false);
}

void ConversionLane::Work()
{
    // An office of the lane's own serves this thread only; a stop ends it at once.
    std::unique_ptr<OfficeSession> ownSession;
    if (!m_pSession) {
        OfficeOptions office;
        office.stopGate = &m_run.m_gate;
        ownSession = std::make_unique<OfficeSession>(office, OfficeSession::Scope::Thread);
        m_pSession = ownSession.get();
    }
    OrderedPrompts prompts(this, m_run.m_pPrompts);
    CWorkbookConversion engine(&prompts, m_run.m_strOutputFolder, m_strFolder, &m_run.m_gate);
    m_pFinisher = std::make_unique<CWorkbookConversion>(nullptr, m_run.m_strOutputFolder, m_strFolder,
                                                        &m_run.m_finishGate);
    // One Ghostscript joins the sheets of every workbook of the lane.
    GhostscriptServer ghostscript(m_strFolder, m_run.m_strOutputFolder);
    m_pFinisher->SetGhostscriptServer(&ghostscript);
    // A workbook's print files go to Ghostscript as each is printed; its job
    // begins only once the lane's workbook before it is joined.
    engine.SetGhostscriptServer(&ghostscript);
    // Ghostscript grows over a long run as the office does: it starts afresh
    // with the office, once the workbook before has been joined.
    engine.SetBeforeStreaming([this, &ghostscript] {
        FinishPending();
        if (std::exchange(m_bFreshGhostscript, false))
            ghostscript.End();
    });
    if (!m_run.m_strQueueName.isEmpty())
        engine.SetQueueName(m_run.m_strQueueName);
    if (m_run.m_nChunkPages >= 0)
        engine.SetChunkPages(m_run.m_nChunkPages);
    engine.SetSheetCallback([this](int sheet, int count) { m_run.ReportSheet(m_nCurrent, sheet, count); });
    if (m_run.m_nLanes > 1 && m_run.m_bShareSheets)
        engine.SetRangeSharing([this](const std::shared_ptr<PageRangeShare>& share) { m_run.m_sheets.Offer(share); });
    // A long sheet another lane shares comes first: its workbook is reported before any later one.
    std::weak_ptr<PageRangeShare> helped;
    while (m_run.m_gate.PassSafePoint()) {
        if (const std::shared_ptr<PageRangeShare> share = m_run.m_sheets.ToHelp(helped)) {
            helped = share;
            m_run.m_sheets.CountHelped(engine.HelpPrint(*share));
            continue;
        }
        m_nCurrent = m_run.NextWorkbook();
        if (m_nCurrent >= 0) {
            ConvertWorkbook(engine);
            continue;
        }
        if (!m_run.m_sheets.AwaitShare(m_run.m_gate, helped))
            break;
    }
    FinishPending();
    m_pFinisher.reset();
    m_pSession = nullptr;
}

void ConversionLane::ConvertWorkbook(CWorkbookConversion& engine)
{
    ConvertOne(engine, m_nCurrent);
    m_run.m_sheets.EndPrinting();
    // Whatever ended the workbook without a report (a stop) lets later ones be reported.
    if (!m_pPending || m_pPending->index != m_nCurrent)
        m_run.Settle(m_nCurrent);
    m_pSession->CountWorkbook();
    if (m_pSession->RecycleIfWorn(m_run.m_nRecycleWorkbooks, m_run.m_nRecycleBytes))
        m_bFreshGhostscript = true;
}

void ConversionLane::ConvertOne(CWorkbookConversion& engine, int index)
{
    WorkbookReport report = m_run.Summary().workbooks.at(size_t(index));
    m_run.ReportStart(report);
    // A workbook of the same PDF name earlier in the list is decided on first
    // (its PDF counts as existing), whichever lane has it.
    if (m_run.SharesPdfWithEarlier(index)) {
        FinishPending();
        m_run.WaitTurn(index);
    }
    // Without a person to decide, a PDF this run made is never replaced by a
    // later workbook of the same name: both would be meant, one would be lost.
    const int maker = m_run.m_existingPdf == ConversionRun::ExistingPdf::Ask ? -1 : m_run.MadeEarlierBy(report);
    if (maker >= 0) {
        report.result = WorkbookReport::Failed;
        report.message = ConversionRun::ClashText().arg(report.workbookPath, report.pdfPath,
                                                        m_run.m_lstWorkbooks.at(maker));
        m_run.Publish(report);
        return;
    }
    GhostscriptJob::Existing existing = GhostscriptJob::Existing::Keep;
    if (!DecideExisting(report, &existing))
        return;
    // The question may have been open for a while.
    if (!m_run.m_gate.PassSafePoint())
        return;

    engine.SetExisting(existing);
    engine.SetOptions(m_run.m_options ? m_run.m_options() : ConversionOptions());
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
    if (printed->status == PrintedWorkbook::Cancelled && !m_run.m_gate.StopRequested()) {
        report.result = WorkbookReport::Cancelled;
        report.message = outcome.failure;
        m_run.Publish(report);
        return;
    }
    FinishWorkbook(report, outcome);
}

bool ConversionLane::DecideExisting(WorkbookReport& report, GhostscriptJob::Existing* existing)
{
    using Existing = GhostscriptJob::Existing;
    switch (PdfPublisher::Inspect(report.pdfPath)) {
    case PdfPublisher::Target::Folder:
        report.result = WorkbookReport::Failed;
        report.message = ConversionRun::FolderText().arg(ConversionRun::FileNameOf(report.workbookPath), report.pdfPath);
        m_run.Publish(report);
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
    switch (m_run.m_existingPdf) {
    case ConversionRun::ExistingPdf::Replace:
        *existing = Existing::Replace;
        break;
    case ConversionRun::ExistingPdf::Ask:
        *existing = Existing::Hold;
        break;
    case ConversionRun::ExistingPdf::Keep:
        *existing = Existing::Keep;
        break;
    }
    return true;
}

bool ConversionLane::KeepExisting(WorkbookReport& report)
{
    // The new PDF replaces the old one only once it is complete.
    if (m_run.m_existingPdf == ConversionRun::ExistingPdf::Replace)
        return false;
    if (m_run.m_existingPdf == ConversionRun::ExistingPdf::Ask) {
        // A stopped run asks nothing, and nothing further is made of the workbook.
        if (!ReadyToAsk(report.index)) {
            report.result = WorkbookReport::Stopped;
            m_run.Publish(report);
            return true;
        }
        ConversionPrompts* prompts = m_run.m_pPrompts;
        const int answer =
            prompts ? prompts->ShowMessageBox(ConversionRun::ReplaceQuestion().arg(report.pdfPath), kYesNo) : 0;
        if (answer == kYes)
            return false;
    }
    report.result = WorkbookReport::Kept;
    m_run.Publish(report);
    return true;
}

bool ConversionLane::ReadyToAsk(int index)
{
    FinishPending();
    m_run.WaitTurn(index);
    return m_run.m_gate.PassSafePoint();
}

void ConversionLane::StartGhostscript(std::unique_ptr<PrintedWorkbook> printed, const WorkbookReport& report)
{
    auto pending = std::make_unique<Pending>();
    pending->index = report.index;
    pending->target = report.pdfPath;
    // Joined under the run's finish gate: a first stop lets it finish.
    CWorkbookConversion* finisher = m_pFinisher.get();
    Pending* slot = pending.get();
    auto job = [this, finisher, report, slot](std::unique_ptr<PrintedWorkbook> workbook) {
        // A paused run joins nothing further (a stop lets it through); a job
        // Ghostscript has had since the first sheet is only finished.
        if (!workbook->stream)
            m_run.m_gate.PassSafePoint();
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

void ConversionLane::FinishPending(bool mayAsk)
{
    if (!m_pPending)
        return;
    if (m_pPending->thread.joinable())
        m_pPending->thread.join();
    const std::unique_ptr<Pending> done = std::move(m_pPending);
    if (done->held)
        ResolveHeld(done->held->first, done->held->second, mayAsk);
}

void ConversionLane::ResolveHeld(WorkbookReport report, const WorkbookOutcome& outcome, bool mayAsk)
{
    // The same question as for a PDF there before the workbook began, asked
    // only once everything before it is reported.
    if (mayAsk)
        m_run.WaitTurn(report.index);
    const bool go = mayAsk && m_run.m_gate.PassSafePoint();
    ConversionPrompts* prompts = m_run.m_pPrompts;
    const bool replace =
        go && prompts && prompts->ShowMessageBox(ConversionRun::ReplaceQuestion().arg(report.pdfPath), kYesNo) == kYes;
    QString error;
    if (replace && PdfPublisher::Publish(outcome.heldPdf, report.pdfPath, true, &error) ==
                       PdfPublisher::Result::Published) {
        report.result = WorkbookReport::Converted;
        report.pages = outcome.pages;
        report.sheets = outcome.sheets;
        m_run.Publish(report);
        return;
    }
    QFile::remove(outcome.heldPdf);
    if (!error.isEmpty()) {
        report.result = WorkbookReport::Failed;
        report.message = QStringLiteral("%1: not converted: %2").arg(ConversionRun::FileNameOf(report.workbookPath), error);
    } else {
        report.result = go ? WorkbookReport::Kept : WorkbookReport::Stopped;
    }
    m_run.Publish(report);
}

void ConversionLane::FinishWorkbook(WorkbookReport report, const WorkbookOutcome& outcome)
{
    if (outcome.converted || outcome.incomplete) {
        report.pages = outcome.pages;
        report.sheets = outcome.sheets;
    }
    if (outcome.converted) {
        report.result = WorkbookReport::Converted;
        report.message = outcome.failure;
    } else if (outcome.incomplete) {
        report.result = WorkbookReport::Incomplete;
        report.message = outcome.failure;
    } else if (m_run.m_gate.StopRequested()) {
        report.result = WorkbookReport::Stopped;
    } else if (outcome.targetExists) {
        // It appeared while the workbook was converted, and was not to be replaced.
        report.result = WorkbookReport::Kept;
    } else {
        report.result = WorkbookReport::Failed;
        report.message = m_run.FullDiskText(report.workbookPath);
        if (report.message.isEmpty())
            report.message = outcome.failure.isEmpty()
                                 ? QStringLiteral("%1: it was not converted.").arg(ConversionRun::FileNameOf(report.workbookPath))
                                 : outcome.failure;
    }
    m_run.Publish(report);
}
