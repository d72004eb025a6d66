#pragma once

#include <QString>

class WakePipe;

// A password handed to the command line: the first line of a file, or of
// standard input when the file is named "-". Only the line end is taken off
// ("\n", or "\r\n" as Windows writes it); blanks belong to the password. On a
// terminal the password is asked for on standard error and typed without echo.
// A stop ends every wait: for a FIFO's writer, for a line that does not come.
class PasswordFile {
public:
    static QString StdinName() { return QStringLiteral("-"); }

    // False, with a one-line reason, when the file cannot be read or the stop
    // came first (then stop.IsWoken()). asked: what the password is for, said
    // when a terminal is asked.
    static bool Read(const QString& file, const QString& asked, const WakePipe& stop, QString* password,
                     QString* error);

    // The password in the text read: up to the first line end, without it.
    static QString FirstLine(const QByteArray& text);

private:
    // Reads the first line of fd; on a terminal with a prompt and echo off.
    static bool ReadFirstLine(int fd, const QString& file, const QString& asked, const WakePipe& stop,
                              QByteArray* text, QString* error);
};
