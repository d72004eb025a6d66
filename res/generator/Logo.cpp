#include "Logo.h"

#include "ArtKit.h"
#include "Palette.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

void Logo::Draw(QPainter& p, const QRectF& box)
{
    const bool small = box.width() < 30;
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.translate(box.topLeft());
    p.scale(box.width() / 256.0, box.height() / 256.0);

    // Tile.
    const QRectF tile(6, 6, 244, 244);
    QLinearGradient tileFill(0, tile.top(), 0, tile.bottom());
    tileFill.setColorAt(0.0, QColor(0x33, 0xAE, 0xE6));
    tileFill.setColorAt(1.0, QColor(0x01, 0x63, 0x98));
    p.setPen(small ? Qt::NoPen : QPen(QColor(0x01, 0x55, 0x85), 4));
    p.setBrush(tileFill);
    p.drawRoundedRect(tile, 54, 54);
    if (!small) {
        QPainterPath gloss;
        gloss.addRoundedRect(tile.adjusted(4, 4, -4, -124), 50, 50);
        QLinearGradient g(0, tile.top(), 0, tile.top() + 120);
        g.setColorAt(0, QColor(255, 255, 255, 70));
        g.setColorAt(1, QColor(255, 255, 255, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawPath(gloss);
    }

    // Sheet with a folded corner.
    const qreal L = small ? 54 : 60, T = small ? 34 : 38, R = small ? 190 : 180, B = small ? 222 : 218;
    const qreal fold = small ? 50 : 40;
    QPainterPath sheet;
    sheet.moveTo(L, T);
    sheet.lineTo(R - fold, T);
    sheet.lineTo(R, T + fold);
    sheet.lineTo(R, B);
    sheet.lineTo(L, B);
    sheet.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 40, 70, 60));
    p.drawPath(sheet.translated(0, 6));
    p.setBrush(Qt::white);
    p.drawPath(sheet);
    QPainterPath dog;
    dog.moveTo(R - fold, T);
    dog.lineTo(R - fold, T + fold);
    dog.lineTo(R, T + fold);
    dog.closeSubpath();
    p.setBrush(QColor(0xC9, 0xD6, 0xE2));
    p.drawPath(dog);

    // Workbook grid.
    const QColor green = Palette::ExcelGreen;
    if (small) {
        p.setBrush(green);
        p.drawRect(QRectF(L + 22, T + 56, 84, 26));
    } else {
        p.setBrush(green);
        p.drawRect(QRectF(L + 18, T + 34, 84, 20));
        p.setPen(QPen(QColor(0x7B, 0xB8, 0x93), 5));
        for (int row = 1; row <= 3; ++row) {
            const qreal y = T + 54 + row * 20;
            p.drawLine(QPointF(L + 18, y), QPointF(L + 102, y));
        }
        for (int col = 0; col <= 3; ++col) {
            const qreal x = L + 18 + col * 28;
            p.drawLine(QPointF(x, T + 54), QPointF(x, T + 114));
        }
    }

    // PDF badge.
    const QRectF badge = small ? QRectF(96, 138, 134, 76) : QRectF(104, 146, 122, 58);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 50));
    p.drawRoundedRect(badge.translated(0, 5), 12, 12);
    QLinearGradient red(0, badge.top(), 0, badge.bottom());
    red.setColorAt(0, QColor(0xEE, 0x4B, 0x44));
    red.setColorAt(1, QColor(0xC4, 0x24, 0x24));
    p.setBrush(red);
    p.drawRoundedRect(badge, 12, 12);
    if (!small) {
        QFont f = ArtKit::Font(40, true);
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(badge.adjusted(0, -2, 0, 0), Qt::AlignCenter, QStringLiteral("PDF"));
    }
    p.restore();
}

QImage Logo::Image(int size, int scale)
{
    QImage image = ArtKit::Canvas(size, size, scale);
    QPainter p(&image);
    Draw(p, QRectF(0, 0, size, size));
    return image;
}
