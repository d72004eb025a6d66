#include "skin/GdiFont.h"

#include <QFontMetricsF>
#include <QRawFont>
#include <QtEndian>

#include <cmath>

namespace {

// Large enough that a measured cell-to-em ratio is not spoilt by rounding.
constexpr int kReferencePixelSize = 256;
constexpr int kDefaultEm = 13;

// The cell as the Windows font mapper sees it: the OS/2 table's win ascent and
// descent, in units of the em. Faces that ask for their typographic metrics
// (Wine's Tahoma does) get a smaller cell from QFontMetrics, so the table is
// read directly where there is one.
qreal CellPerEm(const QFont& font)
{
    QFont reference(font);
    reference.setPixelSize(kReferencePixelSize);
    const QRawFont raw = QRawFont::fromFont(reference);
    const QByteArray os2 = raw.isValid() ? raw.fontTable("OS/2") : QByteArray();
    const QByteArray head = raw.isValid() ? raw.fontTable("head") : QByteArray();
    if (os2.size() >= 78 && head.size() >= 20) {
        const auto* o = reinterpret_cast<const uchar*>(os2.constData());
        const auto* h = reinterpret_cast<const uchar*>(head.constData());
        const int unitsPerEm = qFromBigEndian<quint16>(h + 18);
        const int winCell = qFromBigEndian<quint16>(o + 74) + qFromBigEndian<quint16>(o + 76);
        if (unitsPerEm > 0 && winCell > 0)
            return qreal(winCell) / unitsPerEm;
    }
    const QFontMetricsF metrics(reference);
    const qreal cell = metrics.ascent() + metrics.descent();
    return cell > 0 ? cell / kReferencePixelSize : 1.0;
}

} // namespace

void SetCreateFontHeight(QFont& font, int height)
{
    if (height < 0) {
        font.setPixelSize(-height);
        return;
    }
    if (height == 0) { // the font mapper's default size
        font.setPixelSize(kDefaultEm);
        return;
    }
    const int em = int(std::lround(height / CellPerEm(font)));
    font.setPixelSize(em > 0 ? em : 1);
}

QFont MakeGdiFont(const QString& face, int height)
{
    QFont font(face);
    font.setWeight(QFont::Normal);
    SetCreateFontHeight(font, height);
    return font;
}
