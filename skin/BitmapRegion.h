#pragma once

#include "skin/DibImage.h"

#include <QRect>
#include <QRegion>
#include <QVector>

// Key colours (COLORREF) cut out of a skinned window's shape.
constexpr quint32 kSkinKeyMagenta = 0x00FF00FF;
constexpr quint32 kSkinKeyWhite = 0x00FFFFFF; // the progress bar's end cap

// The opaque runs of a bitmap, one rectangle per run and pixel row, top row
// first. `capacity` is the size of the rectangle block: the bitmap's height at
// first, grown by 40 rectangles whenever it fills up.
struct BitmapRegionData {
    QVector<QRect> rects;
    int capacity = 0;
};

BitmapRegionData CollectBitmapRegionRects(const DibImage& dib, quint32 keyColorRef = kSkinKeyMagenta);

// The window shape of a skin bitmap: every pixel except those of the key
// colour. An empty region for a null bitmap.
QRegion BuildBitmapRegion(const DibImage& dib, quint32 keyColorRef = kSkinKeyMagenta);
