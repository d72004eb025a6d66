#include "engine/PrivateFile.h"

#include "platform/StaleRunFiles.h"

#include <QFile>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString ErrnoText()
{
    return QString::fromLocal8Bit(strerror(errno));
}

bool WriteAll(int fd, const QByteArray& data)
{
    qsizetype done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.constData() + done, size_t(data.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

} // namespace

namespace PrivateFile {

bool Write(const QString& path, const QByteArray& data, QString* error)
{
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW,
                          0600);
    bool ok = fd >= 0 && ::fchmod(fd, 0600) == 0 && WriteAll(fd, data);
    const QString reason = ok ? QString() : ErrnoText();
    if (fd >= 0 && ::close(fd) != 0 && ok)
        ok = false;
    if (!ok && error)
        *error = QStringLiteral("Couldn't write the file \"%1\": %2").arg(path, reason);
    return ok;
}

QString CreateUnique(const QString& folder, const QString& prefix, const QString& suffix,
                     QString* error)
{
    // The process id in the name lets a later run remove what a killed run left.
    QByteArray pattern = QFile::encodeName(folder + QLatin1Char('/') + prefix + StaleRunFiles::NamePart() +
                                           QStringLiteral("XXXXXX") + suffix);
    const int fd = ::mkstemps(pattern.data(), int(QFile::encodeName(suffix).size()));
    if (fd < 0) {
        if (error)
            *error = QStringLiteral("Couldn't create a file in the folder \"%1\": %2")
                         .arg(folder, ErrnoText());
        return QString();
    }
    ::close(fd);
    return QFile::decodeName(pattern);
}

} // namespace PrivateFile
