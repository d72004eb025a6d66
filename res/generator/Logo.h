#pragma once

#include <QImage>
#include <QRectF>

class QPainter;

// The product mark: a blue tile holding a sheet of a workbook (a green grid)
// that carries a red PDF badge. Drawn at any size; small sizes drop detail.
class Logo {
public:
    static void Draw(QPainter& p, const QRectF& box);
    static QImage Image(int size, int scale = 1);
};
