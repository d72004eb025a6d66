#include "cli/ReportLine.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace {
// A JSON string: Qt's writer escapes it.
QString Quoted(const QString& text)
{
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}
} // namespace

QString ReportLine::Json() const
{
    return QStringLiteral("{\"index\":%1,\"workbook\":%2,\"pdf\":%3,\"result\":%4,\"pages\":%5,\"seconds\":%6,"
                          "\"message\":%7}")
        .arg(index)
        .arg(Quoted(workbook), pdf.isEmpty() ? QStringLiteral("null") : Quoted(pdf), Quoted(result),
             pages < 0 ? QStringLiteral("null") : QString::number(pages), QString::number(seconds, 'f', 2),
             Quoted(message));
}

QString ReportLine::Word(WorkbookReport::Result result)
{
    switch (result) {
    case WorkbookReport::Converted:
        return QStringLiteral("converted");
    case WorkbookReport::Incomplete:
        return QStringLiteral("incomplete");
    case WorkbookReport::Kept:
        return QStringLiteral("kept");
    case WorkbookReport::Cancelled:
        return QStringLiteral("cancelled");
    case WorkbookReport::Failed:
        return QStringLiteral("failed");
    case WorkbookReport::Stopped:
    case WorkbookReport::NotReached:
        break;
    }
    return QStringLiteral("stopped");
}

bool ReportLine::HasPdf(WorkbookReport::Result result)
{
    return result == WorkbookReport::Converted || result == WorkbookReport::Incomplete || result == WorkbookReport::Kept;
}
