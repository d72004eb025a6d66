#pragma once

#include <QByteArray>

#include <atomic>

// Something that waits can be woken from another thread, or from a stop: a
// pipe whose read end turns readable on Wake() and stays so. Reads made
// through ReadLine wait on their file and on the pipe together, so a stop ends
// a read that no input would ever end (a FIFO without a writer, a terminal
// nobody types on, a pipe whose line never ends).
class WakePipe {
public:
    WakePipe();
    ~WakePipe();
    WakePipe(const WakePipe&) = delete;
    WakePipe& operator=(const WakePipe&) = delete;

    // Any thread; every wait on the pipe ends, now and later.
    void Wake();
    bool IsWoken() const { return m_bWoken; }

    enum class Read { Line, EndOfInput, Woken, Failed, TooLong };
    // Appends what fd gives to text until a newline (kept) comes, input ends,
    // more than maxBytes came, reading fails (errno tells why), or the pipe is woken.
    Read ReadLine(int fd, qsizetype maxBytes, QByteArray* text) const;

private:
    int m_fds[2] = {-1, -1};
    std::atomic<bool> m_bWoken{false};
};
