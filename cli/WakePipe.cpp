#include "cli/WakePipe.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

WakePipe::WakePipe()
{
    if (::pipe2(m_fds, O_CLOEXEC) != 0)
        m_fds[0] = m_fds[1] = -1;
}

WakePipe::~WakePipe()
{
    for (int fd : m_fds)
        if (fd >= 0)
            ::close(fd);
}

void WakePipe::Wake()
{
    // One byte, never read: the pipe stays readable for every later wait.
    if (!m_bWoken.exchange(true) && m_fds[1] >= 0)
        (void)!::write(m_fds[1], "x", 1);
}

WakePipe::Read WakePipe::ReadLine(int fd, qsizetype maxBytes, QByteArray* text) const
{
    for (;;) {
        // A negative fd (no pipe) is left out by poll.
        pollfd fds[2] = {{fd, POLLIN, 0}, {m_fds[0], POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return Read::Failed;
        }
        if (fds[1].revents != 0 || m_bWoken)
            return Read::Woken;
        char buffer[4096];
        const qsizetype room = std::min<qsizetype>(static_cast<qsizetype>(sizeof buffer), maxBytes + 1 - text->size());
        const ssize_t n = ::read(fd, buffer, static_cast<size_t>(room));
        if (n < 0 && (errno == EINTR || errno == EAGAIN))
            continue; // a file opened without blocking may have nothing yet
        if (n < 0)
            return Read::Failed;
        if (n == 0)
            return Read::EndOfInput;
        text->append(buffer, n);
        if (text->contains('\n'))
            return Read::Line;
        if (text->size() > maxBytes)
            return Read::TooLong;
    }
}
