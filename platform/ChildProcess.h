#pragma once

#include <QString>
#include <QStringList>

#include <mutex>
#include <sys/types.h>

// A child program started from an argument list (never through a shell), in a
// process group of its own so that ending it also ends whatever it started.
// Standard input is /dev/null; standard output and error go to a file or to
// /dev/null; the child starts with no signal blocked. Unless told otherwise it
// ends with this program, also when the program is killed. The owner thread
// starts and waits; any thread may Terminate().
class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Output of the child (stdout and stderr) is appended to this file (mode 0600).
    void SetOutputFile(const QString& path) { m_strOutputFile = path; }
    // On: standard input, and standard output with error, are pipes to this
    // program (InputFd(), OutputFd()) instead of /dev/null and the output file.
    void SetPiped(bool on) { m_bPiped = on; }
    // The program's ends of the pipes of a piped child; -1 otherwise. Both are
    // closed with this object; CloseInput() closes the input end earlier.
    int InputFd() const { return m_nInputFd; }
    int OutputFd() const { return m_nOutputFd; }
    void CloseInput();

    // "NAME=value" entries added to (or replacing in) the inherited environment.
    void SetExtraEnvironment(const QStringList& entries) { m_lstExtraEnv = entries; }

    // On (the default): the child is killed when this program ends, even when
    // the program is killed itself, so that no helper (the office, Ghostscript)
    // outlives it. Off: the child may outlive the program.
    void SetEndWithParent(bool on) { m_bEndWithParent = on; }

    // Resolves a bare program name on PATH. False, with a message, when it cannot start.
    bool Start(const QString& program, const QStringList& arguments, QString* error = nullptr);

    // Waits up to timeoutMs (negative: without limit). True once the child has ended.
    bool WaitForExit(int timeoutMs = -1);
    // Exit status of an ended child: its exit code, or -1 when a signal ended it.
    int ExitCode() const;
    // False once the child has ended (an ended child is reaped here, so none
    // stays a zombie while its owner polls).
    bool Running() const;
    pid_t Pid() const { return m_pid; }

    // Sends SIGKILL to the child's process group; safe from any thread.
    void Terminate();
    // Terminate() and wait until the child is gone.
    void Kill();

private:
    // The child's ends of its standard streams: a pipe end, or -1 for a file.
    struct ChildStreams {
        int input = -1;
        int output = -1;
    };

    bool TryReap(bool block) const;
    bool OpenPipes(ChildStreams* child, int* error);
    void ClosePipes();
    pid_t Spawn(char* const argv[], char* const envp[], const QByteArray& output, ChildStreams streams,
                int* error);
    pid_t ForkWithParentDeath(char* const argv[], char* const envp[], const QByteArray& output,
                              ChildStreams streams, int* error);

    QString m_strOutputFile;
    QStringList m_lstExtraEnv;
    bool m_bEndWithParent = true;
    bool m_bPiped = false;
    int m_nInputFd = -1;
    int m_nOutputFd = -1;
    pid_t m_pid = 0;
    mutable bool m_bReaped = true;
    mutable int m_nExitCode = -1;
    mutable std::mutex m_mutex;
};
