#pragma once

#include <QString>
#include <QStringList>

#include <mutex>
#include <sys/types.h>

// A child program started from an argument list (never through a shell), in a
// process group of its own so that ending it also ends whatever it started.
// Standard input is /dev/null; standard output and error go to a file or to
// /dev/null. The owner thread starts and waits; any thread may Terminate().
class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Output of the child (stdout and stderr) is appended to this file (mode 0600).
    void SetOutputFile(const QString& path) { m_strOutputFile = path; }
    // "NAME=value" entries added to (or replacing in) the inherited environment.
    void SetExtraEnvironment(const QStringList& entries) { m_lstExtraEnv = entries; }

    // The child is killed when the thread that started it ends, even when this
    // program is killed itself (for helpers such as the office, which must not
    // outlive the program). Keep the starting thread alive as long as the child.
    void SetEndWithParent(bool on) { m_bEndWithParent = on; }

    // Resolves a bare program name on PATH. False, with a message, when it cannot start.
    bool Start(const QString& program, const QStringList& arguments, QString* error = nullptr);

    // Waits up to timeoutMs (negative: without limit). True once the child has ended.
    bool WaitForExit(int timeoutMs = -1);
    // Exit status of an ended child: its exit code, or -1 when a signal ended it.
    int ExitCode() const { return m_nExitCode; }
    bool Running() const;
    pid_t Pid() const { return m_pid; }

    // Sends SIGKILL to the child's process group; safe from any thread.
    void Terminate();
    // Terminate() and wait until the child is gone.
    void Kill();

private:
    bool TryReap(bool block);
    pid_t Spawn(char* const argv[], char* const envp[], const QByteArray& output, int* error);
    pid_t ForkWithParentDeath(char* const argv[], char* const envp[], const QByteArray& output, int* error);

    QString m_strOutputFile;
    QStringList m_lstExtraEnv;
    bool m_bEndWithParent = false;
    pid_t m_pid = 0;
    bool m_bReaped = true;
    int m_nExitCode = -1;
    mutable std::mutex m_mutex;
};
