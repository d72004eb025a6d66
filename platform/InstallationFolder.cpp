#include "platform/InstallationFolder.h"

#include <QFileInfo>

QString InstallationFolder()
{
    return QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath()).path();
}
