#include "engine/PdfMerge.h"

#include "engine/Pdfmarks.h"

#include <QFileInfo>

ConversionOptions PdfMerge::PartOptions(const ConversionOptions& options)
{
    ConversionOptions part = options;
    part.m_bEnableSecurity = 0;
    part.m_bOwnerPassword = 0;
    part.m_bUserPassword = 0;
    part.m_strOwnerPassword.clear();
    part.m_strUserPassword.clear();
    part.m_bBookmarks = 0;
    part.m_bPdfA = 0;
    part.m_strImageCompression = QStringLiteral("Flate");
    // PDF/A keeps transparency: the parts must not flatten it first.
    if (options.m_bPdfA)
        part.m_strPdfVersion = OptionItems::PdfVersion().last();
    return part;
}

QString PdfMerge::Outline(const QList<Part>& parts)
{
    QString text;
    int first = 1;
    for (const Part& part : parts) {
        if (part.pages <= 0)
            continue;
        text += Pdfmarks::Bookmark(part.title, first, int(part.sheets.size())) + QLatin1Char('\n');
        for (const auto& [sheet, page] : part.sheets)
            text += Pdfmarks::Bookmark(sheet, first + page - 1) + QLatin1Char('\n');
        first += part.pages;
    }
    return text;
}

GhostscriptResult PdfMerge::Write(const QList<Part>& parts, const ConversionOptions& options, const QString& target,
                                  const QString& folder, GhostscriptJob::Existing existing, StopGate* gate)
{
    GhostscriptJob job;
    job.options = options;
    job.workbookPath = target;
    job.outputFolder = QFileInfo(target).absolutePath();
    for (const Part& part : parts)
        job.inputFiles << part.pdf;
    job.runFolder = folder;
    job.existing = existing;
    if (options.m_bBookmarks)
        job.outline = Outline(parts);
    return ConvertWithGhostscript(job, gate);
}
