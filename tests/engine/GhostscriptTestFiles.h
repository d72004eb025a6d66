#pragma once

// Small print files for Ghostscript tests: a PostScript text page, a PostScript
// page with a colour photograph-like image, a PDF text page and damaged files.
#include <QByteArray>
#include <QFile>
#include <QString>
#include <ostream>

// Readable QString values in test failures.
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace gstest {

inline bool WriteFile(const QString& path, const QByteArray& data)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

inline QByteArray TextPagePs(const char* text)
{
    return QByteArray("%!PS-Adobe-3.0\n/Helvetica findfont 24 scalefont setfont\n72 700 moveto (") +
           text + ") show\nshowpage\n";
}

// 96 x 96 RGB pixels with gradients and texture, so that JPEG sizes depend on the quality.
inline QByteArray ImagePagePs()
{
    const int n = 96;
    QByteArray hex;
    for (int y = 0; y < n; ++y) {
        QByteArray row;
        for (int x = 0; x < n; ++x) {
            row.append(char(x * 255 / n));
            row.append(char((y * 255 / n) ^ ((x * 7) & 0x1F)));
            row.append(char((x * y + 13 * x) & 0xFF));
        }
        hex += row.toHex() + '\n';
    }
    return QByteArray("%!PS-Adobe-3.0\n72 300 translate 400 400 scale\n/DeviceRGB setcolorspace\n"
                      "<< /ImageType 1 /Width 96 /Height 96 /BitsPerComponent 8\n"
                      "   /Decode [0 1 0 1 0 1] /ImageMatrix [96 0 0 -96 0 96]\n"
                      "   /DataSource currentfile /ASCIIHexDecode filter >> image\n") +
           hex + ">\nshowpage\n";
}

// A one-page PDF written by hand, with a correct cross-reference table and
// document information of its own (as the office's print files have).
inline QByteArray TextPagePdf(const char* text)
{
    const QByteArray content = QByteArray("BT /F1 24 Tf 72 700 Td (") + text + ") Tj ET";
    const QList<QByteArray> objects{
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Contents 4 0 R "
        "/Resources << /Font << /F1 5 0 R >> >> >>",
        "<< /Length " + QByteArray::number(content.size()) + " >>\nstream\n" + content +
            "\nendstream",
        "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>",
        "<< /Title (Print file title) /Author (Print file author) /Subject (Print file subject) "
        "/Keywords (print) >>",
    };
    QByteArray pdf("%PDF-1.4\n");
    QList<qsizetype> offsets;
    for (int i = 0; i < objects.size(); ++i) {
        offsets << pdf.size();
        pdf += QByteArray::number(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const qsizetype xref = pdf.size();
    pdf += "xref\n0 " + QByteArray::number(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (qsizetype off : offsets)
        pdf += QByteArray::number(off).rightJustified(10, '0') + " 00000 n \n";
    pdf += "trailer\n<< /Size " + QByteArray::number(objects.size() + 1) +
           " /Root 1 0 R /Info 6 0 R >>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
    return pdf;
}

// The PDF text page with its cross-reference table in the wrong place:
// Ghostscript repairs it and reads it, with a notice that names errors.
inline QByteArray RepairablePdf(const char* text)
{
    QByteArray pdf = TextPagePdf(text);
    const qsizetype at = pdf.lastIndexOf("startxref\n") + 10;
    const qsizetype end = pdf.indexOf('\n', at);
    return pdf.replace(at, end - at, QByteArray::number(pdf.mid(at, end - at).toLongLong() + 7));
}

// A print file cut off in the middle of a PostScript program.
inline QByteArray DamagedPs()
{
    return QByteArray("%!PS-Adobe-3.0\n/Helvetica findfont 24 scalefont setfont\n72 700 moveto (cut");
}

// A page whose program runs for a long time (for stop requests).
inline QByteArray EndlessPs()
{
    return QByteArray("%!PS\n0 1 2000000000 { pop } for\nshowpage\n");
}

} // namespace gstest
