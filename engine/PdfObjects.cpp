#include "engine/PdfObjects.h"

#include <cctype>

#include <QRegularExpression>

QByteArray PdfObjects::Inflate(const QByteArray& data)
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

QByteArray PdfObjects::Deflate(const QByteArray& data)
{
    // qCompress puts the size in front of the zlib data.
    return qCompress(data).mid(4);
}

QList<qsizetype> PdfObjects::Definitions(const QString& pdf, const QString& number, const QString& generation)
{
    const QRegularExpression header(QStringLiteral("(?<![0-9])%1\\s+%2\\s+obj").arg(number, generation));
    QList<qsizetype> starts;
    for (auto it = header.globalMatch(pdf); it.hasNext();)
        starts << it.next().capturedEnd();
    return starts;
}

QString PdfObjects::Dictionary(const QByteArray& pdf, qsizetype objStart)
{
    const qsizetype end = pdf.indexOf("endobj", objStart);
    qsizetype keyword = pdf.indexOf("stream", objStart);
    if (keyword < 0 || (end >= 0 && end < keyword))
        keyword = end;
    return QString::fromLatin1(pdf.mid(objStart, keyword < 0 ? -1 : keyword - objStart));
}

bool PdfObjects::StreamContents(const QByteArray& pdf, qsizetype objStart, QByteArray* contents)
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

int PdfObjects::CountPages(const QByteArray& pdf)
{
    int pages = 0;
    for (qsizetype at = pdf.indexOf("/Type"); at >= 0; at = pdf.indexOf("/Type", at + 5)) {
        qsizetype i = at + 5;
        while (i < pdf.size() && (pdf.at(i) == ' ' || pdf.at(i) == '\n' || pdf.at(i) == '\r' || pdf.at(i) == '\t'))
            ++i;
        if (pdf.mid(i, 5) != "/Page")
            continue;
        const char next = i + 5 < pdf.size() ? pdf.at(i + 5) : ' ';
        if (!std::isalnum(static_cast<unsigned char>(next)))
            ++pages;
    }
    return pages;
}
