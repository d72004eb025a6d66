#include "cli/ArgumentBytes.h"

namespace {
constexpr char16_t kKeptBase = 0xDC00;
} // namespace

QStringList ArgumentBytes::Decode(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << Decode(QByteArray(argv[i]));
    return arguments;
}

QString ArgumentBytes::Decode(const QByteArray& bytes)
{
    // A part is UTF-8 text when it comes back unchanged from a round trip.
    const QString whole = QString::fromUtf8(bytes);
    if (whole.toUtf8() == bytes)
        return whole;
    QString decoded;
    for (qsizetype i = 0; i < bytes.size();) {
        qsizetype length = 1;
        QString character;
        for (; length <= 4 && i + length <= bytes.size(); ++length) {
            const QByteArray part = bytes.mid(i, length);
            character = QString::fromUtf8(part);
            if (character.toUtf8() == part)
                break;
        }
        if (length > 4 || i + length > bytes.size()) {
            length = 1;
            character = QChar(static_cast<char16_t>(kKeptBase + static_cast<unsigned char>(bytes.at(i))));
        }
        decoded += character;
        i += length;
    }
    return decoded;
}

int ArgumentBytes::KeptByte(const QString& text, qsizetype i)
{
    const char16_t c = text.at(i).unicode();
    // The low half of a character outside the first plane follows its high half.
    const bool lone = QChar::isLowSurrogate(c) && (i == 0 || !text.at(i - 1).isHighSurrogate());
    return lone && c >= kKeptBase + 0x80 && c <= kKeptBase + 0xFF ? c - kKeptBase : -1;
}

bool ArgumentBytes::IsText(const QString& argument)
{
    for (qsizetype i = 0; i < argument.size(); ++i)
        if (KeptByte(argument, i) >= 0)
            return false;
    return true;
}

QString ArgumentBytes::Shown(const QString& text)
{
    if (IsText(text))
        return text;
    QString shown;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int byte = KeptByte(text, i);
        shown += byte < 0 ? QString(text.at(i)) : QStringLiteral("\\x%1").arg(byte, 2, 16, QLatin1Char('0'));
    }
    return shown;
}
