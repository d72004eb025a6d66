#include "framework/DialogUnits.h"

#include <QStringList>

#include <cmath>

namespace {
// a × b ÷ c rounded half away from zero.
int MulDiv(int a, int b, int c)
{
    return static_cast<int>(std::lround(static_cast<double>(a) * b / c));
}

void InstallSubstitutions()
{
    static const bool installed = [] {
        QFont::insertSubstitutions(QStringLiteral("MS Shell Dlg"),
                                   {QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans")});
        QFont::insertSubstitutions(QStringLiteral("MS Shell Dlg 2"),
                                   {QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans")});
        QFont::insertSubstitutions(QStringLiteral("Microsoft Sans Serif"),
                                   {QStringLiteral("MS Sans Serif"), QStringLiteral("Tahoma"),
                                    QStringLiteral("DejaVu Sans")});
        return true;
    }();
    (void)installed;
}
} // namespace

DialogUnits::DialogUnits(int baseX, int baseY) : m_baseX(baseX), m_baseY(baseY) {}

DialogUnits DialogUnits::ForFont(const QString& face, int points)
{
    if (face.compare(QLatin1String("Microsoft Sans Serif"), Qt::CaseInsensitive) == 0)
        return points == 9 ? DialogUnits(7, 15) : DialogUnits(MulDiv(7, points, 9), MulDiv(15, points, 9));
    return points == 8 ? DialogUnits(6, 13) : DialogUnits(MulDiv(6, points, 8), MulDiv(13, points, 8));
}

QFont DialogUnits::TemplateFont(const QString& face, int points)
{
    InstallSubstitutions();
    QFont font(face);
    font.setPixelSize(MulDiv(points, 96, 72));
    return font;
}

int DialogUnits::MapX(int units) const { return MulDiv(units, m_baseX, 4); }

int DialogUnits::MapY(int units) const { return MulDiv(units, m_baseY, 8); }

QRect DialogUnits::MapRect(const QRect& units) const
{
    const int left = MapX(units.x());
    const int top = MapY(units.y());
    const int right = MapX(units.x() + units.width());
    const int bottom = MapY(units.y() + units.height());
    return QRect(left, top, right - left, bottom - top);
}

QSize DialogUnits::MapSize(const QSize& units) const
{
    return QSize(MapX(units.width()), MapY(units.height()));
}
