#pragma once

#include <QByteArray>

#include <termios.h>

// A terminal on which a password is typed: its echo is off while the object
// lives (the line end still shows), and back as it was when it goes, also when
// a stop ends the typing.
class QuietTerminal {
public:
    // The program's terminal (/dev/tty), closed when the object goes.
    QuietTerminal();
    // A terminal already open (standard input), left open.
    explicit QuietTerminal(int fd);
    ~QuietTerminal();
    QuietTerminal(const QuietTerminal&) = delete;
    QuietTerminal& operator=(const QuietTerminal&) = delete;

    bool IsOpen() const { return m_fd >= 0; }
    int Fd() const { return m_fd; }
    // False when the echo cannot be turned off (then nothing should be typed).
    bool EchoOff();
    void Write(const QByteArray& text);

private:
    int m_fd;
    bool m_bOwned;
    termios m_saved{};
    bool m_bEchoOff = false;
};
