#include "cli/PdfPageCount.h"

#include <QFile>

#include <algorithm>
#include <cctype>

namespace {
bool IsBlank(char c)
{
    return c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\f' || c == '\0';
}

// The end of a name that starts at i: a blank or a delimiter.
bool EndsName(const QByteArray& pdf, qsizetype i)
{
    return i >= pdf.size() || IsBlank(pdf.at(i)) || QByteArrayView("/<>[]()%{}").contains(pdf.at(i));
}

qsizetype SkipBlanks(const QByteArray& pdf, qsizetype i)
{
    while (i < pdf.size() && IsBlank(pdf.at(i)))
        ++i;
    return i;
}
} // namespace

int PdfPageCount::Count(const QString& pdf)
{
    QFile file(pdf);
    if (!file.open(QIODevice::ReadOnly) || file.size() == 0)
        return -1;
    // Mapped, not read: a PDF of thousands of pages is searched without copying it.
    uchar* data = file.map(0, file.size());
    if (!data)
        return CountIn(file.readAll());
    return CountIn(QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(file.size())));
}

int PdfPageCount::CountIn(const QByteArray& pdf)
{
    int most = -1;
    for (qsizetype at = pdf.indexOf("/Type"); at >= 0; at = pdf.indexOf("/Type", at + 5)) {
        const qsizetype value = SkipBlanks(pdf, at + 5);
        if (EndsName(pdf, at + 5) && pdf.mid(value, 6) == "/Pages" && EndsName(pdf, value + 6))
            most = std::max(most, CountOfObjectAt(pdf, value));
    }
    return most;
}

int PdfPageCount::CountOfObjectAt(const QByteArray& pdf, qsizetype position)
{
    const qsizetype begin = pdf.lastIndexOf(" obj", position);
    qsizetype end = pdf.indexOf("endobj", position);
    if (end < 0)
        end = pdf.size();
    for (qsizetype at = pdf.indexOf("/Count", std::max<qsizetype>(begin, 0)); at >= 0 && at < end;
         at = pdf.indexOf("/Count", at + 6)) {
        qsizetype i = SkipBlanks(pdf, at + 6);
        if (!EndsName(pdf, at + 6) || i >= pdf.size() || !std::isdigit(static_cast<unsigned char>(pdf.at(i))))
            continue;
        int count = 0;
        for (; i < pdf.size() && std::isdigit(static_cast<unsigned char>(pdf.at(i))) && count < 100000000; ++i)
            count = count * 10 + (pdf.at(i) - '0');
        return count;
    }
    return -1;
}
