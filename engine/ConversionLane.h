#pragma once

#include "engine/GhostscriptStage.h"

#include <QString>

#include <memory>

class ConversionRun;
class CWorkbookConversion;
class OfficeSession;
struct PrintedWorkbook;
struct WorkbookOutcome;
struct WorkbookReport;

// One lane of a conversion run: an office and a Ghostscript of its own that
// convert the workbooks the run hands out, one after the other, while other
// lanes convert others. A workbook's Ghostscript job is finished while the
// lane prints its next workbook. What the lane finds out goes to the run,
// which reports it in list order; a question waits until everything before
// its workbook has been reported.
class ConversionLane {
public:
    // folder: the lane's private folder for print files; session: an office
    // session to use instead of one of the lane's own (null: its own).
    ConversionLane(ConversionRun& run, const QString& folder, OfficeSession* session);
    ~ConversionLane();
    ConversionLane(const ConversionLane&) = delete;
    ConversionLane& operator=(const ConversionLane&) = delete;

    // Converts workbooks until the run has none left or is stopped; on the
    // thread the lane's office is to serve.
    void Work();

private:
    class OrderedPrompts;
    struct Pending;

    // Converts the workbook m_nCurrent, then lets the run and the office know it is done with.
    void ConvertWorkbook(CWorkbookConversion& engine);
    void ConvertOne(CWorkbookConversion& engine, int index);
    // What becomes of a file at the workbook's PDF path; false when the
    // workbook is done with (its PDF kept, a folder in the way, a stop).
    bool DecideExisting(WorkbookReport& report, GhostscriptJob::Existing* existing);
    bool KeepExisting(WorkbookReport& report);
    // Before a question about the workbook: finishes this lane's pending
    // workbook, waits until every workbook before it is reported, then passes
    // the gate (held while paused); false once a stop was requested.
    bool ReadyToAsk(int index);
    void StartGhostscript(std::unique_ptr<PrintedWorkbook> printed, const WorkbookReport& report);
    // Waits for the pending workbook and reports it; a PDF that appeared at
    // its place meanwhile is asked about first, unless mayAsk is false.
    void FinishPending(bool mayAsk = true);
    void ResolveHeld(WorkbookReport report, const WorkbookOutcome& outcome, bool mayAsk);
    void FinishWorkbook(WorkbookReport report, const WorkbookOutcome& outcome);

    ConversionRun& m_run;
    QString m_strFolder;
    OfficeSession* m_pSession;
    int m_nCurrent = -1;                  // the workbook being printed
    bool m_bFreshGhostscript = false;     // the office was started afresh: Ghostscript follows
    std::unique_ptr<CWorkbookConversion> m_pFinisher; // joins printed sheets under the run's finish gate
    std::unique_ptr<Pending> m_pPending;  // the workbook Ghostscript is joining (lane thread only)
};
