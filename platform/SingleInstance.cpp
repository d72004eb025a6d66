#include "platform/SingleInstance.h"

#include <QFile>
#include <QStandardPaths>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

CSingleInstance::CSingleInstance(const QString& folder)
{
    const QString dir = folder.isEmpty() ? DefaultFolder() : folder;
    if (!dir.isEmpty())
        m_strPath = dir + QStringLiteral("/") + QLatin1String(kName) + QStringLiteral(".lock");
}

CSingleInstance::~CSingleInstance() { Release(); }

QString CSingleInstance::DefaultFolder()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty())
        return runtime;
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
}

CSingleInstance::Result CSingleInstance::Acquire()
{
    if (m_bTried)
        return m_result;
    m_bTried = true;
    m_result = Result::Unguarded;
    if (m_strPath.isEmpty())
        return m_result;
    // No symbolic link is followed: a link planted in a shared folder cannot
    // make us create or lock a file elsewhere.
    const int fd = ::open(QFile::encodeName(m_strPath).constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return m_result;
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != geteuid()) {
        ::close(fd);
        return m_result;
    }
    int rc = 0;
    while ((rc = flock(fd, LOCK_EX | LOCK_NB)) != 0 && errno == EINTR) {
    }
    if (rc != 0) {
        const bool taken = errno == EWOULDBLOCK;
        ::close(fd);
        m_result = taken ? Result::AlreadyRunning : Result::Unguarded;
        return m_result;
    }
    m_fd = fd;
    m_result = Result::Held;
    return m_result;
}

void CSingleInstance::Release()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}
