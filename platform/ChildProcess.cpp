#include "platform/ChildProcess.h"

#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

std::vector<QByteArray> BuildEnvironment(const QStringList& extra)
{
    std::vector<QByteArray> env;
    for (char** e = environ; e && *e; ++e) {
        QByteArray entry(*e);
        const QByteArray name = entry.left(entry.indexOf('=') + 1);
        bool replaced = false;
        for (const QString& x : extra)
            replaced = replaced || x.toLocal8Bit().startsWith(name);
        if (!replaced)
            env.push_back(entry);
    }
    for (const QString& x : extra)
        env.push_back(x.toLocal8Bit());
    return env;
}

std::vector<char*> PointersTo(std::vector<QByteArray>& items)
{
    std::vector<char*> ptrs;
    for (QByteArray& item : items)
        ptrs.push_back(item.data());
    ptrs.push_back(nullptr);
    return ptrs;
}

QString ResolveProgram(const QString& program)
{
    if (program.contains(QLatin1Char('/')))
        return program;
    return QStandardPaths::findExecutable(program);
}

// A parent-death signal fires when the thread that forked the child ends, not
// the program. Children that are to end with the program are therefore forked
// by this thread, which lives as long as the program does (it is never joined).
class Launcher {
public:
    static Launcher& Instance()
    {
        static Launcher* launcher = new Launcher; // never destroyed: its thread must outlive every child
        return *launcher;
    }

    // Runs fork on the launcher thread and returns what it returned.
    pid_t Run(const std::function<pid_t()>& fork)
    {
        Task task{&fork};
        std::unique_lock lock(m_mutex);
        m_tasks.push_back(&task);
        m_cv.notify_all();
        m_cv.wait(lock, [&task] { return task.done; });
        return task.pid;
    }

private:
    struct Task {
        const std::function<pid_t()>* fork;
        pid_t pid = -1;
        bool done = false;
    };

    Launcher()
    {
        // No signal reaches this thread; the children unblock theirs themselves.
        sigset_t all, old;
        sigfillset(&all);
        pthread_sigmask(SIG_SETMASK, &all, &old);
        std::thread([this] { Serve(); }).detach();
        pthread_sigmask(SIG_SETMASK, &old, nullptr);
    }
    void Serve()
    {
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_cv.wait(lock, [this] { return !m_tasks.empty(); });
            Task* task = m_tasks.front();
            m_tasks.erase(m_tasks.begin());
            lock.unlock();
            const pid_t pid = (*task->fork)();
            lock.lock();
            task->pid = pid;
            task->done = true;
            m_cv.notify_all();
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_cv;
    std::vector<Task*> m_tasks;
};

} // namespace

ChildProcess::~ChildProcess()
{
    if (Running())
        Kill();
    ClosePipes();
}

bool ChildProcess::OpenPipes(ChildStreams* child, int* error)
{
    // Close-on-exec on every end: no other child started meanwhile inherits
    // them; the child's own ends become its standard streams through dup2.
    int in[2], out[2];
    if (pipe2(in, O_CLOEXEC) != 0) {
        *error = errno;
        return false;
    }
    if (pipe2(out, O_CLOEXEC) != 0) {
        *error = errno;
        close(in[0]);
        close(in[1]);
        return false;
    }
    child->input = in[0];
    child->output = out[1];
    m_nInputFd = in[1];
    m_nOutputFd = out[0];
    return true;
}

void ChildProcess::CloseInput()
{
    if (m_nInputFd >= 0)
        close(m_nInputFd);
    m_nInputFd = -1;
}

void ChildProcess::ClosePipes()
{
    CloseInput();
    if (m_nOutputFd >= 0)
        close(m_nOutputFd);
    m_nOutputFd = -1;
}

bool ChildProcess::Start(const QString& program, const QStringList& arguments, QString* error)
{
    const QString path = ResolveProgram(program);
    if (path.isEmpty() || !QFileInfo(path).isExecutable()) {
        if (error)
            *error = QStringLiteral("The program \"%1\" was not found.").arg(program);
        return false;
    }
    std::vector<QByteArray> args{QFile::encodeName(path)};
    for (const QString& a : arguments)
        args.push_back(a.toUtf8());
    std::vector<QByteArray> env = BuildEnvironment(m_lstExtraEnv);
    std::vector<char*> argv = PointersTo(args);
    std::vector<char*> envp = PointersTo(env);

    const QByteArray out = m_strOutputFile.isEmpty() ? QByteArray("/dev/null")
                                                     : QFile::encodeName(m_strOutputFile);
    int rc = 0;
    ClosePipes();
    ChildStreams streams;
    pid_t pid = -1;
    if (!m_bPiped || OpenPipes(&streams, &rc)) {
        pid = m_bEndWithParent
                  ? Launcher::Instance().Run([&] { return ForkWithParentDeath(argv.data(), envp.data(), out, streams, &rc); })
                  : Spawn(argv.data(), envp.data(), out, streams, &rc);
    }
    for (int fd : {streams.input, streams.output}) {
        if (fd >= 0)
            close(fd);
    }
    if (pid <= 0) {
        ClosePipes();
        if (error)
            *error = QStringLiteral("The program \"%1\" could not be started: %2")
                         .arg(program, QString::fromLocal8Bit(strerror(rc)));
        return false;
    }
    std::lock_guard lock(m_mutex);
    m_pid = pid;
    m_bReaped = false;
    m_nExitCode = -1;
    return true;
}

pid_t ChildProcess::Spawn(char* const argv[], char* const envp[], const QByteArray& output,
                          ChildStreams streams, int* error)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (streams.input >= 0)
        posix_spawn_file_actions_adddup2(&actions, streams.input, 0);
    else
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    if (streams.output >= 0)
        posix_spawn_file_actions_adddup2(&actions, streams.output, 1);
    else
        posix_spawn_file_actions_addopen(&actions, 1, output.constData(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK);
    posix_spawnattr_setpgroup(&attr, 0);
    posix_spawnattr_setsigmask(&attr, &none);
    pid_t pid = 0;
    *error = posix_spawn(&pid, argv[0], &actions, &attr, argv, envp);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
    return *error == 0 ? pid : -1;
}

// fork and exec by hand: posix_spawn cannot ask for a parent-death signal. Only
// async-signal-safe calls run between fork and exec; a close-on-exec pipe
// carries a failed exec's errno back.
pid_t ChildProcess::ForkWithParentDeath(char* const argv[], char* const envp[], const QByteArray& output,
                                        ChildStreams streams, int* error)
{
    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0) {
        *error = errno;
        return -1;
    }
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid == 0) {
        close(report[0]);
        setpgid(0, 0);
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent)
            _exit(127);
        sigset_t none;
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, nullptr);
        const int in = streams.input >= 0 ? streams.input : open("/dev/null", O_RDONLY);
        const int out = streams.output >= 0 ? streams.output
                                            : open(output.constData(), O_WRONLY | O_CREAT | O_APPEND, 0600);
        if (in < 0 || out < 0 || dup2(in, 0) < 0 || dup2(out, 1) < 0 || dup2(out, 2) < 0) {
            const int e = errno;
            (void)!write(report[1], &e, sizeof e);
            _exit(127);
        }
        execve(argv[0], argv, envp);
        const int e = errno;
        (void)!write(report[1], &e, sizeof e);
        _exit(127);
    }
    close(report[1]);
    if (pid < 0) {
        *error = errno;
        close(report[0]);
        return -1;
    }
    setpgid(pid, pid);
    int childError = 0;
    ssize_t n;
    while ((n = read(report[0], &childError, sizeof childError)) < 0 && errno == EINTR) {
    }
    close(report[0]);
    if (n == static_cast<ssize_t>(sizeof childError)) {
        waitpid(pid, nullptr, 0);
        *error = childError;
        return -1;
    }
    return pid;
}

bool ChildProcess::TryReap(bool block) const
{
    if (block) {
        // Wait for the end without reaping and without the lock, so that
        // Terminate() stays possible meanwhile and the pid cannot be reused.
        pid_t pid;
        {
            std::lock_guard lock(m_mutex);
            if (m_bReaped)
                return true;
            pid = m_pid;
        }
        siginfo_t info{};
        while (waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOWAIT) < 0 && errno == EINTR) {
        }
    }
    std::lock_guard lock(m_mutex);
    if (m_bReaped)
        return true;
    int status = 0;
    pid_t r;
    do {
        r = waitpid(m_pid, &status, block ? 0 : WNOHANG);
    } while (r < 0 && errno == EINTR);
    if (r == 0)
        return false;
    m_bReaped = true;
    m_nExitCode = (r > 0 && WIFEXITED(status)) ? WEXITSTATUS(status) : -1;
    return true;
}

bool ChildProcess::WaitForExit(int timeoutMs)
{
    if (timeoutMs < 0)
        return TryReap(true);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    int pidfd = static_cast<int>(syscall(SYS_pidfd_open, m_pid, 0));
    auto step = std::chrono::milliseconds(1);
    while (!TryReap(false)) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            if (pidfd >= 0)
                close(pidfd);
            return false;
        }
        if (pidfd >= 0) {
            pollfd pfd{pidfd, POLLIN, 0};
            poll(&pfd, 1, static_cast<int>(left.count()));
        } else {
            std::this_thread::sleep_for(std::min(step, left));
            step = std::min(step * 2, std::chrono::milliseconds(20));
        }
    }
    if (pidfd >= 0)
        close(pidfd);
    return true;
}

bool ChildProcess::Running() const
{
    return !TryReap(false);
}

int ChildProcess::ExitCode() const
{
    std::lock_guard lock(m_mutex);
    return m_nExitCode;
}

void ChildProcess::Terminate()
{
    std::lock_guard lock(m_mutex);
    if (!m_bReaped && m_pid > 0)
        ::kill(-m_pid, SIGKILL);
}

void ChildProcess::Kill()
{
    Terminate();
    TryReap(true);
}
