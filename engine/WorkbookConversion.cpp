#include "engine/WorkbookConversion.h"

#include "automation/Dispatch.h"
#include "engine/ConversionPrompts.h"
#include "engine/ExcelDispatch.h"
#include "engine/GhostscriptStage.h"
#include "engine/GhostscriptStream.h"
#include "engine/PdfObjects.h"
#include "engine/PageChunks.h"
#include "engine/PageRangeShare.h"
#include "engine/PrintFile.h"
#include "platform/PrinterQueue.h"
#include "platform/StopGate.h"

#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>

#include <utility>

namespace {
const QString kProgId = QStringLiteral("Excel.Application");
const QString kNoExcel = QStringLiteral("Couldn't get Excel object.");

// The part of a path after its last separator.
QString FileNameOf(const QString& path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString OneLine(QString text)
{
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text.simplified();
}

// The message of the exception being handled.
QString CurrentError()
{
    try {
        throw;
    } catch (const DispatchException& e) {
        return OneLine(e.Message());
    } catch (const std::exception& e) {
        return OneLine(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        return QStringLiteral("unknown error");
    }
}
} // namespace

// The automation objects of one attempt, released together.
struct CWorkbookConversion::Application {
    CDispatchDriver app;
    CDispatchDriver workbooks;
    CDispatchDriver workbook;
    CDispatchDriver sheets;
    CDispatchDriver sheet;
};

QString CWorkbookConversion::PasswordPlaceholder()
{
    return QStringLiteral("1");
}

CWorkbookConversion::CWorkbookConversion(ConversionPrompts* prompts, const QString& outputFolder,
                                         const QString& runFolder, StopGate* gate)
    : m_strOutputFolder(outputFolder),
      m_strRunFolder(runFolder),
      m_pPrompts(prompts),
      m_pGate(gate),
      m_strQueueName(QString::fromLatin1(CPrinterQueue::kQueueName)),
      m_strWorkbookPassword(PasswordPlaceholder())
{
}

bool CWorkbookConversion::ConvertWorkbook(const QString& path)
{
    RecordOutcome(ConvertPrinted(PrintWorkbook(path)));
    return m_bWorkbookDone == 1;
}

PrintedWorkbook CWorkbookConversion::PrintWorkbook(const QString& path)
{
    PrintedWorkbook job;
    job.workbookPath = path;
    job.options = m_options;
    job.outputFolder = m_strOutputFolder;
    job.existing = std::exchange(m_existing, GhostscriptJob::Existing::Keep);
    if (!PassSafePoint()) {
        job.status = PrintedWorkbook::Stopped;
        return job;
    }
    if (!QueueReady(&job.failure))
        return job;
    job.printFolder = NewPrintFolder();
    if (job.printFolder.isEmpty()) {
        job.failure = QStringLiteral("no folder for its print files could be made in \"%1\".").arg(m_strRunFolder);
        return job;
    }
    // An open refused for its password asks for the password and tries again
    // with it, until the workbook opens or the prompt is cancelled; a typed
    // password serves this workbook only. Any other failure to open asks nothing.
    for (;;) {
        bool refused = false;
        PrintAttempt(job, &refused);
        if (!refused)
            break;
        // A stop during a long open is no refusal: nothing is asked.
        if (StopRequested()) {
            job.status = PrintedWorkbook::Stopped;
            break;
        }
        QString typed;
        if (!m_pPrompts || m_pPrompts->AskWorkbookPassword(FileNameOf(path), &typed) != 1) {
            job.status = PrintedWorkbook::Cancelled;
            job.failure = QStringLiteral("it could not be opened, and the password prompt was cancelled.");
            break;
        }
        if (StopRequested()) {
            job.status = PrintedWorkbook::Stopped;
            break;
        }
        m_strWorkbookPassword = typed.isEmpty() ? PasswordPlaceholder() : typed;
    }
    m_strWorkbookPassword = PasswordPlaceholder();
    return job;
}

bool CWorkbookConversion::QueueReady(QString* failure)
{
    QString message;
    if (CPrinterQueue::Check(m_strQueueName, &message) == CPrinterQueue::Ready)
        return true;
    if (!m_bQueueReported && m_pPrompts)
        m_pPrompts->ShowPlainMessage(message);
    m_bQueueReported = true;
    *failure = OneLine(message);
    return false;
}

QString CWorkbookConversion::NewPrintFolder()
{
    if (m_strRunFolder.isEmpty())
        return {};
    const QString folder = QDir(m_strRunFolder).filePath(QStringLiteral("book%1").arg(++m_nPrintFolders));
    // Only what this workbook prints may reach its Ghostscript stage.
    QDir(folder).removeRecursively();
    return QDir().mkpath(folder) ? folder : QString();
}

void CWorkbookConversion::PrintAttempt(PrintedWorkbook& job, bool* refused)
{
    job.status = PrintedWorkbook::Failed;
    GiveUpStream(job);
    job.printFiles.clear();
    job.failure.clear();
    job.sheetCount = 0;
    job.missingFrom = 0;
    m_nSheetCount = 0;

    Application excel;
    excel.app.AttachDispatch(DispatchRegistry::Create(kProgId));
    if (!excel.app.IsAttached()) {
        if (m_pPrompts)
            m_pPrompts->ShowPlainMessage(kNoExcel);
        job.failure = kNoExcel;
        return;
    }
    try {
        excel.app.SetProperty(ExcelDispid::Visible, Variant::Bool(false));
        excel.workbooks.AttachDispatch(excel.app.GetObjectProperty(ExcelDispid::Workbooks));
    } catch (...) {
        job.failure = QStringLiteral("the spreadsheet application failed: %1").arg(CurrentError());
        CloseAndQuit(excel);
        return;
    }
    switch (OpenWorkbook(excel, job)) {
    case Opened:
        PrintSheets(excel, job);
        break;
    case PasswordNeeded:
        *refused = true;
        break;
    case NotOpened:
        if (StopRequested())
            job.status = PrintedWorkbook::Stopped;
        break;
    }
    CloseAndQuit(excel);
}

CWorkbookConversion::OpenResult CWorkbookConversion::OpenWorkbook(Application& excel, PrintedWorkbook& job)
{
    try {
        Variant workbook =
            excel.workbooks.InvokeHelper(ExcelDispid::Open, DISPATCH_METHOD, OpenArguments(job.workbookPath));
        // An application that hands back nothing without saying why refused the password.
        if (workbook.vt != VT_DISPATCH || !workbook.pdispVal)
            return PasswordNeeded;
        excel.workbook.AttachDispatch(workbook.pdispVal);
        return Opened;
    } catch (const DispatchException& e) {
        if (e.Code() == ExcelError::PasswordRequired)
            return PasswordNeeded;
        job.failure = OpenFailure(job.workbookPath, e);
    } catch (...) {
        job.failure = QStringLiteral("opening it failed: %1").arg(CurrentError());
    }
    return NotOpened;
}

QString CWorkbookConversion::OpenFailure(const QString& path, const DispatchException& e)
{
    // E_FAIL: the application itself failed (it hung, or ended); its own words say how.
    if (e.Code() == E_FAIL)
        return QStringLiteral("opening it failed: %1").arg(OneLine(e.Message()));
    if (!QFileInfo(path).isFile())
        return QStringLiteral("it could not be found.");
    return QStringLiteral("it could not be opened: it is damaged or is not a workbook.");
}

void CWorkbookConversion::PrintSheets(Application& excel, PrintedWorkbook& job)
{
    int index = 0;
    qsizetype sheetFiles = 0; // the current sheet's first print file
    try {
        excel.sheets.AttachDispatch(excel.workbook.GetObjectProperty(ExcelDispid::Sheets));
        job.sheetCount = m_nSheetCount = excel.sheets.GetProperty(ExcelDispid::Count).ToInt();
        for (index = 1; index <= job.sheetCount; ++index) {
            if (!PassSafePoint()) {
                job.status = PrintedWorkbook::Stopped;
                return;
            }
            // A sheet cut short by a stop: the workbook is not fully printed.
            sheetFiles = job.printFiles.size();
            if (!PrintSheet(excel, job, index)) {
                job.status = PrintedWorkbook::Stopped;
                return;
            }
            if (m_sheetCallback)
                m_sheetCallback(index, job.sheetCount);
        }
    } catch (...) {
        // A stop ends the office in the middle of a call: that is no failure of the workbook.
        if (StopRequested()) {
            job.status = PrintedWorkbook::Stopped;
            return;
        }
        job.failure = index == 0
                          ? QStringLiteral("its sheets could not be read: %1").arg(CurrentError())
                          : QStringLiteral("printing sheet %1 of %2 failed: %3")
                                .arg(index)
                                .arg(job.sheetCount)
                                .arg(CurrentError());
        // A PDF holds whole sheets only: the ranges the failed sheet printed go.
        if (index > 0) {
            DropPrintFiles(job, sheetFiles);
            job.missingFrom = index;
        }
    }
    if (job.printFiles.isEmpty() && job.failure.isEmpty() && job.sheetCount > 0)
        AddBlankPage(job);
    if (!job.printFiles.isEmpty())
        job.status = PrintedWorkbook::Printed;
    else if (job.failure.isEmpty())
        job.failure = QStringLiteral("it has no sheets.");
}

void CWorkbookConversion::AddBlankPage(PrintedWorkbook& job)
{
    // Nothing on any sheet: the PDF is one blank page, as the spreadsheet's own
    // export makes it, and the workbook counts as converted.
    const QString file = PrintFilePath(job.printFolder, 0);
    if (!CPrintFile::WriteBlankPage(file)) {
        job.failure = QStringLiteral("none of its sheets has anything to print, and no blank page could be made.");
        return;
    }
    job.printFiles.append(file);
    job.note = QStringLiteral("none of its sheets has anything to print; its PDF is one blank page.");
}

bool CWorkbookConversion::IsHidden(const Variant& visible)
{
    // xlSheetVisible (-1) or a true VT_BOOL shows the sheet; an application
    // that does not say shows it too.
    switch (visible.vt) {
    case VT_EMPTY:
        return false;
    case VT_BOOL:
        return visible.ToInt() == 0;
    default:
        return visible.ToInt() != -1;
    }
}

bool CWorkbookConversion::AttachSheet(Application& excel, int index, bool fitWidth)
{
    excel.sheet.AttachDispatch(
        excel.sheets.GetObjectProperty(ExcelDispid::Item, {Variant::Short(static_cast<int16_t>(index))}));
    // A sheet the user hid is left out, as the spreadsheet's own PDF export leaves it out.
    if (IsHidden(excel.sheet.GetProperty(ExcelDispid::Visible)))
        return false;
    if (fitWidth) {
        // For this print only: the workbook is closed without saving.
        CDispatchDriver setup(excel.sheet.GetObjectProperty(ExcelDispid::PageSetup));
        setup.SetProperty(ExcelDispid::FitToPagesWide, Variant::Long(1));
        setup.SetProperty(ExcelDispid::FitToPagesTall, Variant::Bool(false));
    }
    excel.sheet.InvokeHelper(ExcelDispid::Activate, DISPATCH_METHOD);
    return true;
}

bool CWorkbookConversion::PrintSheet(Application& excel, PrintedWorkbook& job, int index)
{
    if (!AttachSheet(excel, index, m_options.m_bFitWidth))
        return true;
    m_strSheetTitle = SheetName(excel);
    const std::vector<CPageChunks::Range> ranges = CPageChunks::Plan(PagesToSplit(excel), m_nChunkPages);
    if (ranges.size() < 2)
        return PrintPart(excel, job, PrintFilePath(job.printFolder, index), std::nullopt);
    if (m_shareRanges && ranges.size() >= size_t(kSharedRanges))
        return PrintShared(excel, job, index, ranges);
    for (size_t part = 0; part < ranges.size(); ++part) {
        if (!PassSafePoint() ||
            !PrintPart(excel, job, PrintFilePath(job.printFolder, index, int(part) + 1),
                       std::make_pair(ranges[part].from, ranges[part].to)))
            return false;
    }
    return true;
}

bool CWorkbookConversion::PrintShared(Application& excel, PrintedWorkbook& job, int index,
                                      const std::vector<CPageChunks::Range>& ranges)
{
    QStringList files;
    for (size_t part = 0; part < ranges.size(); ++part)
        files << PrintFilePath(job.printFolder, index, int(part) + 1);
    auto share = std::make_shared<PageRangeShare>(job.workbookPath, m_strWorkbookPassword, index, ranges, files);
    share->SetFitWidth(m_options.m_bFitWidth);
    int handed = 0;
    // However this ends, no helper prints into the workbook's folder after it,
    // and what helpers printed that was not handed on goes.
    const auto closeShare = qScopeGuard([&] {
        share->Close();
        for (int part = handed; part < share->Parts(); ++part)
            QFile::remove(share->FileOf(part));
    });
    m_shareRanges(share);
    while (handed < share->Parts()) {
        if (!PassSafePoint())
            return false;
        const int part = share->Take();
        if (part >= 0) {
            PartResult result = PartResult::Stopped;
            try {
                const CPageChunks::Range range = share->RangeOf(part);
                result = PrintInto(excel, share->FileOf(part), std::make_pair(range.from, range.to));
            } catch (...) {
                share->GiveBack(part);
                throw;
            }
            if (result == PartResult::Stopped) {
                share->GiveBack(part);
                return false;
            }
            share->Done(part, result == PartResult::Nothing);
        } else if (share->Await(handed, m_pGate) == PageRangeShare::State::Taken) {
            return false; // a stop
        }
        handed = HandOverDone(job, *share, handed);
    }
    return true;
}

int CWorkbookConversion::HandOverDone(PrintedWorkbook& job, const PageRangeShare& share, int handed)
{
    for (; handed < share.Parts(); ++handed) {
        const PageRangeShare::State state = share.StateOf(handed);
        if (state == PageRangeShare::State::Printed) {
            AddPrintFile(job, share.FileOf(handed));
        } else if (state != PageRangeShare::State::Empty) {
            break;
        }
    }
    return handed;
}

int CWorkbookConversion::HelpPrint(PageRangeShare& share)
{
    if (!PassSafePoint())
        return 0;
    int printed = 0;
    Application excel;
    excel.app.AttachDispatch(DispatchRegistry::Create(kProgId));
    PrintedWorkbook job;
    job.workbookPath = share.WorkbookPath();
    m_strWorkbookPassword = share.Password();
    try {
        excel.app.SetProperty(ExcelDispid::Visible, Variant::Bool(false));
        excel.workbooks.AttachDispatch(excel.app.GetObjectProperty(ExcelDispid::Workbooks));
        if (OpenWorkbook(excel, job) == Opened) {
            excel.sheets.AttachDispatch(excel.workbook.GetObjectProperty(ExcelDispid::Sheets));
            if (AttachSheet(excel, share.Sheet(), share.FitWidth()))
                printed = HelpWithRanges(excel, share);
        }
    } catch (...) {
        // The owner prints what this lane could not.
    }
    m_strWorkbookPassword = PasswordPlaceholder();
    CloseAndQuit(excel);
    return printed;
}

int CWorkbookConversion::HelpWithRanges(Application& excel, PageRangeShare& share)
{
    int printed = 0;
    for (int part = share.Take(); part >= 0; part = share.Take()) {
        PartResult result = PartResult::Stopped;
        try {
            const CPageChunks::Range range = share.RangeOf(part);
            result = PrintInto(excel, share.FileOf(part), std::make_pair(range.from, range.to));
        } catch (...) {
        }
        if (result == PartResult::Stopped) {
            share.GiveBack(part);
            break;
        }
        share.Done(part, result == PartResult::Nothing);
        ++printed;
        if (!PassSafePoint())
            break;
    }
    return printed;
}

QString CWorkbookConversion::SheetName(Application& excel)
{
    // An application that does not name its sheets gives them no outline entry.
    try {
        return excel.sheet.GetProperty(ExcelDispid::Name).bstrVal;
    } catch (const DispatchException&) {
        return QString();
    }
}

int CWorkbookConversion::PagesToSplit(Application& excel) const
{
    if (m_nChunkPages <= 0)
        return 0;
    // An application that cannot count the pages prints the sheet in one piece.
    try {
        CDispatchDriver setup(excel.sheet.GetObjectProperty(ExcelDispid::PageSetup));
        CDispatchDriver pages(setup.GetObjectProperty(ExcelDispid::Pages));
        return pages.GetProperty(ExcelDispid::Count).ToInt();
    } catch (const DispatchException&) {
        return 0;
    }
}

bool CWorkbookConversion::PrintPart(Application& excel, PrintedWorkbook& job, const QString& file,
                                    std::optional<std::pair<int, int>> pages)
{
    switch (PrintInto(excel, file, pages)) {
    case PartResult::Printed:
        AddPrintFile(job, file);
        return true;
    case PartResult::Nothing:
        return true;
    case PartResult::Stopped:
        return false;
    }
    return true;
}

CWorkbookConversion::PartResult CWorkbookConversion::PrintInto(Application& excel, const QString& file,
                                                               std::optional<std::pair<int, int>> pages)
{
    excel.sheet.InvokeHelper(ExcelDispid::PrintOut, DISPATCH_METHOD, PrintOutArguments(file, pages));
    switch (CPrintFile::WaitComplete(file, m_pGate)) {
    case CPrintFile::Complete:
        return PartResult::Printed;
    case CPrintFile::Nothing:
        // A sheet with nothing to print adds no page.
        QFile::remove(file);
        return PartResult::Nothing;
    case CPrintFile::Incomplete:
        QFile::remove(file);
        if (StopRequested())
            return PartResult::Stopped;
        throw DispatchException(E_FAIL, QStringLiteral("the print file was not completed."));
    }
    return PartResult::Printed;
}

void CWorkbookConversion::AddPrintFile(PrintedWorkbook& job, const QString& file)
{
    job.printFiles.append(file);
    if (!m_strSheetTitle.isEmpty())
        job.sheetTitles.insert(file, std::exchange(m_strSheetTitle, QString()));
    HandOver(job, file);
}

void CWorkbookConversion::HandOver(PrintedWorkbook& job, const QString& file)
{
    if (job.stream) {
        if (!job.stream->Add(file, job.options.m_bBookmarks ? job.sheetTitles.value(file) : QString()))
            GiveUpStream(job); // all its files are joined anew at the end
        return;
    }
    // A job begins with the first print file; once given up, it is not begun again.
    if (job.printFiles.size() != 1)
        return;
    if (m_beforeStreaming)
        m_beforeStreaming();
    job.stream = std::make_shared<CGhostscriptStream>(GhostscriptJobOf(job), m_pGhostscript);
    if (!job.stream->Begin(m_pGate).ok)
        GiveUpStream(job);
}

GhostscriptJob CWorkbookConversion::GhostscriptJobOf(const PrintedWorkbook& printed)
{
    GhostscriptJob job;
    job.options = printed.options;
    job.workbookPath = printed.workbookPath;
    job.outputFolder = printed.outputFolder;
    job.inputFiles = printed.printFiles;
    if (printed.options.m_bBookmarks)
        job.bookmarks = printed.sheetTitles;
    job.runFolder = printed.printFolder; // its pdfmarks stay beside its own print files
    job.existing = printed.existing;
    return job;
}

void CWorkbookConversion::GiveUpStream(PrintedWorkbook& job)
{
    if (job.stream)
        job.stream->Abandon();
    job.stream.reset();
}

void CWorkbookConversion::DropPrintFiles(PrintedWorkbook& job, qsizetype from)
{
    if (from >= job.printFiles.size())
        return;
    // Ghostscript has had them: its job is given up and the rest joined anew.
    GiveUpStream(job);
    while (job.printFiles.size() > from) {
        job.sheetTitles.remove(job.printFiles.last());
        QFile::remove(job.printFiles.takeLast());
    }
}

void CWorkbookConversion::CloseAndQuit(Application& excel)
{
    // Each call on its own: a failed close must not keep the application running.
    try {
        excel.workbook.InvokeHelper(ExcelDispid::Close, DISPATCH_METHOD,
                                    {Variant::Short(0), Variant::Short(0), Variant::Short(0)});
    } catch (...) {
    }
    try {
        excel.app.InvokeHelper(ExcelDispid::Quit, DISPATCH_METHOD);
    } catch (...) {
    }
    excel.sheet.ReleaseDispatch();
    excel.sheets.ReleaseDispatch();
    excel.workbook.ReleaseDispatch();
    excel.workbooks.ReleaseDispatch();
    excel.app.ReleaseDispatch();
}

WorkbookOutcome CWorkbookConversion::ConvertPrinted(const PrintedWorkbook& printed) const
{
    WorkbookOutcome outcome;
    if (printed.status == PrintedWorkbook::Printed && !printed.printFiles.isEmpty()) {
        if (PassSafePoint()) {
            GhostscriptJob job = GhostscriptJobOf(printed);
            // A workbook that lost sheets never replaces a PDF (nor holds one for the question).
            if (printed.missingFrom > 0)
                job.existing = GhostscriptJob::Existing::Keep;
            GhostscriptResult result;
            if (printed.stream && printed.stream->Begun()) {
                printed.stream->SetExisting(job.existing);
                result = printed.stream->Finish(m_pGate);
            } else {
                result = ConvertWithGhostscript(job, m_pGate, m_pGhostscript);
            }
            if (printed.missingFrom > 0)
                outcome = Incomplete(printed, result);
            else if (result.ok || result.targetExists)
                outcome = Whole(printed, result);
            else if (!StopRequested())
                outcome.failure = FailureLine(printed.workbookPath, OneLine(result.message));
            if (result.ok || result.targetExists)
                CountPages(printed, &outcome);
        }
    } else if (printed.status != PrintedWorkbook::Stopped) {
        outcome.failure = FailureLine(printed.workbookPath, printed.failure);
    }
    // A job not finished above yields no PDF.
    if (printed.stream)
        printed.stream->Abandon();
    if (!printed.printFolder.isEmpty())
        QDir(printed.printFolder).removeRecursively();
    return outcome;
}

void CWorkbookConversion::CountPages(const PrintedWorkbook& printed, WorkbookOutcome* outcome)
{
    for (const QString& file : printed.printFiles) {
        QFile pdf(file);
        if (printed.sheetTitles.contains(file))
            outcome->sheets.append({printed.sheetTitles.value(file), outcome->pages + 1});
        if (pdf.open(QIODevice::ReadOnly))
            outcome->pages += PdfObjects::CountPages(pdf.readAll());
    }
}

WorkbookOutcome CWorkbookConversion::Whole(const PrintedWorkbook& printed, const GhostscriptResult& result)
{
    WorkbookOutcome outcome;
    outcome.pdfPath = result.pdfPath;
    outcome.converted = result.ok;
    outcome.targetExists = result.targetExists;
    outcome.heldPdf = result.heldPdf;
    if (result.targetExists)
        outcome.failure = FailureLine(printed.workbookPath,
                                      QStringLiteral("not converted: %1 already exists.").arg(result.pdfPath));
    else if (!printed.note.isEmpty())
        outcome.failure = FailureLine(printed.workbookPath, printed.note);
    return outcome;
}

WorkbookOutcome CWorkbookConversion::Incomplete(const PrintedWorkbook& printed, const GhostscriptResult& result)
{
    WorkbookOutcome outcome;
    outcome.pdfPath = result.pdfPath;
    // A file kept at its place is said in the failure: the workbook failed all the same.
    outcome.incomplete = result.ok;
    const QString missing =
        printed.missingFrom == printed.sheetCount
            ? QStringLiteral("sheet %1 of %2 is missing").arg(printed.missingFrom).arg(printed.sheetCount)
            : QStringLiteral("sheets %1 to %2 of %3 are missing")
                  .arg(printed.missingFrom)
                  .arg(printed.sheetCount)
                  .arg(printed.sheetCount);
    QString reason;
    if (result.ok)
        reason = QStringLiteral("incomplete PDF: %1; %2 from %3.").arg(printed.failure, missing, result.pdfPath);
    else if (result.targetExists)
        reason = QStringLiteral("not converted: %1; %2, so the existing %3 was kept.")
                     .arg(printed.failure, missing, result.pdfPath);
    else
        reason = QStringLiteral("not converted: %1; %2. %3").arg(printed.failure, missing, OneLine(result.message));
    outcome.failure = FailureLine(printed.workbookPath, reason);
    return outcome;
}

void CWorkbookConversion::RecordOutcome(const WorkbookOutcome& outcome)
{
    m_bWorkbookDone = outcome.converted ? 1 : 0;
    m_strPdfPath = outcome.converted ? outcome.pdfPath : QString();
    if (!outcome.failure.isEmpty())
        m_lstFailures.append(outcome.failure);
}

bool CWorkbookConversion::PassSafePoint() const
{
    return !m_pGate || m_pGate->PassSafePoint();
}

bool CWorkbookConversion::StopRequested() const
{
    return m_pGate && m_pGate->StopRequested();
}

std::vector<Variant> CWorkbookConversion::OpenArguments(const QString& path) const
{
    const Variant omitted = Variant::Omitted();
    const Variant yes = Variant::Short(1);
    const Variant no = Variant::Short(0);
    return {Variant::String(path),                  // Filename
            Variant::Long(0),                       // UpdateLinks
            yes,                                    // ReadOnly
            omitted,                                // Format
            Variant::String(m_strWorkbookPassword), // Password
            omitted,                                // WriteResPassword
            yes,                                    // IgnoreReadOnlyRecommended
            omitted,                                // Origin
            omitted,                                // Delimiter
            no,                                     // Editable
            no,                                     // Notify
            omitted,                                // Converter
            no};                                    // AddToMru
}

std::vector<Variant> CWorkbookConversion::PrintOutArguments(const QString& printFile,
                                                            std::optional<std::pair<int, int>> pages) const
{
    const Variant omitted = Variant::Omitted();
    return {pages ? Variant::Long(pages->first) : omitted,  // From
            pages ? Variant::Long(pages->second) : omitted, // To
            Variant::Long(1),                // Copies
            Variant::Short(0),               // Preview
            Variant::String(m_strQueueName), // ActivePrinter
            omitted,                         // PrintToFile
            omitted,                         // Collate
            Variant::String(printFile)};     // PrToFileName
}

QString CWorkbookConversion::PrintFilePath(const QString& folder, int sheet, int part)
{
    if (part > 0)
        return QDir(folder).filePath(QStringLiteral("tmp_%1_%2.pdf").arg(sheet).arg(part));
    return QDir(folder).filePath(QStringLiteral("tmp_%1.pdf").arg(sheet));
}

QString CWorkbookConversion::FailureLine(const QString& workbookPath, const QString& reason)
{
    return QStringLiteral("%1: %2").arg(FileNameOf(workbookPath), reason);
}
