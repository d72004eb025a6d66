#include "cli/CliReporter.h"

#include "cli/TerminalPrompts.h"

#include <QFileInfo>

#include <unistd.h>

CliReporter::CliReporter(TerminalPrompts* prompts, int count, int skipped, FILE* out, FILE* err)
    : m_pPrompts(prompts),
      m_nCount(count),
      m_nSkipped(skipped),
      m_pOut(out),
      m_pErr(err),
      m_bSheetLines(::isatty(::fileno(err)) == 1)
{
}

void CliReporter::WorkbookStarted(int, const QString& workbookPath)
{
    m_strStarted = QFileInfo(workbookPath).fileName();
    if (m_pPrompts)
        m_pPrompts->NewWorkbook();
}

void CliReporter::SheetPrinted(int index, int sheet, int sheetCount)
{
    if (m_bSheetLines)
        Line(m_pErr, SheetLine(index, sheet, sheetCount));
}

QString CliReporter::SheetLine(int index, int sheet, int sheetCount) const
{
    QString line = QStringLiteral("[%1/%2] %3: sheet %4 of %5 printed")
                       .arg(index + 1)
                       .arg(m_nCount)
                       .arg(m_strStarted)
                       .arg(sheet)
                       .arg(sheetCount);
    // What follows the last sheet takes a while too on a long workbook.
    if (sheet == sheetCount)
        line += QStringLiteral("; making its PDF");
    return line + QLatin1Char('.');
}

void CliReporter::ProgressChanged(int percent)
{
    m_nPercent = percent;
}

void CliReporter::WorkbookFinished(const WorkbookReport& report)
{
    const QString name = QFileInfo(report.workbookPath).fileName();
    static const char* const kWhat[] = {"not reached", "converted", "kept",      "skipped",
                                        "failed",      "stopped",   "incomplete"};
    QString progress = QStringLiteral("[%1/%2] %3%  %4: %5")
                           .arg(report.index + 1)
                           .arg(m_nCount)
                           .arg(m_nPercent, 3)
                           .arg(name, QLatin1String(kWhat[report.result]));
    const bool written = report.result == WorkbookReport::Converted || report.result == WorkbookReport::Incomplete;
    if (written && !m_bMerging)
        progress += QStringLiteral(" -> ") + report.pdfPath;
    Line(m_pErr, progress);
    const QString problem = ProblemLine(report);
    if (!problem.isEmpty())
        Line(m_pErr, problem);
    if (report.result == WorkbookReport::Converted && m_pOut && !m_bMerging) {
        std::fprintf(m_pOut, "%s\n", report.pdfPath.toLocal8Bit().constData());
        std::fflush(m_pOut);
    }
}

QString CliReporter::ProblemLine(const WorkbookReport& report) const
{
    const QString name = QFileInfo(report.workbookPath).fileName();
    switch (report.result) {
    case WorkbookReport::Converted:  // a note (a blank page)
    case WorkbookReport::Incomplete: // the sheets it lacks
        return report.message;
    case WorkbookReport::Kept:
        return QStringLiteral("%1: not converted: %2 already exists (--overwrite replaces it).").arg(name, report.pdfPath);
    case WorkbookReport::Cancelled:
        if (m_pPrompts && m_pPrompts->FilePasswordRefused() && m_pPrompts->NoOneToAsk())
            return QStringLiteral("%1: not converted: the password of --workbook-password-file was refused, and "
                                  "there is no terminal to ask for another.")
                .arg(name);
        if (m_pPrompts && m_pPrompts->NoOneToAsk())
            return QStringLiteral("%1: not converted: it needs a password, and there is no terminal to ask for "
                                  "it (--workbook-password-file gives one).")
                .arg(name);
        return report.message.isEmpty() ? QStringLiteral("%1: not converted.").arg(name) : report.message;
    case WorkbookReport::Failed:
        return report.message;
    case WorkbookReport::Stopped:
        return QStringLiteral("%1: not converted: the conversion was stopped.").arg(name);
    case WorkbookReport::NotReached:
        break;
    }
    return QString();
}

void CliReporter::RunFinished(const ConversionRunSummary& summary)
{
    Line(m_pErr, SummaryLine(summary));
}

QString CliReporter::SummaryLine(const ConversionRunSummary& summary) const
{
    const int total = int(summary.workbooks.size()) + m_nSkipped;
    const int converted = summary.Count(WorkbookReport::Converted);
    QString line = QStringLiteral("%1 of %2 workbook(s) converted, %3 not converted.")
                       .arg(converted)
                       .arg(total)
                       .arg(total - converted);
    const int notReached = summary.Count(WorkbookReport::NotReached);
    if (summary.stopped)
        line += notReached > 0 ? QStringLiteral(" Stopped before %1 of them.").arg(notReached)
                               : QStringLiteral(" Stopped.");
    return line;
}

void CliReporter::Line(FILE* stream, const QString& text)
{
    std::fprintf(stream, "orvik-xl2pdf: %s\n", text.toLocal8Bit().constData());
    std::fflush(stream);
}
