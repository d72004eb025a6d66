#pragma once

#include <QFont>
#include <QRect>
#include <QString>

// Dialog units of a template font mapped to pixels: x = units × base width ÷ 4,
// y = units × base height ÷ 8, each edge of a rectangle rounded on its own, the
// way dialog rectangles have always been mapped.
//
// The base units are fixed per template font rather than measured: the program's
// artwork is in pixels, and the fonts these templates name are measured differently
// here than where the artwork was drawn ("MS Shell Dlg" 8 pt is 6 × 13 there; the
// same face rendered here reports a height of 11). "MS Shell Dlg" 8 pt is 6 × 13,
// "Microsoft Sans Serif" 9 pt is 7 × 15, other sizes scale with the point size.
//
// Because every skinned window takes its size from its bitmap, the template size is
// only a first size. It lands within 5% of the bitmap in width everywhere and in
// height for most windows; the message box and the password prompt are 6 to 8% off
// in height.
class DialogUnits {
public:
    DialogUnits(int baseX = 6, int baseY = 13);

    // The base units of a template font.
    static DialogUnits ForFont(const QString& face, int points);
    // The font a template names, sized in pixels as at 96 dots per inch; faces this
    // system lacks fall back to the nearest ones it has.
    static QFont TemplateFont(const QString& face, int points);

    int BaseX() const { return m_baseX; }
    int BaseY() const { return m_baseY; }

    int MapX(int units) const;
    int MapY(int units) const;
    QRect MapRect(const QRect& units) const; // edges mapped, so width = right edge − left edge
    QSize MapSize(const QSize& units) const;

private:
    int m_baseX;
    int m_baseY;
};
