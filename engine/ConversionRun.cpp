#include "engine/ConversionRun.h"

#include "automation/OfficeSession.h"
#include "engine/ConversionPrompts.h"
#include "engine/GhostscriptStage.h"
#include "engine/WorkbookConversion.h"

#include <QFileInfo>

#include <system_error>

namespace {
constexpr int kYesNo = 4;
constexpr int kYes = 6;
constexpr int kClosed = 8;
constexpr int kCancelled = 2;

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

    {
        OrderedPrompts prompts(this, m_pPrompts);
        CWorkbookConversion engine(&prompts, m_strOutputFolder, m_runFolder.Path(), &m_gate);
        if (!m_strQueueName.isEmpty())
            engine.SetQueueName(m_strQueueName);
        for (int i = 0; i < m_lstWorkbooks.size(); ++i) {
            if (!m_gate.PassSafePoint())
                break;
            ConvertOne(engine, i);
        }
        FinishPending();
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

void ConversionRun::ConvertOne(CWorkbookConversion& engine, int index)
{
    WorkbookReport report = Summary().workbooks.at(size_t(index));
    {
        std::lock_guard lock(m_mutex);
        if (m_pObserver)
            m_pObserver->WorkbookStarted(index, report.workbookPath);
    }
    // A PDF the run is still writing counts as existing: wait for it, then ask.
    if (m_pPending && m_pPending->target == report.pdfPath)
        FinishPending();
    if (QFileInfo::exists(report.pdfPath) && KeepExisting(report))
        return;
    // The question may have been open for a while.
    if (!m_gate.PassSafePoint())
        return;

    engine.SetOptions(m_options ? m_options() : ConversionOptions());
    auto printed = std::make_unique<PrintedWorkbook>(engine.PrintWorkbook(report.workbookPath));
    FinishPending();
    if (printed->status == PrintedWorkbook::Printed && !m_gate.StopRequested()) {
        StartGhostscript(engine, std::move(printed), report);
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

void ConversionRun::StartGhostscript(const CWorkbookConversion& engine, std::unique_ptr<PrintedWorkbook> printed,
                                     const WorkbookReport& report)
{
    auto pending = std::make_unique<Pending>();
    pending->target = report.pdfPath;
    auto job = [this, &engine, report](std::unique_ptr<PrintedWorkbook> workbook) {
        FinishWorkbook(report, engine.ConvertPrinted(*workbook));
    };
    try {
        pending->thread = std::thread(job, std::move(printed));
    } catch (const std::system_error&) {
        // No thread to spare: join the sheets here instead.
        job(std::move(printed));
        return;
    }
    m_pPending = std::move(pending);
}

void ConversionRun::FinishPending()
{
    if (!m_pPending)
        return;
    if (m_pPending->thread.joinable())
        m_pPending->thread.join();
    m_pPending.reset();
}

void ConversionRun::FinishWorkbook(WorkbookReport report, const WorkbookOutcome& outcome)
{
    if (outcome.converted) {
        report.result = WorkbookReport::Converted;
        report.message = outcome.failure;
    } else if (m_gate.StopRequested()) {
        report.result = WorkbookReport::Stopped;
    } else {
        report.result = WorkbookReport::Failed;
        report.message = outcome.failure.isEmpty()
                             ? QStringLiteral("%1: it was not converted.").arg(FileNameOf(report.workbookPath))
                             : outcome.failure;
    }
    Publish(report);
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
    FinishPending();
    m_runFolder.Remove();
}

ConversionRunSummary ConversionRun::Summary() const
{
    std::lock_guard lock(m_mutex);
    return m_summary;
}
