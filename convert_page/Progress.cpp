#include "convert_page/Progress.h"

#include "res/Resources.h"
#include "skin/ArtScale.h"
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

DibImage LoadDib(int id, int scale) { return DibImage::FromBmp(Resources::Bitmap(id, scale)); }

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
    m_art = LoadPieces(1);
    m_artHigh = LoadPieces(ArtScale::kHigh);
    m_rgnTrack = BuildBitmapRegion(LoadDib(kTrackBitmap, 1), kSkinKeyMagenta);
    // The whole bar comes from one composed image: no background fill first.
    setAutoFillBackground(false);
}

CProgress::Pieces CProgress::LoadPieces(int scale)
{
    Pieces art;
    art.scale = scale;
    art.track = LoadDib(kTrackBitmap, scale).ToImage();
    art.fill = LoadDib(kFillBitmap, scale).ToImage();
    art.start = LoadDib(kFillStartBitmap, scale).ToImage();
    art.end = LoadDib(kFillEndBitmap, scale).ToImage();
    return art;
}

bool CProgress::Pieces::IsComplete() const
{
    return !track.isNull() && !fill.isNull() && !start.isNull() && !end.isNull();
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
    const int inner = m_art.track.width() - kTrackMargin;
    if (m_nMax == 0 || inner <= 0)
        return 0;
    const double filled = std::trunc(double(m_nPos) / double(m_nMax) * inner);
    return filled >= inner ? inner : int(filled);
}

// Columns are counted in bar pixels; each takes `scale` image columns.
void CProgress::DrawFill(const Pieces& art, QImage& work, int filled) const
{
    const int s = art.scale;
    const int startWidth = art.start.width() / s;
    const int bodyWidth = art.fill.width() / s;
    for (int i = 0; i < filled; ++i) {
        // The body's pattern counts from the bar's left end, not from the end
        // of the start piece.
        for (int k = 0; k < s; ++k) {
            const int to = (i + kFillLeft) * s + k;
            if (i < startWidth)
                CopyColumn(art.start, i * s + k, work, to, kFillTop * s, kMagenta);
            else if (bodyWidth > 0)
                CopyColumn(art.fill, (i % bodyWidth) * s + k, work, to, kFillTop * s, kMagenta);
        }
    }
    for (int x = 0; x < art.end.width(); ++x)
        CopyColumn(art.end, x, work, (filled - kCapOffset) * s + x, kFillTop * s, kWhite);
}

QImage CProgress::Compose(int scale) const
{
    const Pieces& art = scale > 1 && m_artHigh.IsComplete() ? m_artHigh : m_art;
    if (art.track.isNull())
        return {};
    QImage work = art.track.copy();
    const int filled = FilledColumns();
    if (filled > 0)
        DrawFill(art, work, filled);

    // Magenta left in the work image shows the track; outside the track's
    // shape nothing is drawn.
    QImage result(art.track.size(), QImage::Format_ARGB32_Premultiplied);
    result.setDevicePixelRatio(art.scale);
    for (int y = 0; y < result.height(); ++y) {
        const auto* track = reinterpret_cast<const QRgb*>(art.track.constScanLine(y));
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
    QPainter painter(this);
    const QImage bar = Compose(ArtScale::For(painter));
    if (bar.isNull())
        return;
    painter.setClipRegion(m_rgnTrack);
    painter.drawImage(0, 0, bar);
}
