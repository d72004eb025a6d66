#include "engine/GhostscriptStream.h"

#include "engine/GhostscriptCommand.h"
#include "engine/Pdfmarks.h"
#include "engine/PrivateFile.h"
#include "engine/ToUnicodeCheck.h"
#include "platform/StopGate.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

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

// The process's file-creation mask, read without changing it (umask() would, for every thread).
mode_t CurrentUmask()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("Umask:"))
                return mode_t(line.mid(6).trimmed().toUInt(nullptr, 8));
        }
    }
    return 022;
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

// The permissions the PDF gets: those of the file it replaces (a read-only PDF
// stays read-only), else those a new file gets.
mode_t ModeFor(const QByteArray& target)
{
    struct stat st {};
    if (::stat(target.constData(), &st) == 0 && S_ISREG(st.st_mode))
        return st.st_mode & 07777;
    return 0666 & ~CurrentUmask();
}

// Moves the finished PDF over the target.
bool Publish(const QString& partial, const QString& target, QString* error)
{
    const QByteArray from = QFile::encodeName(partial);
    const QByteArray to = QFile::encodeName(target);
    // Some file systems keep no modes: a refused chmod is no reason to lose the PDF.
    (void)::chmod(from.constData(), ModeFor(to));
    if (std::rename(from.constData(), to.constData()) != 0) {
        *error = QStringLiteral("Couldn't write \"%1\": %2")
                     .arg(target, QString::fromLocal8Bit(strerror(errno)));
        return false;
    }
    return true;
}

// The older PDF reader for the whole job when any print file needs it.
bool NeedOlderReader(const QStringList& inputFiles)
{
    return std::any_of(inputFiles.begin(), inputFiles.end(),
                       [](const QString& f) { return ToUnicodeCheck::NeedsOlderReader(f); });
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

GhostscriptResult CGhostscriptStream::Begin(StopGate* gate)
{
    if (gate && gate->StopRequested())
        return Failure(kStopped);
    const QString refused = GhostscriptCommand::CheckPasswords(m_job.options);
    if (!refused.isEmpty())
        return Failure(refused);
    if (m_job.runFolder.isEmpty() || !QFileInfo(m_job.runFolder).isDir())
        return Failure(QStringLiteral("The temporary folder of the conversion is missing."));

    QString error;
    if (!WritePdfmarks(&error)) {
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
    if (!m_pServer)
        m_pServer = &m_ownServer.emplace(m_job.runFolder, folder, m_job.interpreter);
    const GhostscriptServer::Outcome outcome = m_pServer->Begin(
        GhostscriptServer::Job{m_job.options, m_strPartialPdf, m_strPdfmarks, m_job.inputFiles,
                               NeedOlderReader(m_job.inputFiles)},
        gate);
    if (!outcome.ok) {
        RemoveFiles();
        return Failure(outcome.stopped ? kStopped : RunFailure(outcome));
    }
    m_bBegun = true;
    return GhostscriptResult{true, m_strTarget, QString()};
}

bool CGhostscriptStream::Add(const QString& printFile)
{
    if (!m_bBegun)
        return false;
    // A file that needs the older reader cannot join a job the newer one reads.
    if (!m_pServer->OlderReader() && ToUnicodeCheck::NeedsOlderReader(printFile))
        return false;
    m_job.inputFiles.append(printFile);
    return m_pServer->Add(printFile);
}

GhostscriptResult CGhostscriptStream::Finish(StopGate* gate)
{
    if (!m_bBegun)
        return Failure(QStringLiteral("Ghostscript was given nothing to write."));
    m_bBegun = false;
    const GhostscriptServer::Outcome outcome = m_pServer->Finish(gate);
    GhostscriptResult result{true, m_strTarget, QString()};
    QString error;
    if (outcome.stopped)
        result = Failure(kStopped);
    else if (!outcome.ok)
        result = Failure(RunFailure(outcome));
    else if (!IsCompletePdf(m_strPartialPdf))
        result = Failure(QStringLiteral("Ghostscript wrote no PDF for \"%1\".").arg(m_strTarget));
    else if (!Publish(m_strPartialPdf, m_strTarget, &error))
        result = Failure(error);
    else
        m_strPartialPdf.clear();
    RemoveFiles();
    return result;
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
    for (QString* file : {&m_strPdfmarks, &m_strPartialPdf}) {
        if (!file->isEmpty())
            QFile::remove(*file);
        file->clear();
    }
}
