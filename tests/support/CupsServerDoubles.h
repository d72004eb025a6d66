#pragma once

// Unreachable printing servers for tests of what happens when CUPS does not answer.
#include <QString>

#include <cups/cups.h>

#include <arpa/inet.h>
#include <cstdlib>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace testsupport {

// A local TCP port on which nothing answers: bound and, when listening, never
// accepting (the connection is taken by the kernel, but no reply ever comes);
// not listening, a connection is refused at once.
class DeadPort {
public:
    explicit DeadPort(bool listening)
    {
        m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof(addr);
        ::bind(m_fd, reinterpret_cast<sockaddr*>(&addr), len);
        if (listening)
            ::listen(m_fd, 4);
        ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&addr), &len);
        m_port = ntohs(addr.sin_port);
    }
    ~DeadPort() { ::close(m_fd); }
    DeadPort(const DeadPort&) = delete;
    DeadPort& operator=(const DeadPort&) = delete;
    QString Server() const { return QStringLiteral("127.0.0.1:%1").arg(m_port); }

private:
    int m_fd = -1;
    int m_port = 0;
};

// Points libcups of this process at another server for the scope of the object.
class ServerOverride {
public:
    explicit ServerOverride(const QString& server)
    {
        ::setenv("CUPS_SERVER", server.toUtf8().constData(), 1);
        cupsSetServer(nullptr); // forget the cached server: read CUPS_SERVER again
    }
    ~ServerOverride()
    {
        ::unsetenv("CUPS_SERVER");
        cupsSetServer(nullptr);
    }
};

} // namespace testsupport
