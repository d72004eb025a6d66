#include "cli/PasswordFile.h"

#include <QFile>

#include <cstdio>

namespace {
// Longer than any password; a larger file is most likely the wrong one.
constexpr qint64 kMaxBytes = 64 * 1024;
} // namespace

bool PasswordFile::Read(const QString& file, QString* password, QString* error)
{
    QFile in;
    bool opened = false;
    if (file == StdinName()) {
        opened = in.open(stdin, QIODevice::ReadOnly, QFileDevice::DontCloseHandle);
    } else {
        in.setFileName(file);
        opened = in.open(QIODevice::ReadOnly);
    }
    if (!opened) {
        *error = QStringLiteral("cannot read the password file %1: %2").arg(file, in.errorString());
        return false;
    }
    QByteArray text;
    // Up to the first newline: standard input may stay open after it.
    while (!text.contains('\n') && text.size() <= kMaxBytes) {
        const QByteArray part = in.readLine(kMaxBytes + 1);
        if (part.isEmpty())
            break;
        text += part;
    }
    if (in.error() != QFileDevice::NoError && text.isEmpty()) {
        *error = QStringLiteral("cannot read the password file %1: %2").arg(file, in.errorString());
        return false;
    }
    if (text.size() > kMaxBytes) {
        *error = QStringLiteral("the password file %1 is too large to hold a password").arg(file);
        return false;
    }
    *password = FirstLine(text);
    return true;
}

QString PasswordFile::FirstLine(const QByteArray& text)
{
    const qsizetype end = text.indexOf('\n');
    QByteArray line = end < 0 ? text : text.left(end);
    // A file written on Windows ends its line with "\r\n".
    if (end >= 0 && line.endsWith('\r'))
        line.chop(1);
    return QString::fromUtf8(line);
}
