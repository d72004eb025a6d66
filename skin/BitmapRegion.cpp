#include "skin/BitmapRegion.h"

#include "skin/ColorRef.h"

#include <QtEndian>

namespace {

constexpr int kCapacityStep = 40;

// The key in the pixel data's own layout, and the test of one pixel against it.
class KeyMatcher {
public:
    KeyMatcher(const DibImage& dib, quint32 keyColorRef)
        : m_dib(dib)
        , m_quad(RgbQuadFromCOLORREF(keyColorRef))
    {
        const quint32 r = keyColorRef & 0xFF, g = (keyColorRef >> 8) & 0xFF, b = (keyColorRef >> 16) & 0xFF;
        m_565 = quint16(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
    }

    bool Matches(const uchar* row, int x) const
    {
        switch (m_dib.bitCount) {
        case 8:
            return m_dib.colorTable.value(row[x]) == m_quad;
        case 16:
            return qFromLittleEndian<quint16>(row + 2 * x) == m_565;
        case 24: {
            const uchar* p = row + 3 * x;
            return (quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16) == m_quad;
        }
        case 32:
            return qFromLittleEndian<quint32>(row + 4 * x) == m_quad;
        default:
            return false;
        }
    }

private:
    const DibImage& m_dib;
    quint32 m_quad;
    quint16 m_565 = 0;
};

void AddRect(BitmapRegionData& data, int left, int y, int right)
{
    if (data.rects.size() >= data.capacity) {
        data.capacity += kCapacityStep;
        data.rects.reserve(data.capacity);
    }
    data.rects.append(QRect(QPoint(left, y), QPoint(right - 1, y)));
}

// Joins each row's runs with the band above when both have the same runs, so
// the region is in the canonical banded form that region operations produce
// (equal shapes then compare equal).
QVector<QRect> CoalesceRows(const QVector<QRect>& rows)
{
    QVector<QRect> bands;
    qsizetype bandStart = 0;
    for (qsizetype i = 0; i < rows.size();) {
        qsizetype end = i;
        while (end < rows.size() && rows[end].top() == rows[i].top())
            ++end;
        const qsizetype count = end - i;
        bool same = !bands.isEmpty() && bands.size() - bandStart == count
            && bands[bandStart].bottom() + 1 == rows[i].top();
        for (qsizetype k = 0; same && k < count; ++k)
            same = bands[bandStart + k].left() == rows[i + k].left() && bands[bandStart + k].right() == rows[i + k].right();
        if (same) {
            for (qsizetype k = 0; k < count; ++k)
                bands[bandStart + k].setBottom(rows[i].top());
        } else {
            bandStart = bands.size();
            bands.append(rows.mid(i, count));
        }
        i = end;
    }
    return bands;
}

} // namespace

BitmapRegionData CollectBitmapRegionRects(const DibImage& dib, quint32 keyColorRef)
{
    BitmapRegionData data;
    if (dib.IsNull())
        return data;
    data.capacity = dib.height;
    data.rects.reserve(data.capacity);
    const KeyMatcher key(dib, keyColorRef);
    for (int y = 0; y < dib.height; ++y) {
        const uchar* row = dib.ImageRow(y);
        bool open = false;
        int start = 0;
        for (int x = 0; x < dib.width; ++x) {
            const bool matches = key.Matches(row, x);
            if (!open && !matches) {
                start = x;
                open = true;
            } else if (open && matches) {
                AddRect(data, start, y, x);
                open = false;
            }
        }
        if (open)
            AddRect(data, start, y, dib.width);
    }
    return data;
}

QRegion BuildBitmapRegion(const DibImage& dib, quint32 keyColorRef)
{
    const QVector<QRect> bands = CoalesceRows(CollectBitmapRegionRects(dib, keyColorRef).rects);
    QRegion region;
    region.setRects(bands.constData(), int(bands.size()));
    return region;
}
