#pragma once

#include <QString>
#include <QStringList>

#include <sys/types.h>
#include <vector>

// The running processes whose name (/proc/<pid>/comm) equals one of the given
// names exactly, case included. Each match is held by a pidfd taken during the
// scan, so ending it later can never hit a process that reused its number. The
// calling process itself is never listed.
class CProcessList {
public:
    struct Match {
        pid_t pid = 0;
        QString name;
        int pidfd = -1;
    };

    CProcessList() = default;
    ~CProcessList();
    CProcessList(const CProcessList&) = delete;
    CProcessList& operator=(const CProcessList&) = delete;

    // Replaces the list with the processes named exactly one of names. False, with
    // *error set, when /proc cannot be read; the list is then empty.
    bool Scan(const QStringList& names, QString* error = nullptr);

    const std::vector<Match>& Matches() const { return m_matches; }
    bool IsEmpty() const { return m_matches.empty(); }

    // Sends SIGKILL to every listed process that still runs, through its pidfd,
    // and waits up to 5 s for each to end. A process that ended on its own counts
    // as ended. Returns the number that could not be ended, with one line each in
    // *problems (no rights, or still there after the wait).
    int End(QStringList* problems = nullptr);

    // How long End() waits for each process to go.
    static constexpr int kEndWaitMs = 5000;

private:
    void Clear();

    std::vector<Match> m_matches;
};
