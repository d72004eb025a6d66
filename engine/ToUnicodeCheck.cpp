#include "engine/ToUnicodeCheck.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>

#include <cctype>

namespace {

// Print files are small; a huge one is simply read the safe way.
constexpr qint64 kLargestChecked = 64 * 1024 * 1024;

bool IsPdfWhitespace(char c)
{
    return c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\f' || c == '\0';
}

// Flate data of a stream, inflated; empty when it does not inflate.
QByteArray Inflate(const QByteArray& data)
{
    // qUncompress wants the expected size in front; it grows the buffer when that is short.
    const quint32 guess = quint32(qMin<qsizetype>(data.size() * 4 + 64, 1 << 24));
    QByteArray framed(4, '\0');
    framed[0] = char(guess >> 24);
    framed[1] = char(guess >> 16);
    framed[2] = char(guess >> 8);
    framed[3] = char(guess);
    framed += data;
    return qUncompress(framed);
}

// The decoded contents of the stream object that starts at objStart (just after
// "obj"); false when it is no stream, or one stored in another way than plain or Flate.
bool StreamContents(const QByteArray& pdf, qsizetype objStart, QByteArray* contents)
{
    const qsizetype keyword = pdf.indexOf("stream", objStart);
    const qsizetype end = pdf.indexOf("endobj", objStart);
    if (keyword < 0 || (end >= 0 && end < keyword))
        return false;
    const QString dictionary = QString::fromLatin1(pdf.mid(objStart, keyword - objStart));
    const bool filtered = dictionary.contains(QLatin1String("/Filter"));
    static const QRegularExpression flateOnly(
        QStringLiteral("/Filter\\s*(/FlateDecode|\\[\\s*/FlateDecode\\s*\\])(?![A-Za-z0-9])"));
    if (dictionary.contains(QLatin1String("/DecodeParms")) ||
        (filtered && !flateOnly.match(dictionary).hasMatch()))
        return false;
    qsizetype data = keyword + 6;
    if (pdf.mid(data, 2) == "\r\n")
        data += 2;
    else if (pdf.mid(data, 1) == "\n" || pdf.mid(data, 1) == "\r")
        data += 1;
    else
        return false;
    const qsizetype endStream = pdf.indexOf("endstream", data);
    if (endStream < 0)
        return false;
    const QByteArray raw = pdf.mid(data, endStream - data);
    *contents = filtered ? Inflate(raw) : raw;
    return !contents->isEmpty();
}

// Every definition of object "number generation obj" in the file, as the
// offsets just after "obj" (an updated file may hold several).
QList<qsizetype> Definitions(const QString& pdf, const QString& number, const QString& generation)
{
    const QRegularExpression header(QStringLiteral("(?<![0-9])%1\\s+%2\\s+obj").arg(number, generation));
    QList<qsizetype> starts;
    for (auto it = header.globalMatch(pdf); it.hasNext();)
        starts << it.next().capturedEnd();
    return starts;
}

} // namespace

bool ToUnicodeCheck::HasMultiUnitMapping(const QByteArray& cmap)
{
    if (cmap.contains("usecmap"))
        return true;
    for (qsizetype i = 0; i < cmap.size(); ++i) {
        if (cmap[i] != '<')
            continue;
        if (i + 1 < cmap.size() && cmap[i + 1] == '<') {
            ++i; // a dictionary, not a hex string
            continue;
        }
        int digits = 0;
        qsizetype j = i + 1;
        for (; j < cmap.size() && cmap[j] != '>'; ++j) {
            if (std::isxdigit(static_cast<unsigned char>(cmap[j])))
                ++digits;
            else if (!IsPdfWhitespace(cmap[j]))
                return true; // not a hex string this check understands
        }
        if (j == cmap.size() || digits > 4)
            return true;
        i = j;
    }
    return false;
}

bool ToUnicodeCheck::NeedsOlderReader(const QString& pdfPath)
{
    QFile file(pdfPath);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kLargestChecked)
        return true;
    const QByteArray pdf = file.readAll();
    if (!pdf.startsWith("%PDF-") || pdf.contains("/Encrypt") || pdf.contains("/ObjStm"))
        return true;

    // Every reference to a ToUnicode CMap, as "number generation".
    const QString text = QString::fromLatin1(pdf);
    static const QRegularExpression reference(QStringLiteral("/ToUnicode\\s*([0-9]+)\\s+([0-9]+)\\s+R"));
    QSet<QString> checked;
    for (qsizetype at = text.indexOf(QLatin1String("/ToUnicode")); at >= 0;
         at = text.indexOf(QLatin1String("/ToUnicode"), at + 1)) {
        const QRegularExpressionMatch m =
            reference.match(text, at, QRegularExpression::NormalMatch, QRegularExpression::AnchorAtOffsetMatchOption);
        if (!m.hasMatch())
            return true;
        const QString key = m.captured(1) + QLatin1Char(' ') + m.captured(2);
        if (checked.contains(key))
            continue;
        checked.insert(key);
        const QList<qsizetype> starts = Definitions(text, m.captured(1), m.captured(2));
        if (starts.isEmpty())
            return true;
        for (qsizetype start : starts) {
            QByteArray cmap;
            if (!StreamContents(pdf, start, &cmap) || HasMultiUnitMapping(cmap))
                return true;
        }
    }
    return false;
}
