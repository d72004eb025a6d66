#include "cli/TerminalPrompts.h"

#include <QByteArray>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {
constexpr int kOk = 1;
constexpr int kCancel = 2;
constexpr int kYes = 6;
constexpr int kNo = 7;

// The controlling terminal, closed (with its echo back on) when the object goes.
class Terminal {
public:
    Terminal() : m_fd(::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC)) {}
    ~Terminal()
    {
        if (m_bEchoOff)
            ::tcsetattr(m_fd, TCSAFLUSH, &m_saved);
        if (m_fd >= 0)
            ::close(m_fd);
    }
    bool IsOpen() const { return m_fd >= 0; }
    int Fd() const { return m_fd; }

    bool EchoOff()
    {
        if (::tcgetattr(m_fd, &m_saved) != 0)
            return false;
        termios quiet = m_saved;
        quiet.c_lflag &= ~tcflag_t(ECHO);
        quiet.c_lflag |= ECHONL;
        m_bEchoOff = ::tcsetattr(m_fd, TCSAFLUSH, &quiet) == 0;
        return m_bEchoOff;
    }
    void Write(const QByteArray& text) { (void)!::write(m_fd, text.constData(), size_t(text.size())); }

private:
    int m_fd;
    termios m_saved{};
    bool m_bEchoOff = false;
};
} // namespace

TerminalPrompts::TerminalPrompts(bool overwrite, bool havePassword, const QString& password, FILE* messages)
    : m_bOverwrite(overwrite), m_bHavePassword(havePassword), m_strPassword(password), m_pMessages(messages)
{
    if (::pipe2(m_wakeFds, O_CLOEXEC) != 0)
        m_wakeFds[0] = m_wakeFds[1] = -1;
}

TerminalPrompts::~TerminalPrompts()
{
    for (int fd : m_wakeFds)
        if (fd >= 0)
            ::close(fd);
}

int TerminalPrompts::ShowMessageBox(const QString& text, int type)
{
    if (type == 0) {
        ShowPlainMessage(text);
        return kYes;
    }
    // The only yes-or-no question of a run: replace an existing PDF.
    return m_bOverwrite ? kYes : kNo;
}

void TerminalPrompts::ShowPlainMessage(const QString& text)
{
    std::fprintf(m_pMessages, "orvik-xl2pdf: %s\n", text.simplified().toLocal8Bit().constData());
    std::fflush(m_pMessages);
}

int TerminalPrompts::AskWorkbookPassword(const QString& fileName, QString* password)
{
    password->clear();
    if (m_bHavePassword && !m_bFileTried) {
        m_bFileTried = true;
        *password = m_strPassword;
        return kOk;
    }
    const QString prompt = (m_nTerminalAsks > 0 || m_bFileTried ? QStringLiteral("Wrong password. ") : QString())
                           + QStringLiteral("Password for %1 (Ctrl-D skips it): ").arg(fileName);
    ++m_nTerminalAsks;
    QString typed;
    if (!ReadFromTerminal(prompt, &typed))
        return kCancel;
    *password = typed;
    return kOk;
}

void TerminalPrompts::NewWorkbook()
{
    m_bFileTried = false;
    m_nTerminalAsks = 0;
}

void TerminalPrompts::Interrupt()
{
    if (m_wakeFds[1] >= 0)
        (void)!::write(m_wakeFds[1], "x", 1);
}

bool TerminalPrompts::ReadFromTerminal(const QString& prompt, QString* line)
{
    Terminal tty;
    if (!tty.IsOpen() || !tty.EchoOff()) {
        m_bNoOneToAsk = true;
        return false;
    }
    tty.Write(prompt.toLocal8Bit());
    QByteArray bytes;
    for (;;) {
        pollfd fds[2] = {{tty.Fd(), POLLIN, 0}, {m_wakeFds[0], POLLIN, 0}};
        if (::poll(fds, m_wakeFds[0] >= 0 ? 2 : 1, -1) < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (fds[1].revents)
            return false; // interrupted: the run is stopping
        char c = 0;
        const ssize_t n = ::read(tty.Fd(), &c, 1);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false; // end of input (Ctrl-D on an empty line)
        if (c == '\n')
            break;
        bytes += c;
    }
    *line = QString::fromLocal8Bit(bytes);
    return true;
}
