#include "cli/WorkbookPlan.h"

#include "cli/ArgumentBytes.h"
#include "cli/WorkbookFileCheck.h"
#include "engine/GhostscriptStage.h"

#include <QFileInfo>
#include <QHash>

WorkbookPlan::WorkbookPlan(const QStringList& whole, const Shard& shard, bool sharded, const QString& outputFolder)
{
    QHash<QString, int> firstOfPath; // absolute path -> its first place
    QHash<QString, int> firstOfPdf;  // PDF path -> the first place that gives it
    for (int i = 0; i < whole.size(); ++i) {
        const QString& given = whole.at(i);
        const QString path = QFileInfo(given).absoluteFilePath();
        const QString pdf = PdfPathFor(outputFolder, path);
        const int samePath = firstOfPath.value(path, -1);
        const int samePdf = firstOfPdf.value(pdf, -1);
        if (samePath < 0)
            firstOfPath.insert(path, i);
        if (samePdf < 0)
            firstOfPdf.insert(pdf, i);
        if (!shard.Holds(i))
            continue;
        QString problem;
        if (samePath >= 0) {
            Refuse(i, path, SkippedWord(), QStringLiteral("%1: listed twice; converted once.").arg(given));
        } else if (sharded && samePdf >= 0) {
            // Whichever share finishes first, the later one would find that PDF there.
            Refuse(i, path, ReportLine::Word(WorkbookReport::Failed),
                   QStringLiteral("%1: not converted: %2 is made from %3, earlier in the list.")
                       .arg(given, pdf, whole.at(samePdf)));
        } else if (!(problem = WorkbookFileCheck::Problem(given)).isEmpty()) {
            Refuse(i, path, ReportLine::Word(WorkbookReport::Failed),
                   QStringLiteral("%1: not converted: %2").arg(given, problem));
        } else {
            m_lstConvert << path;
            m_positions.push_back(i);
        }
    }
}

int WorkbookPlan::Failures() const
{
    int failures = 0;
    for (const ReportLine& line : m_refused)
        failures += line.result == SkippedWord() ? 0 : 1;
    return failures;
}

void WorkbookPlan::Refuse(int position, const QString& path, const QString& result, const QString& message)
{
    ReportLine line;
    line.index = position;
    line.workbook = ArgumentBytes::Shown(path);
    line.result = result;
    line.message = ArgumentBytes::Shown(message);
    m_refused.push_back(line);
}
