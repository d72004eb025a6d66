#include "cli/OutputFolderCheck.h"

#include "cli/ArgumentBytes.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

QString OutputFolderCheck::Problem(const QString& folder)
{
    if (!ArgumentBytes::IsText(folder))
        return QStringLiteral("the output folder %1: its name is not valid UTF-8 text; rename it.").arg(folder);
    const QFileInfo info(folder);
    if (!info.exists())
        return QStringLiteral("the output folder %1 does not exist.").arg(folder);
    if (!info.isDir())
        return QStringLiteral("the output folder %1 is not a folder.").arg(folder);
    // A file made and removed at once: the only sure test (modes, read-only
    // mounts, access lists, a full disk's missing entries).
    QByteArray probe = QFile::encodeName(info.absoluteFilePath() + QStringLiteral("/.orvik-xl2pdf-probe-XXXXXX"));
    const int fd = ::mkstemp(probe.data());
    if (fd < 0)
        return QStringLiteral("the output folder %1 cannot be written: %2.")
            .arg(folder, QString::fromLocal8Bit(strerror(errno)));
    ::close(fd);
    ::unlink(probe.constData());
    return QString();
}
