#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class WakePipe;

// A list of workbooks in a file (--files-from): one path a line, as a script
// or `find` writes them. Relative paths are taken from the current folder, as
// on the command line. "-" names standard input.
class WorkbookListFile {
public:
    static QString StdinName() { return QStringLiteral("-"); }

    // Appends the file's paths to paths. False, with a one-line reason, when it
    // cannot be read or a stop came first.
    static bool Read(const QString& file, const WakePipe& stop, QStringList* paths, QString* error);

    // The paths in text: line ends ("\n", or "\r\n" as Windows writes them) are
    // taken off, lines that are empty or only blanks are left out; blanks
    // within and around a name belong to it. Bytes that are not UTF-8 text are
    // kept, as ArgumentBytes keeps them.
    static QStringList Entries(const QByteArray& text);

private:
    static bool ReadAll(int fd, const QString& file, const WakePipe& stop, QByteArray* text, QString* error);
};
