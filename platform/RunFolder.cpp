#include "platform/RunFolder.h"

#include "platform/StaleRunFiles.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstdlib>
#include <cstring>

RunFolder::RunFolder()
{
    QByteArray pattern = QFile::encodeName(QDir::tempPath() + QStringLiteral("/orvik-run-") + StaleRunFiles::NamePart()
                                             + QStringLiteral("XXXXXX"));
    // mkdtemp makes the folder with mode 0700 and a name nobody else holds.
    if (mkdtemp(pattern.data()))
        m_strPath = QFile::decodeName(pattern);
    else
        m_strError = QStringLiteral("Couldn't create a temporary folder in %1: %2")
                         .arg(QDir::tempPath(), QString::fromLocal8Bit(strerror(errno)));
}

RunFolder::~RunFolder()
{
    Remove();
}

QString RunFolder::FilePath(const QString& name) const
{
    return m_strPath + QLatin1Char('/') + name;
}

void RunFolder::Remove()
{
    if (m_strPath.isEmpty())
        return;
    QDir(m_strPath).removeRecursively();
    m_strPath.clear();
}
