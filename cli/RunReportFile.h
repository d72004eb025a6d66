#pragma once

#include "cli/ReportLine.h"
#include "engine/ConversionRunObserver.h"

#include <QString>

#include <cstdio>
#include <vector>

class CliReporter;

// The report of a run for machines (--report FILE): a JSON line per workbook
// (ReportLine), written and flushed as soon as its result is known, so that
// what a killed process did is still there. It stands between the run and
// the reporter for people, passing every call on.
class RunReportFile : public ConversionRunObserver {
public:
    // reporter: gets every call (must outlive this); positions: the place in
    // the whole list of each workbook of the run.
    RunReportFile(CliReporter* reporter, std::vector<int> positions);
    ~RunReportFile() override;
    RunReportFile(const RunReportFile&) = delete;
    RunReportFile& operator=(const RunReportFile&) = delete;

    // Starts the report in file, replacing one there ("-": standard output;
    // empty: no report). False, with a one-line reason, when it cannot be written.
    bool Open(const QString& file, QString* error);
    bool ToStandardOutput() const { return m_pFile == stdout; }

    // A line for a workbook the run never sees.
    void Write(const ReportLine& line);

    void WorkbookStarted(int index, const QString& workbookPath) override;
    void SheetPrinted(int index, int sheet, int sheetCount) override;
    void ProgressChanged(int percent) override;
    void WorkbookFinished(const WorkbookReport& report) override;
    // Workbooks a stop left without a result are reported as stopped.
    void RunFinished(const ConversionRunSummary& summary) override;

    // The line for a workbook of the run.
    ReportLine LineFor(const WorkbookReport& report) const;

private:
    CliReporter* m_pReporter;
    std::vector<int> m_positions;
    std::vector<bool> m_written; // per workbook of the run
    FILE* m_pFile = nullptr;
};
