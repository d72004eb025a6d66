#include "ButtonArt.h"

#include "ArtKit.h"
#include "Palette.h"

#include <QLinearGradient>
#include <QPainter>

namespace {
struct Look {
    QColor top, bottom, border, ink, glyph;
    bool highlight;
};

Look DisabledLook(ButtonArt::Style style)
{
    if (style == ButtonArt::Style::Go || style == ButtonArt::Style::Stop)
        return {QColor(0xD3, 0xD9, 0xDF), QColor(0xC4, 0xCB, 0xD2), QColor(0xB3, 0xBC, 0xC5),
                QColor(0xF7, 0xF8, 0xF9), QColor(0xF7, 0xF8, 0xF9), false};
    return {QColor(0xF0, 0xF2, 0xF4), QColor(0xEB, 0xEE, 0xF1), QColor(0xD0, 0xD6, 0xDC),
            QColor(0xA6, 0xAE, 0xB6), QColor(0xB4, 0xBB, 0xC2), false};
}

Look PushLook(ButtonArt::Style style, ButtonArt::State state)
{
    using S = ButtonArt::Style;
    const bool active = state == ButtonArt::State::Active;
    if (state == ButtonArt::State::Disabled)
        return DisabledLook(style);
    switch (style) {
    case S::Primary:
        return active ? Look{QColor(0x48, 0xB8, 0xEC), QColor(0x08, 0x8B, 0xC8), QColor(0x01, 0x6E, 0xA6),
                             Qt::white, Qt::white, true}
                      : Look{QColor(0x26, 0x9E, 0xD8), QColor(0x01, 0x74, 0xAB), QColor(0x01, 0x61, 0x96),
                             Qt::white, Qt::white, true};
    case S::Go:
        return active ? Look{QColor(0x54, 0xCF, 0x83), QColor(0x26, 0xA5, 0x56), QColor(0x1B, 0x85, 0x44),
                             Qt::white, Qt::white, true}
                      : Look{QColor(0x3C, 0xBA, 0x6C), QColor(0x1D, 0x8C, 0x47), QColor(0x17, 0x74, 0x3A),
                             Qt::white, Qt::white, true};
    case S::Stop:
        return active ? Look{QColor(0xF4, 0x78, 0x6E), QColor(0xD4, 0x45, 0x3C), QColor(0xB0, 0x32, 0x2A),
                             Qt::white, Qt::white, true}
                      : Look{QColor(0xE8, 0x5A, 0x50), QColor(0xBD, 0x33, 0x2B), QColor(0x9E, 0x29, 0x22),
                             Qt::white, Qt::white, true};
    default:
        return active ? Look{QColor(0xF0, 0xF7, 0xFD), QColor(0xD3, 0xE7, 0xF7), QColor(0x3A, 0x8C, 0xC7),
                             QColor(0x0D, 0x4C, 0x78), QColor(0x0B, 0x6C, 0xA6), true}
                      : Look{QColor(0xFF, 0xFF, 0xFF), QColor(0xEB, 0xEF, 0xF3), QColor(0xA8, 0xB5, 0xC2),
                             QColor(0x28, 0x34, 0x40), Palette::Product, true};
    }
}
} // namespace

QImage ButtonArt::HoverStrip(const Design& design, int scale)
{
    QImage strip = ArtKit::Canvas(design.frameWidth * 3, design.height, scale);
    const State order[3] = {State::Normal, State::Disabled, State::Active};
    for (int i = 0; i < 3; ++i) {
        QPainter p(&strip);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        p.setClipRect(i * design.frameWidth, 0, design.frameWidth, design.height);
        p.translate(i * design.frameWidth, 0);
        PaintFrame(p, design, order[i]);
    }
    return strip.convertToFormat(QImage::Format_RGBA8888);
}

void ButtonArt::PaintFrame(QPainter& p, const Design& design, State state)
{
    switch (design.style) {
    case Style::Ghost: PaintGhost(p, design, state); break;
    case Style::CaptionClose:
    case Style::CaptionMinimise: PaintCaption(p, design, state); break;
    default: PaintPush(p, design, state); break;
    }
}

void ButtonArt::PaintPush(QPainter& p, const Design& design, State state)
{
    const Look look = PushLook(design.style, state);
    const qreal radius = design.height >= 30 ? 6 : 4;
    const QRectF body(0.5, 0.5, design.frameWidth - 1.0, design.height - 2.0);

    // A soft one-pixel shadow under the body, also when disabled (lighter).
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(16, 40, 64, state == State::Disabled ? 14 : 34));
    p.drawRoundedRect(body.translated(0, 1.0), radius, radius);

    QLinearGradient fill(0, body.top(), 0, body.bottom());
    fill.setColorAt(0, look.top);
    fill.setColorAt(1, look.bottom);
    p.setPen(QPen(look.border, 1));
    p.setBrush(fill);
    p.drawRoundedRect(body, radius, radius);
    if (look.highlight) {
        p.setPen(QPen(QColor(255, 255, 255, 110), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(body.adjusted(1, 1, -1, -1), radius - 1, radius - 1);
    }
    PaintContent(p, body, design, look.ink, look.glyph);
}

void ButtonArt::PaintGhost(QPainter& p, const Design& design, State state)
{
    const QRectF body(0.5, 0.5, design.frameWidth - 1.0, design.height - 2.0);
    const qreal radius = 6;
    if (state == State::Active) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(16, 60, 100, 30));
        p.drawRoundedRect(body.translated(0, 1.0), radius, radius);
        p.setPen(QPen(QColor(0x8F, 0xB9, 0xDB), 1));
        p.setBrush(QColor(255, 255, 255, 250));
        p.drawRoundedRect(body, radius, radius);
        PaintContent(p, body, design, QColor(0x0A, 0x55, 0x85), Palette::Product);
    } else if (state == State::Normal) {
        p.setPen(QPen(QColor(0x9F, 0xB6, 0xCB, 120), 1));
        p.setBrush(QColor(255, 255, 255, 120));
        p.drawRoundedRect(body, radius, radius);
        PaintContent(p, body, design, QColor(0x2C, 0x44, 0x5A), QColor(0x2E, 0x7F, 0xB5));
    } else {
        PaintContent(p, body, design, QColor(0xA8, 0xB2, 0xBC), QColor(0xB6, 0xBF, 0xC8));
    }
}

void ButtonArt::PaintCaption(QPainter& p, const Design& design, State state)
{
    const bool close = design.style == Style::CaptionClose;
    const QRectF hot(2.5, 2.5, design.frameWidth - 5.0, design.height - 5.0);
    QColor ink(0x4E, 0x5A, 0x66);
    if (state == State::Active) {
        p.setPen(Qt::NoPen);
        p.setBrush(close ? QColor(0xDB, 0x44, 0x3C) : QColor(0x2A, 0x4A, 0x6A, 38));
        p.drawRoundedRect(hot, 4, 4);
        ink = close ? Qt::white : QColor(0x1F, 0x2D, 0x3A);
    } else if (state == State::Disabled) {
        ink = QColor(0xBB, 0xC2, 0xC9);
    }
    const QPointF c(design.frameWidth / 2.0, design.height / 2.0);
    QPen pen(ink, 1.6, Qt::SolidLine, Qt::RoundCap);
    p.setPen(pen);
    if (close) {
        const qreal r = 4.0;
        p.drawLine(QPointF(c.x() - r, c.y() - r), QPointF(c.x() + r, c.y() + r));
        p.drawLine(QPointF(c.x() + r, c.y() - r), QPointF(c.x() - r, c.y() + r));
    } else {
        const qreal r = 4.5;
        p.drawLine(QPointF(c.x() - r, c.y() + 3.5), QPointF(c.x() + r, c.y() + 3.5));
    }
}

void ButtonArt::PaintContent(QPainter& p, const QRectF& body, const Design& design, const QColor& ink,
                             const QColor& glyphInk)
{
    const bool big = design.height >= 30 && design.style != Style::Ghost;
    const QFont font = ArtKit::Font(big ? 15 : 12, big || design.style == Style::Primary);
    const qreal glyphSize = design.glyph == Glyphs::Kind::None ? 0 : (big ? 16 : (design.height >= 30 ? 15 : 11));
    const qreal gap = glyphSize > 0 ? (big ? 8 : 6) : 0;
    const qreal textWidth = ArtKit::TextWidth(design.caption, font);
    const qreal total = glyphSize + gap + textWidth;
    qreal x = qRound((design.frameWidth - total) / 2.0);
    const qreal cy = body.center().y();
    if (glyphSize > 0) {
        Glyphs::Draw(p, design.glyph, QRectF(x, qRound(cy - glyphSize / 2.0), glyphSize, glyphSize), glyphInk);
        x += glyphSize + gap;
    }
    p.setFont(font);
    p.setPen(ink);
    p.drawText(QRectF(x, body.top(), textWidth + 2, body.height()), Qt::AlignLeft | Qt::AlignVCenter,
               design.caption);
}

QImage ButtonArt::TabStrip(bool selected, const QColor& background, int scale)
{
    const int fw = 93, h = 28;
    QImage strip = ArtKit::Filled(fw * 3, h, scale, background);
    const State order[3] = {State::Normal, State::Pressed, State::Active};
    for (int i = 0; i < 3; ++i) {
        QPainter p(&strip);
        p.setRenderHint(QPainter::Antialiasing);
        p.setClipRect(i * fw, 0, fw, h);
        p.translate(i * fw, 0);
        PaintTab(p, selected, order[i]);
    }
    // The tabs are loaded with 3D-colour mapping on some systems, which swaps
    // three exact greys for system colours: keep clear of them.
    for (int y = 0; y < strip.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(strip.scanLine(y));
        for (int x = 0; x < strip.width(); ++x) {
            const QRgb c = line[x] & 0xFFFFFF;
            if (c == 0x808080 || c == 0xC0C0C0 || c == 0xDFDFDF)
                line[x] = qRgb(qRed(c), qGreen(c), qBlue(c) + 1);
        }
    }
    return strip;
}

void ButtonArt::PaintTab(QPainter& p, bool selected, State state)
{
    const QRectF body(1, 0, 91, 28);
    QColor fill;
    QColor bar;
    qreal barHeight = 0;
    if (selected) {
        fill = state == State::Pressed ? QColor(0xD6, 0xE9, 0xF6)
             : state == State::Active  ? QColor(0xE4, 0xF1, 0xFA)
                                       : QColor(0xEA, 0xF4, 0xFB);
        bar = Palette::Product;
        barHeight = 3;
    } else if (state == State::Active) {
        fill = QColor(0xF2, 0xF5, 0xF8);
        bar = QColor(0xA6, 0xCB, 0xE6);
        barHeight = 2;
    } else if (state == State::Pressed) {
        fill = QColor(0xE4, 0xEA, 0xF0);
        bar = QColor(0x7C, 0xB4, 0xDC);
        barHeight = 2;
    }
    if (fill.isValid()) {
        p.setPen(Qt::NoPen);
        p.setBrush(fill);
        p.drawPath(ArtKit::RoundedTop(body, 5));
    }
    if (barHeight > 0) {
        p.setPen(Qt::NoPen);
        p.setBrush(bar);
        p.drawRect(QRectF(body.left(), body.bottom() - barHeight, body.width(), barHeight));
    }
}
