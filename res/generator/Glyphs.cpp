#include "Glyphs.h"

#include "ArtKit.h"

#include <QPainter>
#include <QPainterPath>
#include <QtMath>

void Glyphs::Draw(QPainter& p, Kind kind, const QRectF& box, const QColor& colour)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    QPen pen(colour, qMax(1.3, box.width() / 9.0), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    switch (kind) {
    case Kind::None: break;
    case Kind::Plus: Plus(p, box); break;
    case Kind::Minus: Minus(p, box); break;
    case Kind::Trash: Trash(p, box); break;
    case Kind::Gear: Gear(p, box, colour); break;
    case Kind::Folder: Folder(p, box); break;
    case Kind::Document: Document(p, box); break;
    case Kind::OpenFolder: OpenFolder(p, box); break;
    case Kind::Globe: Globe(p, box); break;
    case Kind::Info: Info(p, box, colour); break;
    case Kind::Help: Help(p, box, colour); break;
    case Kind::Check: Check(p, box); break;
    case Kind::ArrowRight: ArrowRight(p, box, colour); break;
    case Kind::StopSquare: StopSquare(p, box, colour); break;
    case Kind::Cross: Cross(p, box); break;
    case Kind::Minimise: Minimise(p, box); break;
    case Kind::Lock: Lock(p, box, colour); break;
    }
    p.restore();
}

void Glyphs::Plus(QPainter& p, const QRectF& b)
{
    const QPointF c = b.center();
    const qreal r = b.width() * 0.40;
    p.drawLine(QPointF(c.x() - r, c.y()), QPointF(c.x() + r, c.y()));
    p.drawLine(QPointF(c.x(), c.y() - r), QPointF(c.x(), c.y() + r));
}

void Glyphs::Minus(QPainter& p, const QRectF& b)
{
    const QPointF c = b.center();
    const qreal r = b.width() * 0.40;
    p.drawLine(QPointF(c.x() - r, c.y()), QPointF(c.x() + r, c.y()));
}

void Glyphs::Trash(QPainter& p, const QRectF& b)
{
    const qreal w = b.width();
    const qreal x = b.left(), y = b.top();
    p.drawLine(QPointF(x + w * 0.10, y + w * 0.22), QPointF(x + w * 0.90, y + w * 0.22));
    p.drawLine(QPointF(x + w * 0.38, y + w * 0.08), QPointF(x + w * 0.62, y + w * 0.08));
    QPainterPath can;
    can.moveTo(x + w * 0.20, y + w * 0.30);
    can.lineTo(x + w * 0.27, y + w * 0.94);
    can.lineTo(x + w * 0.73, y + w * 0.94);
    can.lineTo(x + w * 0.80, y + w * 0.30);
    p.drawPath(can);
    p.drawLine(QPointF(x + w * 0.43, y + w * 0.44), QPointF(x + w * 0.43, y + w * 0.78));
    p.drawLine(QPointF(x + w * 0.57, y + w * 0.44), QPointF(x + w * 0.57, y + w * 0.78));
}

void Glyphs::Gear(QPainter& p, const QRectF& b, const QColor& c)
{
    const QPointF centre = b.center();
    const qreal outer = b.width() * 0.50;
    const qreal inner = b.width() * 0.36;
    QPainterPath gear;
    const int teeth = 8;
    for (int i = 0; i < teeth * 2; ++i) {
        const qreal a0 = (i - 0.5) * M_PI / teeth;
        const qreal a1 = (i + 0.5) * M_PI / teeth;
        const qreal r = (i % 2 == 0) ? outer : inner;
        const QPointF p0(centre.x() + r * qCos(a0), centre.y() + r * qSin(a0));
        const QPointF p1(centre.x() + r * qCos(a1), centre.y() + r * qSin(a1));
        if (i == 0)
            gear.moveTo(p0);
        else
            gear.lineTo(p0);
        gear.lineTo(p1);
    }
    gear.closeSubpath();
    QPainterPath hole;
    hole.addEllipse(centre, b.width() * 0.16, b.width() * 0.16);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPath(gear.subtracted(hole));
}

void Glyphs::Folder(QPainter& p, const QRectF& b)
{
    const qreal w = b.width();
    const qreal x = b.left(), y = b.top();
    QPainterPath f;
    f.moveTo(x + w * 0.06, y + w * 0.84);
    f.lineTo(x + w * 0.06, y + w * 0.18);
    f.lineTo(x + w * 0.38, y + w * 0.18);
    f.lineTo(x + w * 0.48, y + w * 0.30);
    f.lineTo(x + w * 0.94, y + w * 0.30);
    f.lineTo(x + w * 0.94, y + w * 0.84);
    f.closeSubpath();
    p.drawPath(f);
}

void Glyphs::OpenFolder(QPainter& p, const QRectF& b)
{
    const qreal w = b.width();
    const qreal x = b.left(), y = b.top();
    QPainterPath f;
    f.moveTo(x + w * 0.06, y + w * 0.84);
    f.lineTo(x + w * 0.06, y + w * 0.16);
    f.lineTo(x + w * 0.36, y + w * 0.16);
    f.lineTo(x + w * 0.46, y + w * 0.28);
    f.lineTo(x + w * 0.84, y + w * 0.28);
    f.lineTo(x + w * 0.84, y + w * 0.42);
    p.drawPath(f);
    QPainterPath front;
    front.moveTo(x + w * 0.06, y + w * 0.84);
    front.lineTo(x + w * 0.22, y + w * 0.44);
    front.lineTo(x + w * 0.98, y + w * 0.44);
    front.lineTo(x + w * 0.82, y + w * 0.84);
    front.closeSubpath();
    p.drawPath(front);
}

void Glyphs::Document(QPainter& p, const QRectF& b)
{
    const qreal w = b.width();
    const qreal x = b.left(), y = b.top();
    QPainterPath d;
    d.moveTo(x + w * 0.58, y + w * 0.04);
    d.lineTo(x + w * 0.18, y + w * 0.04);
    d.lineTo(x + w * 0.18, y + w * 0.96);
    d.lineTo(x + w * 0.82, y + w * 0.96);
    d.lineTo(x + w * 0.82, y + w * 0.28);
    d.closeSubpath();
    p.drawPath(d);
    QPainterPath fold;
    fold.moveTo(x + w * 0.58, y + w * 0.04);
    fold.lineTo(x + w * 0.58, y + w * 0.28);
    fold.lineTo(x + w * 0.82, y + w * 0.28);
    p.drawPath(fold);
}

void Glyphs::Globe(QPainter& p, const QRectF& b)
{
    const QRectF r = b.adjusted(b.width() * 0.06, b.width() * 0.06, -b.width() * 0.06, -b.width() * 0.06);
    p.drawEllipse(r);
    p.drawEllipse(QRectF(r.center().x() - r.width() * 0.22, r.top(), r.width() * 0.44, r.height()));
    p.drawLine(QPointF(r.left(), r.center().y()), QPointF(r.right(), r.center().y()));
    const qreal dy = r.height() * 0.25;
    const qreal dx = r.width() * 0.43;
    p.drawLine(QPointF(r.center().x() - dx, r.center().y() - dy), QPointF(r.center().x() + dx, r.center().y() - dy));
    p.drawLine(QPointF(r.center().x() - dx, r.center().y() + dy), QPointF(r.center().x() + dx, r.center().y() + dy));
}

void Glyphs::Info(QPainter& p, const QRectF& b, const QColor& c)
{
    const QRectF r = b.adjusted(b.width() * 0.06, b.width() * 0.06, -b.width() * 0.06, -b.width() * 0.06);
    p.drawEllipse(r);
    const QPointF centre = r.center();
    p.drawLine(QPointF(centre.x(), centre.y() - r.height() * 0.02), QPointF(centre.x(), centre.y() + r.height() * 0.26));
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawEllipse(QPointF(centre.x(), centre.y() - r.height() * 0.24), r.width() * 0.07, r.width() * 0.07);
}

void Glyphs::Help(QPainter& p, const QRectF& b, const QColor& c)
{
    const QRectF r = b.adjusted(b.width() * 0.06, b.width() * 0.06, -b.width() * 0.06, -b.width() * 0.06);
    p.drawEllipse(r);
    const QPointF centre = r.center();
    const qreal s = r.width();
    QPainterPath q;
    q.moveTo(centre.x() - s * 0.15, centre.y() - s * 0.12);
    q.cubicTo(centre.x() - s * 0.15, centre.y() - s * 0.32, centre.x() + s * 0.17, centre.y() - s * 0.32,
              centre.x() + s * 0.16, centre.y() - s * 0.12);
    q.cubicTo(centre.x() + s * 0.15, centre.y() + s * 0.0, centre.x(), centre.y() - s * 0.01,
              centre.x(), centre.y() + s * 0.10);
    p.drawPath(q);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawEllipse(QPointF(centre.x(), centre.y() + s * 0.26), s * 0.07, s * 0.07);
}

void Glyphs::Check(QPainter& p, const QRectF& b)
{
    const qreal w = b.width();
    QPainterPath c;
    c.moveTo(b.left() + w * 0.14, b.top() + w * 0.52);
    c.lineTo(b.left() + w * 0.40, b.top() + w * 0.76);
    c.lineTo(b.left() + w * 0.86, b.top() + w * 0.26);
    p.drawPath(c);
}

void Glyphs::ArrowRight(QPainter& p, const QRectF& b, const QColor& c)
{
    const qreal w = b.width();
    QPen pen(c, w * 0.13, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.drawLine(QPointF(b.left() + w * 0.12, b.center().y()), QPointF(b.left() + w * 0.84, b.center().y()));
    QPainterPath head;
    head.moveTo(b.left() + w * 0.54, b.top() + w * 0.22);
    head.lineTo(b.left() + w * 0.86, b.center().y());
    head.lineTo(b.left() + w * 0.54, b.bottom() - w * 0.22);
    p.drawPath(head);
}

void Glyphs::StopSquare(QPainter& p, const QRectF& b, const QColor& c)
{
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    const QRectF r = b.adjusted(b.width() * 0.16, b.width() * 0.16, -b.width() * 0.16, -b.width() * 0.16);
    p.drawRoundedRect(r, b.width() * 0.10, b.width() * 0.10);
}

void Glyphs::Cross(QPainter& p, const QRectF& b)
{
    p.drawLine(b.topLeft(), b.bottomRight());
    p.drawLine(b.topRight(), b.bottomLeft());
}

void Glyphs::Minimise(QPainter& p, const QRectF& b)
{
    p.drawLine(QPointF(b.left(), b.bottom()), QPointF(b.right(), b.bottom()));
}

void Glyphs::Lock(QPainter& p, const QRectF& b, const QColor& c)
{
    const qreal w = b.width();
    QRectF body(b.left() + w * 0.14, b.top() + w * 0.44, w * 0.72, w * 0.52);
    QPainterPath shackle;
    shackle.moveTo(b.left() + w * 0.30, body.top());
    shackle.lineTo(b.left() + w * 0.30, b.top() + w * 0.28);
    shackle.arcTo(QRectF(b.left() + w * 0.30, b.top() + w * 0.06, w * 0.40, w * 0.44), 180, -180);
    shackle.lineTo(b.left() + w * 0.70, body.top());
    p.drawPath(shackle);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawRoundedRect(body, w * 0.10, w * 0.10);
}
