#include "engine/PdfPublisher.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

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

// The permissions the PDF gets: those of the file it replaces (a read-only PDF
// stays read-only), else those a new file gets.
mode_t ModeFor(const QByteArray& target)
{
    struct stat st {};
    if (::stat(target.constData(), &st) == 0 && S_ISREG(st.st_mode))
        return st.st_mode & 07777;
    return 0666 & ~CurrentUmask();
}

} // namespace

PdfPublisher::Target PdfPublisher::Inspect(const QString& target)
{
    struct stat st {};
    if (::lstat(QFile::encodeName(target).constData(), &st) != 0)
        return errno == ENOENT || errno == ENOTDIR ? Target::Absent : Target::File;
    return S_ISDIR(st.st_mode) ? Target::Folder : Target::File;
}

PdfPublisher::Result PdfPublisher::Publish(const QString& partial, const QString& target, bool replace,
                                           QString* error)
{
    const QByteArray from = QFile::encodeName(partial);
    const QByteArray to = QFile::encodeName(target);
    // Some file systems keep no modes: a refused chmod is no reason to lose the PDF.
    (void)::chmod(from.constData(), ModeFor(to));
    int failure = 0;
    if (replace) {
        if (std::rename(from.constData(), to.constData()) != 0)
            failure = errno;
    } else if (!MoveNoReplace(from, to, &failure) && failure == EEXIST) {
        return Result::TargetExists;
    }
    if (failure == 0)
        return Result::Published;
    *error = QStringLiteral("Couldn't write \"%1\": %2").arg(target, QString::fromLocal8Bit(strerror(failure)));
    return Result::Failed;
}

bool PdfPublisher::MoveNoReplace(const QByteArray& from, const QByteArray& to, int* error)
{
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return true;
    *error = errno;
    if (*error != EINVAL && *error != ENOSYS && *error != ENOTSUP)
        return false;
    // A file system without the flag: a hard link fails as well when the name is taken.
    if (::link(from.constData(), to.constData()) == 0) {
        ::unlink(from.constData());
        return true;
    }
    *error = errno;
    if (*error != EPERM && *error != ENOTSUP)
        return false;
    // Nor hard links (FAT): the last look before the move is all there is.
    if (Inspect(QFile::decodeName(to)) != Target::Absent) {
        *error = EEXIST;
        return false;
    }
    if (std::rename(from.constData(), to.constData()) == 0)
        return true;
    *error = errno;
    return false;
}
