#pragma once

#include <QString>
#include <QStringList>

// The command line as the program gets it: bytes, nearly always UTF-8 text.
// A byte that is not part of UTF-8 text (a name written under Latin-1, say)
// is kept in the string as a lone surrogate, U+DC80 to U+DCFF, instead of
// becoming U+FFFD: such a name is told apart from every other and is refused
// for what it is, never reported as a missing file.
class ArgumentBytes {
public:
    // The arguments after the program name.
    static QStringList Decode(int argc, char** argv);
    static QString Decode(const QByteArray& bytes);
    // False when the argument holds a byte that is not UTF-8 text.
    static bool IsText(const QString& argument);
    // For messages: each such byte as \xNN.
    static QString Shown(const QString& text);

private:
    // The kept byte at i, or -1 when text[i] is text.
    static int KeptByte(const QString& text, qsizetype i);
};
