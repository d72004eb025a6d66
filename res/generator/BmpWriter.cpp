#include "BmpWriter.h"

#include <QtEndian>

namespace {
void PutU16(QByteArray& out, quint16 v)
{
    char b[2];
    qToLittleEndian(v, b);
    out.append(b, 2);
}

void PutU32(QByteArray& out, quint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}
} // namespace

QByteArray BmpWriter::Encode(const QImage& source)
{
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    const int w = image.width();
    const int h = image.height();
    const int stride = (w * 3 + 3) & ~3;
    const quint32 pixelBytes = quint32(stride) * quint32(h);
    const quint32 offset = 14 + 40;

    QByteArray out;
    out.reserve(int(offset + pixelBytes));
    // BITMAPFILEHEADER
    out.append("BM", 2);
    PutU32(out, offset + pixelBytes);
    PutU16(out, 0);
    PutU16(out, 0);
    PutU32(out, offset);
    // BITMAPINFOHEADER
    PutU32(out, 40);
    PutU32(out, quint32(w));
    PutU32(out, quint32(h)); // positive: bottom-up
    PutU16(out, 1);          // planes
    PutU16(out, 24);         // bits per pixel
    PutU32(out, 0);          // BI_RGB
    PutU32(out, pixelBytes);
    PutU32(out, 2835);       // 72 dpi
    PutU32(out, 2835);
    PutU32(out, 0);
    PutU32(out, 0);

    QByteArray row(stride, '\0');
    for (int y = h - 1; y >= 0; --y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        char* p = row.data();
        for (int x = 0; x < w; ++x) {
            *p++ = char(qBlue(line[x]));
            *p++ = char(qGreen(line[x]));
            *p++ = char(qRed(line[x]));
        }
        out.append(row);
    }
    return out;
}
