#include "cli/PasswordFile.h"

#include "cli/ArgumentBytes.h"
#include "cli/QuietTerminal.h"
#include "cli/WakePipe.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {
// Longer than any password; a larger file is most likely the wrong one.
constexpr qsizetype kMaxBytes = 64 * 1024;

QString CannotRead(const QString& file, int error)
{
    return QStringLiteral("cannot read the password file %1: %2").arg(file, QString::fromLocal8Bit(strerror(error)));
}
} // namespace

bool PasswordFile::Read(const QString& file, const QString& asked, const WakePipe& stop, QString* password,
                        QString* error)
{
    if (!ArgumentBytes::IsText(file)) {
        *error = QStringLiteral("the password file %1: its name is not valid UTF-8 text; rename it.").arg(file);
        return false;
    }
    const bool fromStdin = file == StdinName();
    // Without blocking, a FIFO opens before its writer comes; the wait for it
    // is then in the read, which a stop ends.
    const int fd = fromStdin ? STDIN_FILENO
                             : ::open(QFile::encodeName(file).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *error = CannotRead(file, errno);
        return false;
    }
    QByteArray text;
    const bool read = ReadFirstLine(fd, file, asked, stop, &text, error);
    if (!fromStdin)
        ::close(fd);
    if (read)
        *password = FirstLine(text);
    return read;
}

bool PasswordFile::ReadFirstLine(int fd, const QString& file, const QString& asked, const WakePipe& stop,
                                 QByteArray* text, QString* error)
{
    QuietTerminal terminal(fd);
    const bool typed = ::isatty(fd) == 1;
    if (typed && !terminal.EchoOff()) {
        *error = QStringLiteral("cannot read the password file %1: the terminal's echo cannot be turned off").arg(file);
        return false;
    }
    if (typed) {
        std::fprintf(stderr, "%s: ", asked.toLocal8Bit().constData());
        std::fflush(stderr);
    }
    const WakePipe::Read end = stop.ReadLine(fd, kMaxBytes, text);
    if (end == WakePipe::Read::Woken && typed)
        std::fputc('\n', stderr); // the prompt's line, left open by the stop
    if (end == WakePipe::Read::Failed)
        *error = CannotRead(file, errno);
    else if (end == WakePipe::Read::TooLong)
        *error = QStringLiteral("the password file %1 is too large to hold a password").arg(file);
    else if (end == WakePipe::Read::Woken)
        *error = QStringLiteral("stopped while reading the password file %1").arg(file);
    return end == WakePipe::Read::Line || end == WakePipe::Read::EndOfInput;
}

QString PasswordFile::FirstLine(const QByteArray& text)
{
    const qsizetype end = text.indexOf('\n');
    QByteArray line = end < 0 ? text : text.left(end);
    // A file written on Windows ends its line with "\r\n".
    if (end >= 0 && line.endsWith('\r'))
        line.chop(1);
    return QString::fromUtf8(line);
}
