#pragma once

// Bitmaps and PNG strips made in memory for the skin tests.
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QStringList>
#include <QVector>

#include <functional>

// The bytes of a .bmp file, written field by field. `stored(x, y)` gives the
// raw pixel value of image row y (0 = top): a colour-table index (8 bits), a
// 16-bit value (5-6-5 bit fields), 0xRRGGBB (24 bits) or the whole 32-bit
// value. Rows are written bottom-up unless `topDown`.
QByteArray MakeBmp(int width, int height, int bitCount, const std::function<quint32(int x, int y)>& stored,
                   const QVector<quint32>& colorTable = {}, bool topDown = false);

// A 24-bit bitmap from character rows: 'M' magenta, 'W' white, anything else grey.
QByteArray MakeBmpRows(const QStringList& rows);

// A 24-bit bitmap of one colour.
QByteArray MakeSolidBmp(int width, int height, QColor color);

// A PNG of the image as Qt writes it (RGBA for ARGB32, RGB for RGB32).
QByteArray MakePng(const QImage& image);

// A strip of three frames of frameWidth x height, frame i filled with colours[i]
// (non-premultiplied, alpha included); `extra` columns of black follow.
QImage MakeStrip(int frameWidth, int height, const QVector<QColor>& colours, int extra = 0);
