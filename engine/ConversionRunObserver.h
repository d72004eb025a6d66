#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <vector>

// What became of one listed workbook.
struct WorkbookReport {
    enum Result {
        NotReached, // the run stopped before it
        Converted,  // its PDF was written with every sheet (message set for a note: a blank page)
        Kept,       // its PDF existed and was not to be replaced
        Cancelled,  // it could not be opened and its password prompt was cancelled
        Failed,     // nothing was written for it
        Stopped,    // a stop ended it
        Incomplete, // a PDF was written without the sheets the message names (none was there before)
    };

    int index = 0;          // 0-based place in the list
    QString workbookPath;
    QString pdfPath;        // the target in the output folder
    Result result = NotReached;
    QString message;        // one line naming the workbook when something went wrong
    int pages = 0;          // pages of the PDF written (0 when none was)
    // Each printed sheet's name and first page (1-based) in that PDF, in page order.
    QList<QPair<QString, int>> sheets;
    double seconds = 0;     // from the moment a lane began it to its result (0: never begun)
};

// The end of a run.
struct ConversionRunSummary {
    std::vector<WorkbookReport> workbooks; // one per listed workbook, in list order
    QStringList pdfNames;                  // complete PDFs produced, file names only, in list order
    QString status;                        // "Complete!" or "Stoped"
    bool stopped = false;                  // a stop request ended the run early

    // True when every listed workbook got its complete PDF.
    bool AllConverted() const
    {
        for (const WorkbookReport& w : workbooks)
            if (w.result != WorkbookReport::Converted || !w.message.isEmpty())
                return false;
        return true;
    }
    int Count(WorkbookReport::Result result) const
    {
        int n = 0;
        for (const WorkbookReport& w : workbooks)
            n += w.result == result ? 1 : 0;
        return n;
    }
};

// Receives what a run reports. Called from the run's worker thread or from its
// Ghostscript thread, never from both at once, and always in list order: a
// window marshals the calls to its own thread (queued: a call must not wait
// for the window thread, which may be asking the run for its summary).
class ConversionRunObserver {
public:
    virtual ~ConversionRunObserver() = default;

    // A workbook is about to be looked at (its question, its printing). Worker thread.
    virtual void WorkbookStarted(int index, const QString& workbookPath) { (void)index, (void)workbookPath; }
    // One more sheet of that workbook was printed (or left out, being hidden);
    // sheet is 1-based. Always after the workbook's start, and only the latest
    // one when that start had to wait for the workbook before it.
    virtual void SheetPrinted(int index, int sheet, int sheetCount) { (void)index, (void)sheet, (void)sheetCount; }
    // The bar's new position, 0..100; only changes are reported.
    virtual void ProgressChanged(int percent) { (void)percent; }
    // A workbook is done with, whatever came of it.
    virtual void WorkbookFinished(const WorkbookReport& report) { (void)report; }
    // The run is over; nothing is reported after this.
    virtual void RunFinished(const ConversionRunSummary& summary) { (void)summary; }
};
