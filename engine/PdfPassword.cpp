#include "engine/PdfPassword.h"

#include <array>

namespace {

// Characters whose PDFDocEncoding byte differs from their Unicode value.
struct Mapping {
    char16_t unicode;
    unsigned char byte;
};

constexpr std::array<Mapping, 40> kSpecial{{
    {0x02D8, 0x18}, {0x02C7, 0x19}, {0x02C6, 0x1A}, {0x02D9, 0x1B}, {0x02DD, 0x1C},
    {0x02DB, 0x1D}, {0x02DA, 0x1E}, {0x02DC, 0x1F}, {0x2022, 0x80}, {0x2020, 0x81},
    {0x2021, 0x82}, {0x2026, 0x83}, {0x2014, 0x84}, {0x2013, 0x85}, {0x0192, 0x86},
    {0x2044, 0x87}, {0x2039, 0x88}, {0x203A, 0x89}, {0x2212, 0x8A}, {0x2030, 0x8B},
    {0x201E, 0x8C}, {0x201C, 0x8D}, {0x201D, 0x8E}, {0x2018, 0x8F}, {0x2019, 0x90},
    {0x201A, 0x91}, {0x2122, 0x92}, {0xFB01, 0x93}, {0xFB02, 0x94}, {0x0141, 0x95},
    {0x0152, 0x96}, {0x0160, 0x97}, {0x0178, 0x98}, {0x017D, 0x99}, {0x0131, 0x9A},
    {0x0142, 0x9B}, {0x0153, 0x9C}, {0x0161, 0x9D}, {0x017E, 0x9E}, {0x20AC, 0xA0},
}};

// The byte of one UTF-16 unit, or -1 when PDFDocEncoding has none.
int ByteOf(char16_t c)
{
    if (c == 0x09 || c == 0x0A || c == 0x0D || (c >= 0x20 && c <= 0x7E))
        return c;
    if (c >= 0xA1 && c <= 0xFF && c != 0xAD)
        return c;
    for (const Mapping& m : kSpecial) {
        if (m.unicode == c)
            return m.byte;
    }
    return -1;
}

} // namespace

namespace PdfPassword {

bool ToPdfDocEncoding(const QString& text, QByteArray* bytes, QString* badChar)
{
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int b = ByteOf(text.at(i).unicode());
        if (b < 0) {
            if (badChar) {
                const bool pair = text.at(i).isHighSurrogate() && i + 1 < text.size();
                *badChar = text.mid(i, pair ? 2 : 1);
            }
            return false;
        }
        out.append(static_cast<char>(b));
    }
    if (bytes)
        *bytes = out;
    return true;
}

QString CheckPassword(const QString& password, const QString& which)
{
    QString bad;
    QByteArray bytes;
    if (ToPdfDocEncoding(password, &bytes, &bad)) {
        // RC4 encryption pads or cuts every password to 32 bytes: a longer one
        // would be opened by any password with the same start.
        if (bytes.size() > kMaxBytes)
            return QStringLiteral("The %1 password is %2 characters long; a PDF password can have at most %3.")
                .arg(which)
                .arg(bytes.size())
                .arg(kMaxBytes);
        return QString();
    }
    const bool printable = bad.size() > 1 || bad.at(0).isPrint();
    const QString shown = printable ? QStringLiteral("\"%1\"").arg(bad)
                                    : QStringLiteral("U+%1").arg(bad.at(0).unicode(), 4, 16,
                                                                 QLatin1Char('0')).toUpper();
    return QStringLiteral("The %1 password contains %2, which a PDF password cannot hold "
                          "(only Latin letters, digits and common signs are possible).")
        .arg(which, shown);
}

QString HexString(const QString& password)
{
    QByteArray bytes;
    ToPdfDocEncoding(password, &bytes);
    return QLatin1Char('<') + QString::fromLatin1(bytes.toHex().toUpper()) + QLatin1Char('>');
}

} // namespace PdfPassword
