#pragma once

// Children with chosen process names (copies of sleep), for tests that find
// and end processes by name through /proc.
#include <QFile>
#include <QTemporaryDir>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

namespace testsupport {

class NamedSleepers {
public:
    ~NamedSleepers()
    {
        for (pid_t pid : m_pids) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
    }

    // Starts a copy of sleep whose process name is name (any user may run it).
    pid_t Start(const QString& name)
    {
        const QString path = m_dir.filePath(name);
        if (!QFile::exists(path) && !QFile::copy(QStringLiteral("/bin/sleep"), path))
            return -1;
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadOther
                                        | QFileDevice::ExeOther);
        const QByteArray file = QFile::encodeName(path);
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::execl(file.constData(), file.constData(), "1000", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        m_pids.push_back(pid);
        WaitNamed(pid, name);
        return pid;
    }

    // How a child ended: the signal that killed it, 0 while it still runs.
    static int KilledBy(pid_t pid)
    {
        siginfo_t info{};
        if (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) != 0 || info.si_pid == 0)
            return 0;
        return info.si_code == CLD_KILLED ? info.si_status : -1;
    }

    const QTemporaryDir& Dir() const { return m_dir; }

private:
    // Until exec has given the child its new name.
    static void WaitNamed(pid_t pid, const QString& name)
    {
        for (int i = 0; i < 500; ++i) {
            QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
            if (comm.open(QIODevice::ReadOnly) && comm.readAll().trimmed() == name.toUtf8())
                return;
            ::usleep(2000);
        }
    }

    QTemporaryDir m_dir;
    std::vector<pid_t> m_pids;
};

} // namespace testsupport
