#include "skin/DibImage.h"

#include <QtEndian>

namespace {

constexpr int kFileHeaderSize = 14;
constexpr quint32 kBiRgb = 0;
constexpr quint32 kBiBitFields = 3;
constexpr int kMaxSide = 32768;

struct InfoHeader {
    quint32 size = 0;
    qint32 width = 0;
    qint32 height = 0;
    quint16 bitCount = 0;
    quint32 compression = 0;
    quint32 colorsUsed = 0;
};

quint16 U16(const uchar* p) { return qFromLittleEndian<quint16>(p); }
quint32 U32(const uchar* p) { return qFromLittleEndian<quint32>(p); }

bool ReadInfoHeader(const QByteArray& bmp, InfoHeader& h)
{
    if (bmp.size() < kFileHeaderSize + 40 || bmp[0] != 'B' || bmp[1] != 'M')
        return false;
    const auto* p = reinterpret_cast<const uchar*>(bmp.constData()) + kFileHeaderSize;
    h.size = U32(p);
    h.width = qint32(U32(p + 4));
    h.height = qint32(U32(p + 8));
    h.bitCount = U16(p + 14);
    h.compression = U32(p + 16);
    h.colorsUsed = U32(p + 32);
    return h.size >= 40 && qint64(kFileHeaderSize) + h.size <= bmp.size();
}

bool FormatSupported(const InfoHeader& h)
{
    const bool depthOk = h.bitCount == 8 || h.bitCount == 16 || h.bitCount == 24 || h.bitCount == 32;
    const bool compressionOk = h.compression == kBiRgb
        || (h.compression == kBiBitFields && (h.bitCount == 16 || h.bitCount == 32));
    const qint64 rows = h.height < 0 ? -qint64(h.height) : qint64(h.height);
    return depthOk && compressionOk && h.width > 0 && h.width <= kMaxSide && rows > 0 && rows <= kMaxSide;
}

// Masks follow a 40-byte header as three extra fields; later headers hold them inside.
void ReadMasks(const QByteArray& bmp, const InfoHeader& h, DibImage& dib)
{
    dib.redMask = 0x7C00;
    dib.greenMask = 0x03E0;
    dib.blueMask = 0x001F;
    if (h.compression != kBiBitFields || bmp.size() < kFileHeaderSize + 40 + 12)
        return;
    const auto* m = reinterpret_cast<const uchar*>(bmp.constData()) + kFileHeaderSize + 40;
    dib.redMask = U32(m);
    dib.greenMask = U32(m + 4);
    dib.blueMask = U32(m + 8);
}

bool ReadColorTable(const QByteArray& bmp, const InfoHeader& h, DibImage& dib)
{
    if (h.bitCount != 8)
        return true;
    const quint32 count = h.colorsUsed == 0 ? 256 : h.colorsUsed;
    if (count > 256)
        return false;
    qint64 offset = kFileHeaderSize + h.size;
    if (h.size == 40 && h.compression == kBiBitFields)
        offset += 12;
    if (offset + qint64(count) * 4 > bmp.size())
        return false;
    const auto* t = reinterpret_cast<const uchar*>(bmp.constData()) + offset;
    dib.colorTable.resize(256); // indexes beyond the table read black
    for (quint32 i = 0; i < count; ++i)
        dib.colorTable[int(i)] = U32(t + 4 * i) & 0x00FFFFFF;
    return true;
}

int MaskShift(quint32 mask)
{
    int shift = 0;
    while (mask && !(mask & 1)) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

int Channel(quint32 value, quint32 mask)
{
    if (!mask)
        return 0;
    const quint32 max = mask >> MaskShift(mask);
    return int(((value & mask) >> MaskShift(mask)) * 255 / max);
}

QRgb PixelColor(const DibImage& dib, const uchar* row, int x)
{
    switch (dib.bitCount) {
    case 8:
        return 0xFF000000u | dib.colorTable.value(row[x]);
    case 16: {
        const quint16 v = U16(row + 2 * x);
        return qRgb(Channel(v, dib.redMask), Channel(v, dib.greenMask), Channel(v, dib.blueMask));
    }
    case 24:
        return qRgb(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
    default:
        return qRgb(row[4 * x + 2], row[4 * x + 1], row[4 * x]);
    }
}

} // namespace

const uchar* DibImage::StoredRow(int i) const
{
    return reinterpret_cast<const uchar*>(pixels.constData()) + qint64(i) * stride;
}

uchar* DibImage::StoredRow(int i)
{
    return reinterpret_cast<uchar*>(pixels.data()) + qint64(i) * stride;
}

DibImage DibImage::FromBmp(const QByteArray& bmp)
{
    InfoHeader h;
    if (!ReadInfoHeader(bmp, h) || !FormatSupported(h))
        return {};
    DibImage dib;
    dib.width = h.width;
    dib.height = h.height < 0 ? -h.height : h.height;
    dib.bitCount = h.bitCount;
    dib.stride = StrideFor(dib.width, dib.bitCount);
    ReadMasks(bmp, h, dib);
    if (!ReadColorTable(bmp, h, dib))
        return {};
    const qint64 offset = U32(reinterpret_cast<const uchar*>(bmp.constData()) + 10);
    const qint64 bytes = qint64(dib.stride) * dib.height;
    if (offset < kFileHeaderSize + 40 || offset + bytes > bmp.size())
        return {};
    dib.pixels = bmp.mid(offset, bytes);
    if (h.height < 0) { // top-down file: turn into the bottom-up layout
        QByteArray flipped(bytes, Qt::Uninitialized);
        for (int i = 0; i < dib.height; ++i)
            memcpy(flipped.data() + qint64(i) * dib.stride,
                   dib.pixels.constData() + qint64(dib.height - 1 - i) * dib.stride, dib.stride);
        dib.pixels = flipped;
    }
    return dib;
}

DibImage DibImage::Blank24(int width, int height)
{
    if (width <= 0 || height <= 0)
        return {};
    DibImage dib;
    dib.width = width;
    dib.height = height;
    dib.bitCount = 24;
    dib.stride = StrideFor(width, 24);
    dib.pixels = QByteArray(qint64(dib.stride) * height, '\0');
    return dib;
}

QImage DibImage::ToImage() const
{
    if (IsNull())
        return {};
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        const uchar* row = ImageRow(y);
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x)
            out[x] = PixelColor(*this, row, x);
    }
    return image;
}
