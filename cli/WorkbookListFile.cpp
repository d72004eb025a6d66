#include "cli/WorkbookListFile.h"

#include "cli/ArgumentBytes.h"
#include "cli/WakePipe.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {
// A longer line is no path; a larger list is most likely the wrong file.
constexpr qsizetype kMaxLine = 64 * 1024;
constexpr qsizetype kMaxBytes = 256LL * 1024 * 1024;

QString CannotRead(const QString& file, int error)
{
    return QStringLiteral("cannot read the list of workbooks %1: %2").arg(file, QString::fromLocal8Bit(strerror(error)));
}
} // namespace

bool WorkbookListFile::Read(const QString& file, const WakePipe& stop, QStringList* paths, QString* error)
{
    const bool fromStdin = file == StdinName();
    // Without blocking, a FIFO opens before its writer comes; the wait is then
    // in the reads, which a stop ends.
    const int fd = fromStdin ? STDIN_FILENO
                             : ::open(QFile::encodeName(file).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *error = CannotRead(file, errno);
        return false;
    }
    QByteArray text;
    const bool read = ReadAll(fd, file, stop, &text, error);
    if (!fromStdin)
        ::close(fd);
    if (read)
        *paths << Entries(text);
    return read;
}

bool WorkbookListFile::ReadAll(int fd, const QString& file, const WakePipe& stop, QByteArray* text, QString* error)
{
    for (;;) {
        QByteArray chunk;
        switch (stop.ReadLine(fd, kMaxLine, &chunk)) {
        case WakePipe::Read::EndOfInput:
            text->append(chunk);
            return true;
        case WakePipe::Read::Line:
            text->append(chunk);
            if (text->size() <= kMaxBytes)
                continue;
            *error = QStringLiteral("the list of workbooks %1 is larger than %2 MB").arg(file).arg(kMaxBytes >> 20);
            return false;
        case WakePipe::Read::TooLong:
            *error = QStringLiteral("the list of workbooks %1 has a line of more than %2 KB: no path is that long")
                         .arg(file)
                         .arg(kMaxLine >> 10);
            return false;
        case WakePipe::Read::Woken:
            *error = QStringLiteral("stopped while reading the list of workbooks %1").arg(file);
            return false;
        case WakePipe::Read::Failed:
            *error = CannotRead(file, errno);
            return false;
        }
    }
}

QStringList WorkbookListFile::Entries(const QByteArray& text)
{
    QStringList paths;
    for (QByteArray line : text.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (!line.trimmed().isEmpty())
            paths << ArgumentBytes::Decode(line);
    }
    return paths;
}
