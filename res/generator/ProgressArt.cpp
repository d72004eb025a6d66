#include "ProgressArt.h"

#include "ArtKit.h"

#include <QLinearGradient>
#include <QPainter>

namespace {
constexpr int kTrackW = 429;
constexpr int kTrackH = 24;
constexpr int kFillH = 20;
constexpr int kFillTop = 2; // the fill is drawn at y = 2
constexpr int kFillLeft = 3;
constexpr int kPeriod = 13;
} // namespace

ProgressArt::ProgressArt(const QColor& pageColour)
    : m_page(pageColour)
{
}

QImage ProgressArt::TrackArgb(int scale) const
{
    QImage img = ArtKit::Canvas(kTrackW, kTrackH, scale);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF outer(0.5, 0.5, kTrackW - 1.0, kTrackH - 1.0);
    QLinearGradient groove(0, 0, 0, kTrackH);
    groove.setColorAt(0.0, QColor(0xDD, 0xE3, 0xE9));
    groove.setColorAt(0.35, QColor(0xE9, 0xED, 0xF1));
    groove.setColorAt(1.0, QColor(0xF7, 0xF9, 0xFA));
    p.setPen(QPen(QColor(0xB3, 0xBF, 0xCB), 1));
    p.setBrush(groove);
    p.drawRoundedRect(outer, 5, 5);
    // A faint inner shadow along the top edge makes it read as a groove.
    p.setPen(QPen(QColor(0x9A, 0xA9, 0xB8, 60), 1));
    p.drawLine(QPointF(4, 1.5), QPointF(kTrackW - 4, 1.5));
    return img;
}

QImage ProgressArt::Track(int scale) const
{
    return ArtKit::CutWithMagentaOver(TrackArgb(scale), m_page);
}

QColor ProgressArt::GrooveColour(int y, int scale) const
{
    const QImage track = ArtKit::Flatten(TrackArgb(scale), m_page);
    return track.pixelColor(kTrackW * scale / 2, kFillTop * scale + y);
}

QColor ProgressArt::FillColour(int x, int y, bool striped, int scale) const
{
    // Vertical gradient of the product blue with a glossy upper half, a bar
    // pixel of edge line at the top and bottom.
    const int rows = kFillH * scale;
    const qreal t = y / qreal(rows - 1);
    QColor c = t < 0.45 ? ArtKit::Mix(QColor(0x6C, 0xC9, 0xF2), QColor(0x2C, 0xA6, 0xE0), t / 0.45)
                        : ArtKit::Mix(QColor(0x12, 0x92, 0xD2), QColor(0x05, 0x6F, 0xAA), (t - 0.45) / 0.55);
    const bool top = y < scale, bottom = y >= rows - scale;
    if (top)
        c = QColor(0x3A, 0xA6, 0xDC);
    if (bottom)
        c = QColor(0x04, 0x62, 0x98);
    if (striped && !top && !bottom && (x + y) % (kPeriod * scale) < 5 * scale)
        c = ArtKit::Mix(c, Qt::white, 0.13);
    return c;
}

QImage ProgressArt::FillBody(int scale) const
{
    QImage img = ArtKit::Filled(kPeriod, kFillH, scale, Qt::black);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixelColor(x, y, FillColour(x, y, true, scale));
    return img;
}

QImage ProgressArt::FillStart(int scale) const
{
    // Columns follow the body pattern (the bar counts its pattern from its left
    // end); the left corners are rounded, blended into the groove, cut with magenta.
    const int w = 9;
    QImage shape = ArtKit::Canvas(w, kFillH, scale);
    {
        QPainter p(&shape);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        p.drawRoundedRect(QRectF(0, 0, w + 10, kFillH), 4, 4);
    }
    QImage img = ArtKit::Filled(w, kFillH, scale, Qt::black);
    for (int y = 0; y < img.height(); ++y) {
        const QColor groove = GrooveColour(y, scale);
        for (int x = 0; x < img.width(); ++x) {
            const int a = qAlpha(shape.pixel(x, y));
            QColor c = FillColour(x, y, true, scale);
            if (x < scale)
                c = ArtKit::Mix(c, QColor(0x04, 0x62, 0x98), 0.45);
            if (a < 40)
                img.setPixel(x, y, qRgb(255, 0, 255));
            else
                img.setPixelColor(x, y, ArtKit::Mix(groove, c, a / 255.0));
        }
    }
    return img;
}

QImage ProgressArt::FillEnd(int scale) const
{
    // Drawn at x = N - 3 while the body already reaches N + 2: columns 0 to 5
    // give the fill a clean leading edge, the rest stay white (transparent), so
    // that a full bar ends inside the groove.
    const int w = 11;
    QImage img = ArtKit::Filled(w, kFillH, scale, Qt::white);
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < 6 * scale; ++x) {
            QColor c = FillColour(x, y, false, scale);
            if (x / scale == 4)
                c = ArtKit::Mix(c, Qt::white, 0.18);
            if (x / scale == 5)
                c = ArtKit::Mix(c, QColor(0x04, 0x62, 0x98), 0.45);
            if (c == QColor(Qt::white))
                c = QColor(254, 254, 254);
            img.setPixelColor(x, y, c);
        }
    }
    return img;
}
