#pragma once

#include "engine/ConversionRunObserver.h"

#include <QString>

// One line of a run's report for machines (--report): what became of one
// workbook of the whole list, as a JSON object on a line of its own.
struct ReportLine {
    int index = 0;        // 0-based place in the whole list
    QString workbook;     // its absolute path
    QString pdf;          // the PDF that stands for it (empty: none, null in JSON)
    QString result;       // converted, incomplete, failed, skipped, kept, cancelled, stopped
    int pages = -1;       // of that PDF (-1: not known, null in JSON)
    double seconds = 0;   // what its conversion took
    QString message;      // why it was not converted, or a note; empty when there is none

    // {"index":…,"workbook":…,"pdf":…,"result":…,"pages":…,"seconds":…,"message":…}, keys in this order.
    QString Json() const;

    // The word for what the engine reports.
    static QString Word(WorkbookReport::Result result);
    // Whether a PDF stands for the workbook after that result.
    static bool HasPdf(WorkbookReport::Result result);
};
