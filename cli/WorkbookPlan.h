#pragma once

#include "cli/ReportLine.h"
#include "cli/Shard.h"

#include <QString>
#include <QStringList>

#include <vector>

// What this process does with each workbook of the whole list, decided before
// the run: the workbooks of its share that the run converts, and those it
// reports at once: a file that is no workbook (or is missing), a workbook
// listed twice, and, when the list is shared out (--shard), a workbook whose
// PDF name an earlier workbook of the whole list has. Those are decided on the
// whole list, never on what other processes did, so every share decides them
// alike whichever ran first: of the workbooks that give one PDF name only the
// first in the list is converted.
class WorkbookPlan {
public:
    // whole: the workbooks as given, in order; outputFolder: absolute.
    WorkbookPlan(const QStringList& whole, const Shard& shard, bool sharded, const QString& outputFolder);

    // What the run converts: absolute paths, in list order.
    const QStringList& ToConvert() const { return m_lstConvert; }
    // The place in the whole list of each of those.
    const std::vector<int>& Positions() const { return m_positions; }
    // What is reported before the run, in list order: failed, or skipped (listed twice).
    const std::vector<ReportLine>& Refused() const { return m_refused; }
    // Of those, the workbooks that count as not converted (all but the ones listed twice).
    int Failures() const;

    static QString SkippedWord() { return QStringLiteral("skipped"); }

private:
    void Refuse(int position, const QString& path, const QString& result, const QString& message);

    QStringList m_lstConvert;
    std::vector<int> m_positions;
    std::vector<ReportLine> m_refused;
};
