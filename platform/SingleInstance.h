#pragma once

#include <QString>

// Keeps the converter to one running copy per user: a lock file in the user's
// runtime folder, held with flock for as long as the object (and so the
// process) lives. The kernel frees the lock at any exit, a crash or a kill
// included, so a stale file never keeps the program from starting; the file
// itself stays. The descriptor is close-on-exec: programs started later (a
// browser opened by Help) do not inherit the lock.
class CSingleInstance {
public:
    enum class Result {
        Held,           // this process holds the lock
        AlreadyRunning, // another process holds it
        Unguarded,      // the folder or the file cannot be used: start anyway
    };

    static constexpr char kName[] = "OrvikExcelToPDF";

    // folder: where the lock file goes; empty for DefaultFolder().
    explicit CSingleInstance(const QString& folder = QString());
    ~CSingleInstance();
    CSingleInstance(const CSingleInstance&) = delete;
    CSingleInstance& operator=(const CSingleInstance&) = delete;

    // Opens the lock file and tries to lock it without waiting. Later calls
    // return the first result.
    Result Acquire();
    // Closes the file, which frees the lock.
    void Release();

    QString LockPath() const { return m_strPath; }
    Result State() const { return m_result; }

    // $XDG_RUNTIME_DIR, else Qt's per-user runtime folder (mode 0700).
    static QString DefaultFolder();

private:
    QString m_strPath;
    int m_fd = -1;
    bool m_bTried = false;
    Result m_result = Result::Unguarded;
};
