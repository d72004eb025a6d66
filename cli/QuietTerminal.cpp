#include "cli/QuietTerminal.h"

#include <fcntl.h>
#include <unistd.h>

QuietTerminal::QuietTerminal() : m_fd(::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC)), m_bOwned(true) {}

QuietTerminal::QuietTerminal(int fd) : m_fd(fd), m_bOwned(false) {}

QuietTerminal::~QuietTerminal()
{
    if (m_bEchoOff)
        ::tcsetattr(m_fd, TCSAFLUSH, &m_saved);
    if (m_bOwned && m_fd >= 0)
        ::close(m_fd);
}

bool QuietTerminal::EchoOff()
{
    if (m_fd < 0 || ::tcgetattr(m_fd, &m_saved) != 0)
        return false;
    termios quiet = m_saved;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    quiet.c_lflag |= ECHONL;
    m_bEchoOff = ::tcsetattr(m_fd, TCSAFLUSH, &quiet) == 0;
    return m_bEchoOff;
}

void QuietTerminal::Write(const QByteArray& text)
{
    (void)!::write(m_fd, text.constData(), static_cast<size_t>(text.size()));
}
