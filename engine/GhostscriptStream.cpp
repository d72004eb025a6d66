#include "engine/GhostscriptStream.h"

#include "engine/GhostscriptCommand.h"
#include "engine/PdfPublisher.h"
#include "engine/Pdfmarks.h"
#include "engine/PrivateFile.h"
#include "engine/SoftMaskImages.h"
#include "platform/StopGate.h"

#include <QFile>
#include <QFileInfo>

#include <utility>

namespace {

// A complete PDF starts with its header and ends with an end-of-file marker.
bool IsCompletePdf(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() < 16)
        return false;
    if (!file.read(5).startsWith("%PDF-"))
        return false;
    file.seek(qMax<qint64>(0, file.size() - 1024));
    return file.readAll().contains("%%EOF");
}

QString RunFailure(const GhostscriptServer::Outcome& outcome)
{
    if (!outcome.started)
        return outcome.message;
    QString how;
    if (outcome.exitCode < 0)
        how = QStringLiteral(" (it was ended by a signal)");
    else if (outcome.exitCode > 0)
        how = QStringLiteral(" (exit code %1)").arg(outcome.exitCode);
    return outcome.message.isEmpty() ? QStringLiteral("Ghostscript failed%1.").arg(how)
                                     : QStringLiteral("Ghostscript failed%1: %2").arg(how, outcome.message);
}

const QString kStopped = QStringLiteral("The conversion was stopped.");

} // namespace

CGhostscriptStream::CGhostscriptStream(const GhostscriptJob& job, GhostscriptServer* server)
    : m_job(job), m_pServer(server), m_strTarget(PdfPathFor(job.outputFolder, job.workbookPath))
{
}

CGhostscriptStream::~CGhostscriptStream()
{
    Abandon();
}

GhostscriptResult CGhostscriptStream::Failure(const QString& message) const
{
    return GhostscriptResult{false, m_strTarget, message};
}

bool CGhostscriptStream::WritePdfmarks(QString* error)
{
    m_strPdfmarks = PrivateFile::CreateUnique(m_job.runFolder, QStringLiteral("pdfmarks-"), QString(), error);
    return !m_strPdfmarks.isEmpty() &&
           Pdfmarks::WritePdfmarksFile(m_strPdfmarks, Pdfmarks::BuildText(m_job.options), error);
}

QString CGhostscriptStream::WriteProgram(const QString& prefix, const QByteArray& text, QString* error)
{
    const QString path = PrivateFile::CreateUnique(m_job.runFolder, prefix, QString(), error);
    if (path.isEmpty())
        return path;
    if (!PrivateFile::Write(path, text, error)) {
        QFile::remove(path);
        return QString();
    }
    return path;
}

bool CGhostscriptStream::WriteOpeningAndClosing(QString* error)
{
    if (m_job.options.m_bPdfA) {
        // Ghostscript may read only below the run folder: the profile goes there.
        const QString profile = Pdfmarks::SrgbProfile();
        QFile source(profile);
        if (profile.isEmpty() || !source.open(QIODevice::ReadOnly)) {
            *error = QStringLiteral("PDF/A needs Ghostscript's sRGB colour profile (srgb.icc), which was not found.");
            return false;
        }
        m_strProfile = WriteProgram(QStringLiteral("srgb-"), source.readAll(), error);
        if (m_strProfile.isEmpty())
            return false;
        m_strOpening = WriteProgram(QStringLiteral("opening-"), Pdfmarks::OutputIntent(m_strProfile).toLatin1(), error);
        if (m_strOpening.isEmpty())
            return false;
    }
    if (!m_job.outline.isEmpty()) {
        m_strClosing = WriteProgram(QStringLiteral("outline-"), m_job.outline.toLatin1(), error);
        if (m_strClosing.isEmpty())
            return false;
    }
    return true;
}

GhostscriptResult CGhostscriptStream::Begin(StopGate* gate)
{
    if (gate && gate->StopRequested())
        return Failure(kStopped);
    const QString refused = GhostscriptCommand::CheckPasswords(m_job.options);
    if (!refused.isEmpty())
        return Failure(refused);
    if (m_job.runFolder.isEmpty() || !QFileInfo(m_job.runFolder).isDir())
        return Failure(QStringLiteral("The temporary folder of the conversion is missing."));

    if (m_job.options.m_bPdfA && m_job.options.SecurityApplies())
        return Failure(QStringLiteral("A PDF/A file cannot be encrypted: turn security off or leave out PDF/A."));

    QString error;
    if (!WritePdfmarks(&error) || !WriteOpeningAndClosing(&error)) {
        RemoveFiles();
        return Failure(error);
    }
    const QString folder = QFileInfo(m_strTarget).absolutePath();
    m_strPartialPdf = PrivateFile::CreateUnique(
        folder, QStringLiteral(".") + QFileInfo(m_strTarget).completeBaseName().left(64) + QStringLiteral(".pdf."),
        QStringLiteral(".part"), &error);
    if (m_strPartialPdf.isEmpty()) {
        RemoveFiles();
        return Failure(error);
    }
    for (const QString& input : m_job.inputFiles)
        PrepareInput(input);
    if (!m_pServer)
        m_pServer = &m_ownServer.emplace(m_job.runFolder, folder, m_job.interpreter);
    const GhostscriptServer::Outcome outcome = m_pServer->Begin(
        GhostscriptServer::Job{m_job.options, m_strPartialPdf, m_strPdfmarks, m_job.inputFiles, m_job.bookmarks,
                               m_strOpening, m_strClosing},
        gate);
    if (!outcome.ok) {
        RemoveFiles();
        return Failure(outcome.stopped ? kStopped : RunFailure(outcome));
    }
    m_bBegun = true;
    return GhostscriptResult{true, m_strTarget, QString()};
}

bool CGhostscriptStream::Add(const QString& printFile, const QString& bookmark)
{
    if (!m_bBegun)
        return false;
    PrepareInput(printFile);
    m_job.inputFiles.append(printFile);
    if (!bookmark.isEmpty())
        m_job.bookmarks.insert(printFile, bookmark);
    return m_pServer->Add(printFile, bookmark);
}

void CGhostscriptStream::PrepareInput(const QString& printFile) const
{
    if (GhostscriptCommand::WithoutTransparency(m_job.options))
        SoftMaskImages::Replace(printFile);
}

GhostscriptResult CGhostscriptStream::Finish(StopGate* gate)
{
    if (!m_bBegun)
        return Failure(QStringLiteral("Ghostscript was given nothing to write."));
    m_bBegun = false;
    const GhostscriptServer::Outcome outcome = m_pServer->Finish(gate);
    GhostscriptResult result{true, m_strTarget, QString()};
    if (outcome.stopped)
        result = Failure(kStopped);
    else if (!outcome.ok)
        result = Failure(RunFailure(outcome));
    else if (!IsCompletePdf(m_strPartialPdf))
        result = Failure(QStringLiteral("Ghostscript wrote no PDF for \"%1\".").arg(m_strTarget));
    else
        result = Publish();
    RemoveFiles();
    return result;
}

GhostscriptResult CGhostscriptStream::Publish()
{
    using Existing = GhostscriptJob::Existing;
    QString error;
    switch (PdfPublisher::Publish(m_strPartialPdf, m_strTarget, m_job.existing == Existing::Replace, &error)) {
    case PdfPublisher::Result::Published:
        m_strPartialPdf.clear();
        return GhostscriptResult{true, m_strTarget, QString()};
    case PdfPublisher::Result::TargetExists: {
        GhostscriptResult result = Failure(QStringLiteral("\"%1\" already exists.").arg(m_strTarget));
        result.targetExists = true;
        if (m_job.existing == Existing::Hold)
            result.heldPdf = std::exchange(m_strPartialPdf, QString());
        return result;
    }
    case PdfPublisher::Result::Failed:
        break;
    }
    return Failure(error);
}

void CGhostscriptStream::Abandon()
{
    if (m_bBegun)
        m_pServer->Abandon();
    m_bBegun = false;
    RemoveFiles();
}

void CGhostscriptStream::RemoveFiles()
{
    for (QString* file : {&m_strPdfmarks, &m_strPartialPdf, &m_strOpening, &m_strProfile, &m_strClosing}) {
        if (!file->isEmpty())
            QFile::remove(*file);
        file->clear();
    }
}
