#include "engine/ToUnicodeCheck.h"

#include "engine/PdfObjects.h"

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
        const QList<qsizetype> starts = PdfObjects::Definitions(text, m.captured(1), m.captured(2));
        if (starts.isEmpty())
            return true;
        for (qsizetype start : starts) {
            QByteArray cmap;
            if (!PdfObjects::StreamContents(pdf, start, &cmap) || HasMultiUnitMapping(cmap))
                return true;
        }
    }
    return false;
}
