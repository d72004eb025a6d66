#include "platform/DiskSpace.h"

#include <QFile>

#include <sys/statvfs.h>

qint64 DiskSpace::FreeBytes(const QString& folder)
{
    struct statvfs st {};
    if (::statvfs(QFile::encodeName(folder).constData(), &st) != 0)
        return -1;
    return qint64(st.f_bavail) * qint64(st.f_frsize);
}

bool DiskSpace::Short(const QString& folder, qint64 minBytes)
{
    struct statvfs st {};
    if (::statvfs(QFile::encodeName(folder).constData(), &st) != 0)
        return false;
    // File systems without a count of entries report 0 of 0.
    const bool noEntries = st.f_files > 0 && st.f_favail == 0;
    return noEntries || qint64(st.f_bavail) * qint64(st.f_frsize) < minBytes;
}
