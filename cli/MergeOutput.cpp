#include "cli/MergeOutput.h"

#include "engine/GhostscriptStage.h"
#include "engine/PdfMerge.h"

#include <QFileInfo>
#include <QTemporaryDir>

MergeOutput::MergeOutput(const QString& file)
    : m_strTarget(PdfPathFor(QFileInfo(file).absolutePath(), file))
{
}

MergeOutput::~MergeOutput() = default;

QString MergeOutput::Prepare()
{
    // Beside the target, so that a large run fills the disk the user chose,
    // and readable by the user alone (the parts are not protected yet).
    m_pFolder = std::make_unique<QTemporaryDir>(QFileInfo(m_strTarget).absolutePath() +
                                                QStringLiteral("/.orvik-merge-XXXXXX"));
    if (!m_pFolder->isValid())
        return QStringLiteral("no temporary folder could be made beside %1: %2")
            .arg(m_strTarget, m_pFolder->errorString());
    return QString();
}

QString MergeOutput::Folder() const
{
    return m_pFolder ? m_pFolder->path() : QString();
}

bool MergeOutput::Write(const ConversionRunSummary& summary, const ConversionOptions& options, bool overwrite,
                        StopGate* gate, QString* message) const
{
    QList<PdfMerge::Part> parts;
    for (const WorkbookReport& report : summary.workbooks) {
        if (report.result == WorkbookReport::Converted)
            parts.append({report.pdfPath, QFileInfo(report.workbookPath).fileName(), report.pages, report.sheets});
    }
    if (parts.isEmpty()) {
        *message = QStringLiteral("no workbook was converted: %1 was not written.").arg(m_strTarget);
        return false;
    }
    using Existing = GhostscriptJob::Existing;
    const GhostscriptResult result = PdfMerge::Write(parts, options, m_strTarget, Folder(),
                                                     overwrite ? Existing::Replace : Existing::Keep, gate);
    if (result.targetExists)
        *message = QStringLiteral("%1 already exists and was kept (--overwrite replaces it).").arg(m_strTarget);
    else if (!result.ok)
        *message = QStringLiteral("%1 was not written: %2").arg(m_strTarget, result.message);
    else
        *message = QStringLiteral("%1 of %2 workbook(s) merged into %3.")
                       .arg(parts.size())
                       .arg(summary.workbooks.size())
                       .arg(m_strTarget);
    return result.ok;
}
