#include "platform/ProcessList.h"

#include <QByteArray>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

int PidfdOpen(pid_t pid)
{
    return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
}

int PidfdSignal(int pidfd, int signal)
{
    return static_cast<int>(::syscall(SYS_pidfd_send_signal, pidfd, signal, nullptr, 0));
}

bool ReadProcFile(pid_t pid, const char* file, QByteArray* text)
{
    const QByteArray path = "/proc/" + QByteArray::number(pid) + '/' + file;
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    char buffer[512];
    ssize_t n;
    while ((n = ::read(fd, buffer, sizeof buffer)) < 0 && errno == EINTR) {
    }
    ::close(fd);
    if (n <= 0)
        return false;
    *text = QByteArray(buffer, static_cast<int>(n));
    return true;
}

// The process name as the kernel keeps it (at most 15 bytes), without the newline.
bool ReadComm(pid_t pid, QByteArray* name)
{
    if (!ReadProcFile(pid, "comm", name))
        return false;
    if (name->endsWith('\n'))
        name->chop(1);
    return true;
}

// An ended process that its parent has not collected yet runs no more.
bool IsZombie(pid_t pid)
{
    QByteArray stat;
    if (!ReadProcFile(pid, "stat", &stat))
        return true;
    const int close = stat.lastIndexOf(')');
    return close < 0 || stat.mid(close + 2, 1) == "Z" || stat.mid(close + 2, 1) == "X";
}

pid_t PidOf(const char* entry)
{
    pid_t pid = 0;
    for (const char* c = entry; *c; ++c) {
        if (*c < '0' || *c > '9' || pid > 100000000)
            return 0;
        pid = pid * 10 + (*c - '0');
    }
    return pid;
}

// True once the process behind pidfd has ended (or waits, up to timeoutMs, for it).
bool WaitGone(int pidfd, int timeoutMs)
{
    pollfd pfd{pidfd, POLLIN, 0};
    int rc;
    while ((rc = ::poll(&pfd, 1, timeoutMs)) < 0 && errno == EINTR) {
    }
    return rc > 0;
}

} // namespace

CProcessList::~CProcessList()
{
    Clear();
}

void CProcessList::Clear()
{
    for (const Match& m : m_matches)
        ::close(m.pidfd);
    m_matches.clear();
}

bool CProcessList::Scan(const QStringList& names, QString* error)
{
    Clear();
    DIR* proc = ::opendir("/proc");
    if (!proc) {
        if (error)
            *error = QStringLiteral("The list of running processes could not be read from /proc: %1")
                         .arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    const pid_t self = ::getpid();
    while (dirent* entry = ::readdir(proc)) {
        const pid_t pid = PidOf(entry->d_name);
        if (pid <= 0 || pid == self)
            continue;
        // The pidfd first, the name second, then proof that the pidfd's process
        // still lives: only then was the name read from that very process.
        const int pidfd = PidfdOpen(pid);
        if (pidfd < 0)
            continue;
        QByteArray comm;
        const bool named = ReadComm(pid, &comm) && names.contains(QString::fromUtf8(comm)) && !IsZombie(pid);
        if (!named || (PidfdSignal(pidfd, 0) != 0 && errno == ESRCH)) {
            ::close(pidfd);
            continue;
        }
        m_matches.push_back({pid, QString::fromUtf8(comm), pidfd});
    }
    ::closedir(proc);
    return true;
}

int CProcessList::End(QStringList* problems)
{
    int failed = 0;
    for (const Match& m : m_matches) {
        QString problem;
        if (PidfdSignal(m.pidfd, SIGKILL) != 0 && errno != ESRCH) {
            const int e = errno;
            const QString reason = e == EPERM ? QStringLiteral("it belongs to another user; run with sudo")
                                              : QString::fromLocal8Bit(std::strerror(e));
            problem = QStringLiteral("The process %1 (\"%2\") could not be ended: %3.").arg(m.pid).arg(m.name, reason);
        } else if (!WaitGone(m.pidfd, kEndWaitMs)) {
            problem = QStringLiteral("The process %1 (\"%2\") was told to end but is still running after %3 s.")
                          .arg(m.pid)
                          .arg(m.name)
                          .arg(kEndWaitMs / 1000);
        }
        if (!problem.isEmpty()) {
            ++failed;
            if (problems)
                problems->append(problem);
        }
    }
    return failed;
}
