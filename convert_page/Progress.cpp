#include "convert_page/Progress.h"

#include "res/Resources.h"
#include "skin/BitmapRegion.h"
#include "skin/DibImage.h"

#include <QPainter>

#include <cmath>

namespace {
// Where the fill starts inside the track, and the track's columns it cannot use.
constexpr int kFillLeft = 3;
constexpr int kFillTop = 2;
constexpr int kTrackMargin = 6;
constexpr int kCapOffset = 3; // the cap starts this far left of the fill's end

constexpr QRgb kMagenta = 0xFF00FF;
constexpr QRgb kWhite = 0xFFFFFF;

bool IsKey(QRgb pixel, QRgb key) { return (pixel & 0xFFFFFF) == key; }

DibImage LoadDib(int id) { return DibImage::FromBmp(Resources::Bitmap(id)); }

// Copies column srcX of src to column dstX of dst at row top, leaving the
// pixels of the key colour out; nothing outside dst is drawn.
void CopyColumn(const QImage& src, int srcX, QImage& dst, int dstX, int top, QRgb key)
{
    if (dstX < 0 || dstX >= dst.width())
        return;
    for (int y = 0; y < src.height(); ++y) {
        const int dy = top + y;
        if (dy < 0 || dy >= dst.height())
            continue;
        const QRgb pixel = src.pixel(srcX, y);
        if (!IsKey(pixel, key))
            dst.setPixel(dstX, dy, pixel);
    }
}
} // namespace

CProgress::CProgress(QWidget* parent)
    : QWidget(parent)
{
    const DibImage track = LoadDib(kTrackBitmap);
    m_bmpTrack = track.ToImage();
    m_rgnTrack = BuildBitmapRegion(track, kSkinKeyMagenta);
    m_bmpFill = LoadDib(kFillBitmap).ToImage();
    m_bmpFillStart = LoadDib(kFillStartBitmap).ToImage();
    m_bmpFillEnd = LoadDib(kFillEndBitmap).ToImage();
    // The whole bar comes from one composed image: no background fill first.
    setAutoFillBackground(false);
}

void CProgress::SetRange(unsigned max)
{
    if (max == m_nMax)
        return;
    m_nMax = max;
    update();
}

void CProgress::SetPos(unsigned pos)
{
    if (pos == m_nPos)
        return;
    m_nPos = pos;
    update();
}

int CProgress::FilledColumns() const
{
    const int inner = m_bmpTrack.width() - kTrackMargin;
    if (m_nMax == 0 || inner <= 0)
        return 0;
    const double filled = std::trunc(double(m_nPos) / double(m_nMax) * inner);
    return filled >= inner ? inner : int(filled);
}

void CProgress::DrawFill(QImage& work, int filled) const
{
    const int startWidth = m_bmpFillStart.width();
    const int bodyWidth = m_bmpFill.width();
    for (int i = 0; i < filled; ++i) {
        // The body's pattern counts from the bar's left end, not from the end
        // of the start piece.
        if (i < startWidth)
            CopyColumn(m_bmpFillStart, i, work, i + kFillLeft, kFillTop, kMagenta);
        else if (bodyWidth > 0)
            CopyColumn(m_bmpFill, i % bodyWidth, work, i + kFillLeft, kFillTop, kMagenta);
    }
    for (int x = 0; x < m_bmpFillEnd.width(); ++x)
        CopyColumn(m_bmpFillEnd, x, work, filled - kCapOffset + x, kFillTop, kWhite);
}

QImage CProgress::Compose() const
{
    if (m_bmpTrack.isNull())
        return {};
    QImage work = m_bmpTrack.copy();
    const int filled = FilledColumns();
    if (filled > 0)
        DrawFill(work, filled);

    // Magenta left in the work image shows the track; outside the track's
    // shape nothing is drawn.
    QImage result(m_bmpTrack.size(), QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < result.height(); ++y) {
        const auto* track = reinterpret_cast<const QRgb*>(m_bmpTrack.constScanLine(y));
        const auto* drawn = reinterpret_cast<const QRgb*>(work.constScanLine(y));
        auto* out = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x) {
            if (IsKey(track[x], kMagenta))
                out[x] = 0;
            else
                out[x] = 0xFF000000 | (IsKey(drawn[x], kMagenta) ? track[x] : drawn[x]);
        }
    }
    return result;
}

void CProgress::paintEvent(QPaintEvent*)
{
    const QImage bar = Compose();
    if (bar.isNull())
        return;
    QPainter painter(this);
    painter.setClipRegion(m_rgnTrack);
    painter.drawImage(0, 0, bar);
}
