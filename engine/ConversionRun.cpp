#include "engine/ConversionRun.h"

#include "automation/OfficeSession.h"
#include "engine/ConversionLane.h"
#include "engine/ConversionPrompts.h"
#include "platform/DiskSpace.h"
#include "platform/ProcessMemory.h"
#include "platform/StaleRunFiles.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <system_error>
#include <thread>
#include <utility>

namespace {
// What a run needs in the temporary folder before the office starts: its
// profile and the print files of a large workbook.
constexpr qint64 kTemporaryNeed = 64LL * 1024 * 1024;
// Below this, a failed workbook is put down to a full disk.
constexpr qint64 kFullBelow = 1024LL * 1024;
// What one lane needs at most: an office with a large workbook open, and Ghostscript.
constexpr qint64 kLaneMemory = 900LL * 1024 * 1024;
// More lanes than this gain nothing over the printer queue and the disk.
constexpr int kMostLanes = 8;

// Lanes set for every run of the program (0: the machine's).
std::atomic<int> g_defaultLanes{0};
} // namespace

ConversionRun::ConversionRun(const QStringList& workbooks, const QString& outputFolder,
                             ConversionPrompts* prompts, OptionsProvider options,
                             ConversionRunObserver* observer)
    : m_lstWorkbooks(workbooks),
      m_strOutputFolder(outputFolder),
      m_pPrompts(prompts),
      m_options(std::move(options)),
      m_pObserver(observer),
      m_slots(size_t(workbooks.size()))
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

QString ConversionRun::FileNameOf(const QString& path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

ConversionRun::~ConversionRun()
{
    Finish();
}

void ConversionRun::SetDefaultLanes(int lanes)
{
    g_defaultLanes = std::max(0, lanes);
}

int ConversionRun::DefaultLanes()
{
    if (g_defaultLanes > 0)
        return g_defaultLanes;
    const int processors = int(std::max(1U, std::thread::hardware_concurrency()));
    const qint64 available = ProcessMemory::AvailableBytes();
    const int fit = available > 0 ? int(std::max<qint64>(1, available / kLaneMemory)) : 1;
    return std::clamp(std::min(processors, fit), 1, kMostLanes);
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

    if (m_pSharedSession)
        m_pSharedSession->SetStopGate(&m_gate);
    if (!m_runFolder.IsValid() && m_pPrompts && !m_lstWorkbooks.isEmpty() && m_gate.PassSafePoint())
        m_pPrompts->ShowPlainMessage(m_runFolder.ErrorText());
    SweepStaleFiles();
    if (RoomToWork())
        RunLanes();
    if (m_pSharedSession)
        m_pSharedSession->SetStopGate(nullptr);

    std::lock_guard lock(m_mutex);
    m_summary.stopped = m_gate.StopRequested();
    m_summary.status = m_summary.pdfNames.isEmpty() ? StoppedText() : CompleteText();
    PublishProgress(100);
    if (m_pObserver)
        m_pObserver->RunFinished(m_summary);
    return m_summary;
}

void ConversionRun::RunLanes()
{
    // The first lane works on this thread, with the shared office if there is
    // one; each further lane has a thread, a folder and an office of its own.
    // Lanes beyond the workbooks only help print long sheets; their offices
    // start only when they do.
    const bool sharing = m_bShareSheets && m_nChunkPages != 0 && !m_lstWorkbooks.isEmpty();
    const int lanes = std::max(1, sharing ? m_nLanes : std::min(m_nLanes, int(m_lstWorkbooks.size())));
    std::vector<std::unique_ptr<ConversionLane>> others;
    std::vector<std::thread> threads;
    for (int i = 1; i < lanes; ++i) {
        const QString folder = QDir(m_runFolder.Path()).filePath(QStringLiteral("lane%1").arg(i));
        if (m_runFolder.Path().isEmpty() || !QDir().mkdir(folder))
            break;
        others.push_back(std::make_unique<ConversionLane>(*this, folder, nullptr));
        try {
            threads.emplace_back(&ConversionLane::Work, others.back().get());
        } catch (const std::system_error&) {
            others.pop_back(); // no thread to spare: fewer lanes
            break;
        }
    }
    ConversionLane(*this, m_runFolder.Path(), m_pSharedSession).Work();
    for (std::thread& thread : threads)
        thread.join();
}

bool ConversionRun::RoomToWork()
{
    const QString folder = QDir::tempPath();
    if (m_lstWorkbooks.isEmpty() || !DiskSpace::Short(folder, kTemporaryNeed))
        return true;
    if (m_pPrompts && m_gate.PassSafePoint())
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

void ConversionRun::SweepStaleFiles() const
{
    StaleRunFiles::SweepTemporaryFolder(QDir::tempPath());
    StaleRunFiles::SweepOutputFolder(m_strOutputFolder);
}

int ConversionRun::NextWorkbook()
{
    // Counted as printing before it is handed out: a lane that finds none left
    // waits while the lane that took the last one may still share a sheet.
    m_sheets.BeginPrinting();
    const int next = m_nNext.fetch_add(1);
    if (next < m_lstWorkbooks.size())
        return next;
    m_sheets.EndPrinting();
    return -1;
}

void ConversionRun::ReportStart(const WorkbookReport& report)
{
    std::lock_guard lock(m_mutex);
    Slot& slot = m_slots.at(size_t(report.index));
    slot.started = true;
    slot.begun = std::chrono::steady_clock::now();
    if (report.index == m_nFront)
        AnnounceFront();
}

void ConversionRun::ReportSheet(int index, int sheet, int sheetCount)
{
    std::lock_guard lock(m_mutex);
    Slot& slot = m_slots.at(size_t(index));
    // Its start still waits for the workbooks before it: only the latest
    // sheet is kept, to follow that start.
    if (!slot.announced) {
        slot.sheet = sheet;
        slot.sheetCount = sheetCount;
    } else if (m_pObserver) {
        m_pObserver->SheetPrinted(index, sheet, sheetCount);
    }
}

void ConversionRun::Publish(const WorkbookReport& report)
{
    std::lock_guard lock(m_mutex);
    Slot& slot = m_slots.at(size_t(report.index));
    slot.report = report;
    if (slot.started)
        slot.report->seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - slot.begun).count();
    slot.settled = true;
    Advance();
}

void ConversionRun::Settle(int index)
{
    std::lock_guard lock(m_mutex);
    m_slots.at(size_t(index)).settled = true;
    Advance();
}

void ConversionRun::WaitTurn(int index)
{
    std::unique_lock lock(m_mutex);
    m_cvTurn.wait(lock, [this, index] { return m_nFront >= index; });
}

bool ConversionRun::SharesPdfWithEarlier(int index) const
{
    const QString& pdf = m_summary.workbooks.at(size_t(index)).pdfPath; // paths never change
    for (int i = 0; i < index; ++i)
        if (m_summary.workbooks.at(size_t(i)).pdfPath == pdf)
            return true;
    return false;
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

bool ConversionRun::FirstShowing(const QString& text)
{
    std::lock_guard lock(m_mutex);
    if (m_lstShown.contains(text))
        return false;
    m_lstShown << text;
    return true;
}

// Caller holds m_mutex.
void ConversionRun::Advance()
{
    while (m_nFront < int(m_slots.size()) && m_slots.at(size_t(m_nFront)).settled) {
        const Slot& slot = m_slots.at(size_t(m_nFront));
        if (slot.report)
            Deliver(*slot.report);
        ++m_nFront;
        AnnounceFront();
    }
    m_cvTurn.notify_all();
}

// Caller holds m_mutex.
void ConversionRun::AnnounceFront()
{
    if (m_nFront >= int(m_slots.size()))
        return;
    Slot& slot = m_slots.at(size_t(m_nFront));
    if (!slot.started || slot.announced)
        return;
    slot.announced = true;
    if (!m_pObserver)
        return;
    m_pObserver->WorkbookStarted(m_nFront, m_lstWorkbooks.at(m_nFront));
    if (slot.sheet > 0)
        m_pObserver->SheetPrinted(m_nFront, slot.sheet, slot.sheetCount);
}

// Caller holds m_mutex.
void ConversionRun::Deliver(const WorkbookReport& report)
{
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
    // The program's end: nothing is waited for, nothing asked.
    m_finishGate.RequestStop();
    m_runFolder.Remove();
}

ConversionRunSummary ConversionRun::Summary() const
{
    std::lock_guard lock(m_mutex);
    return m_summary;
}
