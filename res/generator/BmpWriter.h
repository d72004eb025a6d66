#pragma once

#include <QByteArray>
#include <QImage>

// Encodes an image as a Windows bitmap file: BITMAPFILEHEADER, a 40-byte
// BITMAPINFOHEADER, 24 bits per pixel, rows stored bottom-up and padded to a
// multiple of 4 bytes. Alpha is ignored: the pixels are written as they are.
class BmpWriter {
public:
    static QByteArray Encode(const QImage& image);
};
