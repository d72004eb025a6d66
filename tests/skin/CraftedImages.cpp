#include "CraftedImages.h"

#include <QBuffer>
#include <QtEndian>

namespace {

void Put16(QByteArray& out, quint16 v)
{
    char b[2];
    qToLittleEndian(v, b);
    out.append(b, 2);
}

void Put32(QByteArray& out, quint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}

void PutPixel(QByteArray& row, int bitCount, quint32 v)
{
    switch (bitCount) {
    case 8: row.append(char(v)); break;
    case 16: Put16(row, quint16(v)); break;
    case 24:
        row.append(char(v & 0xFF));
        row.append(char((v >> 8) & 0xFF));
        row.append(char((v >> 16) & 0xFF));
        break;
    default: Put32(row, v);
    }
}

} // namespace

QByteArray MakeBmp(int width, int height, int bitCount, const std::function<quint32(int, int)>& stored,
                   const QVector<quint32>& colorTable, bool topDown)
{
    const int stride = ((width * bitCount + 31) / 32) * 4;
    const bool bitFields = bitCount == 16;
    const int tableBytes = bitCount == 8 ? int(colorTable.size()) * 4 : 0;
    const int offset = 14 + 40 + (bitFields ? 12 : 0) + tableBytes;
    QByteArray out;
    out.append("BM");
    Put32(out, quint32(offset + stride * height));
    Put32(out, 0);
    Put32(out, quint32(offset));
    Put32(out, 40);
    Put32(out, quint32(width));
    Put32(out, quint32(topDown ? -height : height));
    Put16(out, 1);
    Put16(out, quint16(bitCount));
    Put32(out, bitFields ? 3 : 0);
    Put32(out, quint32(stride * height));
    Put32(out, 2835);
    Put32(out, 2835);
    Put32(out, bitCount == 8 ? quint32(colorTable.size()) : 0);
    Put32(out, 0);
    if (bitFields) {
        Put32(out, 0xF800);
        Put32(out, 0x07E0);
        Put32(out, 0x001F);
    }
    for (quint32 entry : (bitCount == 8 ? colorTable : QVector<quint32>()))
        Put32(out, entry);
    for (int i = 0; i < height; ++i) {
        const int y = topDown ? i : height - 1 - i;
        QByteArray row;
        for (int x = 0; x < width; ++x)
            PutPixel(row, bitCount, stored(x, y));
        row.append(QByteArray(stride - row.size(), '\x5A')); // padding is never read
        out.append(row);
    }
    return out;
}

QByteArray MakeBmpRows(const QStringList& rows)
{
    const int width = int(rows.first().size());
    return MakeBmp(width, int(rows.size()), 24, [&](int x, int y) -> quint32 {
        const QChar c = rows[y][x];
        return c == QLatin1Char('M') ? 0xFF00FF : c == QLatin1Char('W') ? 0xFFFFFF : 0x808080;
    });
}

QByteArray MakeSolidBmp(int width, int height, QColor color)
{
    return MakeBmp(width, height, 24, [&](int, int) { return quint32(color.rgb() & 0xFFFFFF); });
}

QByteArray MakePng(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QImage MakeStrip(int frameWidth, int height, const QVector<QColor>& colours, int extra)
{
    QImage strip(frameWidth * 3 + extra, height, QImage::Format_ARGB32);
    strip.fill(QColor(0, 0, 0, 255));
    for (int f = 0; f < 3; ++f)
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < frameWidth; ++x)
                strip.setPixelColor(f * frameWidth + x, y, colours[f]);
    return strip;
}
