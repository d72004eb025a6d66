#include "engine/GhostscriptStage.h"

#include "engine/GhostscriptCommand.h"
#include "engine/GhostscriptServer.h"
#include "engine/Pdfmarks.h"
#include "engine/PrivateFile.h"
#include "engine/ToUnicodeCheck.h"
#include "platform/StopGate.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <optional>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

namespace {

// The temporary files of one job; removed when the job ends, whatever happened.
struct JobFiles {
    QString pdfmarks;
    QString partialPdf;

    ~JobFiles()
    {
        for (const QString& f : {pdfmarks, partialPdf}) {
            if (!f.isEmpty())
                QFile::remove(f);
        }
    }
};

GhostscriptResult Failure(const QString& pdfPath, const QString& message)
{
    return GhostscriptResult{false, pdfPath, message};
}

QString BaseName(const QString& workbookPath)
{
    const QString name = workbookPath.mid(workbookPath.lastIndexOf(QLatin1Char('/')) + 1);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? name : name.left(dot);
}

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

bool WritePdfmarks(const GhostscriptJob& job, JobFiles& files, QString* error)
{
    files.pdfmarks = PrivateFile::CreateUnique(job.runFolder, QStringLiteral("pdfmarks-"), QString(), error);
    return !files.pdfmarks.isEmpty() &&
           Pdfmarks::WritePdfmarksFile(files.pdfmarks, Pdfmarks::BuildText(job.options), error);
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

} // namespace

QString PdfPathFor(const QString& outputFolder, const QString& workbookPath)
{
    QString path = outputFolder;
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    return path + BaseName(workbookPath) + QStringLiteral(".pdf");
}

GhostscriptResult ConvertWithGhostscript(const GhostscriptJob& job, StopGate* gate, GhostscriptServer* server)
{
    const QString target = PdfPathFor(job.outputFolder, job.workbookPath);
    if (gate && gate->StopRequested())
        return Failure(target, QStringLiteral("The conversion was stopped."));
    const QString refused = GhostscriptCommand::CheckPasswords(job.options);
    if (!refused.isEmpty())
        return Failure(target, refused);
    if (job.runFolder.isEmpty() || !QFileInfo(job.runFolder).isDir())
        return Failure(target, QStringLiteral("The temporary folder of the conversion is missing."));

    JobFiles files;
    QString error;
    if (!WritePdfmarks(job, files, &error))
        return Failure(target, error);
    const QString folder = QFileInfo(target).absolutePath();
    files.partialPdf = PrivateFile::CreateUnique(
        folder, QStringLiteral(".") + BaseName(job.workbookPath).left(64) + QStringLiteral(".pdf."),
        QStringLiteral(".part"), &error);
    if (files.partialPdf.isEmpty())
        return Failure(target, error);

    std::optional<GhostscriptServer> own;
    if (!server)
        server = &own.emplace(job.runFolder, folder, job.interpreter);
    const GhostscriptServer::Outcome outcome = server->Run(
        GhostscriptServer::Job{job.options, files.partialPdf, files.pdfmarks, job.inputFiles,
                               NeedOlderReader(job.inputFiles)},
        gate);
    if (outcome.stopped)
        return Failure(target, QStringLiteral("The conversion was stopped."));
    if (!outcome.ok)
        return Failure(target, RunFailure(outcome));
    if (!IsCompletePdf(files.partialPdf))
        return Failure(target, QStringLiteral("Ghostscript wrote no PDF for \"%1\".").arg(target));
    if (!Publish(files.partialPdf, target, &error))
        return Failure(target, error);
    files.partialPdf.clear();
    return GhostscriptResult{true, target, QString()};
}
