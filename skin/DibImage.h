#pragma once

#include <QByteArray>
#include <QImage>
#include <QVector>

// A device-independent bitmap as the pixel loops see it: rows stored
// bottom-up, each padded to a multiple of 4 bytes, 8, 16, 24 or 32 bits per
// pixel. 8-bit pixels index the colour table; table entries are RGBQUADs read
// as 32-bit values (0x00RRGGBB).
struct DibImage {
    int width = 0;
    int height = 0;   // always positive: the stored rows are bottom-up
    int bitCount = 0; // 8, 16, 24 or 32
    int stride = 0;   // bytes per stored row
    QVector<quint32> colorTable;
    // Channel masks of 16-bit data (5-5-5 unless the file gave bit fields).
    quint32 redMask = 0, greenMask = 0, blueMask = 0;
    QByteArray pixels; // height * stride bytes, first the bottom row

    bool IsNull() const { return width <= 0 || height <= 0 || pixels.isEmpty(); }

    // Stored row i (0 = the image's bottom row).
    const uchar* StoredRow(int i) const;
    uchar* StoredRow(int i);
    // Image row y (0 = the top row).
    const uchar* ImageRow(int y) const { return StoredRow(height - 1 - y); }
    uchar* ImageRow(int y) { return StoredRow(height - 1 - y); }

    static int StrideFor(int width, int bitCount) { return ((width * bitCount + 31) / 32) * 4; }

    // Parses the bytes of a .bmp file (BITMAPFILEHEADER + BITMAPINFOHEADER or
    // a later header version, uncompressed or bit fields). Top-down files are
    // stored bottom-up like the others. A null image when the bytes are not
    // such a bitmap.
    static DibImage FromBmp(const QByteArray& bmp);
    // A blank 24-bit image of the given size.
    static DibImage Blank24(int width, int height);

    // The colours as an opaque image (the fourth byte of 32-bit data is not
    // alpha and is ignored).
    QImage ToImage() const;
};
