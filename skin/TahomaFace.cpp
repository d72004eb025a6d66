#include "skin/TahomaFace.h"

#include <QDir>
#include <QFont>
#include <QFontDatabase>

namespace {

QString LoadFace(const QString& folder)
{
    QString family;
    for (const char* file : {"tahoma.ttf", "tahomabd.ttf"}) {
        const int id = QFontDatabase::addApplicationFont(QDir(folder).filePath(QLatin1String(file)));
        const QStringList families = id >= 0 ? QFontDatabase::applicationFontFamilies(id) : QStringList();
        if (family.isEmpty() && !families.isEmpty())
            family = families.first();
    }
    return family;
}

QString ClosestSansFace()
{
    const QStringList installed = QFontDatabase::families();
    for (const char* candidate : {"DejaVu Sans", "Liberation Sans", "Noto Sans", "FreeSans"}) {
        if (installed.contains(QLatin1String(candidate)))
            return QLatin1String(candidate);
    }
    return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
}

} // namespace

QString InstallTahomaFace(const QString& wineFontFolder)
{
    static QString family;
    if (!family.isEmpty())
        return family;
    family = LoadFace(wineFontFolder);
    if (family.isEmpty()) {
        family = ClosestSansFace();
        QFont::insertSubstitution(QStringLiteral("Tahoma"), family);
    }
    for (const char* alias : {"MS Shell Dlg", "MS Shell Dlg 2", "MS Sans Serif", "Microsoft Sans Serif"})
        QFont::insertSubstitution(QLatin1String(alias), family);
    return family;
}
