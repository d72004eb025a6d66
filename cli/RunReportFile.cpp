#include "cli/RunReportFile.h"

#include "cli/ArgumentBytes.h"
#include "cli/CliReporter.h"
#include "cli/PdfPageCount.h"

#include <QFile>

#include <cerrno>
#include <cstring>

RunReportFile::RunReportFile(CliReporter* reporter, std::vector<int> positions)
    : m_pReporter(reporter), m_positions(std::move(positions)), m_written(m_positions.size(), false)
{
}

RunReportFile::~RunReportFile()
{
    if (m_pFile && m_pFile != stdout)
        std::fclose(m_pFile);
}

bool RunReportFile::Open(const QString& file, QString* error)
{
    if (file.isEmpty())
        return true;
    if (file == QLatin1String("-")) {
        m_pFile = stdout;
        return true;
    }
    m_pFile = std::fopen(QFile::encodeName(file).constData(), "we");
    if (!m_pFile)
        *error = QStringLiteral("cannot write the report %1: %2").arg(file, QString::fromLocal8Bit(strerror(errno)));
    return m_pFile != nullptr;
}

void RunReportFile::Write(const ReportLine& line)
{
    if (!m_pFile)
        return;
    std::fprintf(m_pFile, "%s\n", line.Json().toUtf8().constData());
    std::fflush(m_pFile);
}

void RunReportFile::WorkbookStarted(int index, const QString& workbookPath)
{
    m_pReporter->WorkbookStarted(index, workbookPath);
}

void RunReportFile::SheetPrinted(int index, int sheet, int sheetCount)
{
    m_pReporter->SheetPrinted(index, sheet, sheetCount);
}

void RunReportFile::ProgressChanged(int percent)
{
    m_pReporter->ProgressChanged(percent);
}

void RunReportFile::WorkbookFinished(const WorkbookReport& report)
{
    m_pReporter->WorkbookFinished(report);
    if (size_t(report.index) < m_written.size() && !m_written.at(size_t(report.index))) {
        m_written.at(size_t(report.index)) = true;
        Write(LineFor(report));
    }
}

void RunReportFile::RunFinished(const ConversionRunSummary& summary)
{
    for (const WorkbookReport& report : summary.workbooks)
        if (size_t(report.index) < m_written.size() && !m_written.at(size_t(report.index))) {
            m_written.at(size_t(report.index)) = true;
            Write(LineFor(report));
        }
    m_pReporter->RunFinished(summary);
}

ReportLine RunReportFile::LineFor(const WorkbookReport& report) const
{
    ReportLine line;
    line.index = size_t(report.index) < m_positions.size() ? m_positions.at(size_t(report.index)) : report.index;
    line.workbook = ArgumentBytes::Shown(report.workbookPath);
    line.result = ReportLine::Word(report.result);
    line.seconds = report.seconds;
    if (ReportLine::HasPdf(report.result)) {
        line.pdf = report.pdfPath;
        // The run counted the pages it wrote; a PDF it kept is read for them.
        line.pages = report.pages > 0 ? report.pages : PdfPageCount::Count(report.pdfPath);
    }
    // One a stop left before it says so as one the stop ended does.
    WorkbookReport said = report;
    if (said.result == WorkbookReport::NotReached)
        said.result = WorkbookReport::Stopped;
    line.message = m_pReporter->ProblemLine(said);
    return line;
}
