#pragma once

#include "engine/ConversionRunObserver.h"

#include <cstdio>

class TerminalPrompts;

// Tells the command line's user what the run does: a progress line per
// workbook and one clear line per workbook that was not converted on standard
// error, the path of every PDF written on standard output. When standard error
// is a terminal, a line per printed sheet too, so a long workbook shows it works.
class CliReporter : public ConversionRunObserver {
public:
    // count: workbooks in the run; skipped: workbooks refused before the run (for the final count);
    // out: where the PDFs' paths go (null: nowhere).
    CliReporter(TerminalPrompts* prompts, int count, int skipped, FILE* out = stdout, FILE* err = stderr);

    void WorkbookStarted(int index, const QString& workbookPath) override;
    void SheetPrinted(int index, int sheet, int sheetCount) override;
    void ProgressChanged(int percent) override;
    void WorkbookFinished(const WorkbookReport& report) override;
    void RunFinished(const ConversionRunSummary& summary) override;

    // With --merge: the workbooks' PDFs are parts of the merged one, not named.
    void SetMerging(bool merging) { m_bMerging = merging; }

    // The line for a workbook that was not converted (or lost sheets); empty for a converted one.
    QString ProblemLine(const WorkbookReport& report) const;
    // The line for a printed sheet of the workbook started last.
    QString SheetLine(int index, int sheet, int sheetCount) const;
    // The last line: how many were converted and how many were not.
    QString SummaryLine(const ConversionRunSummary& summary) const;

private:
    void Line(FILE* stream, const QString& text);

    TerminalPrompts* m_pPrompts;
    int m_nCount;
    int m_nSkipped;
    int m_nPercent = 0;
    FILE* m_pOut;
    FILE* m_pErr;
    bool m_bSheetLines;        // standard error is a terminal
    bool m_bMerging = false;
    QString m_strStarted;      // file name of the workbook started last
};
