#pragma once

#include <QString>

// A password handed to the command line: the first line of a file, or of
// standard input when the file is named "-". Only the line end is taken off
// ("\n", or "\r\n" as Windows writes it); blanks belong to the password.
class PasswordFile {
public:
    static QString StdinName() { return QStringLiteral("-"); }

    // False, with a one-line reason, when the file cannot be read.
    static bool Read(const QString& file, QString* password, QString* error);

    // The password in the text read: up to the first line end, without it.
    static QString FirstLine(const QByteArray& text);
};
