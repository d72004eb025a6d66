#include "res/Resources.h"

#include <QFile>
#include <QString>

// The embedded images live in this static library; a static library's
// resource initialiser is not pulled in by the linker on its own, so register
// it explicitly (outside any namespace, as the macro requires).
static void RegisterEmbeddedImages()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(resources);
        return true;
    }();
    (void)registered;
}

namespace {
QByteArray ReadResource(const QString& path)
{
    RegisterEmbeddedImages();
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// "157" at scale 1, "157@2x" at scale 2.
QString Name(int id, int scale)
{
    return scale == 1 ? QString::number(id) : QStringLiteral("%1@%2x").arg(id).arg(scale);
}
} // namespace

namespace Resources {
QByteArray Bitmap(int id, int scale)
{
    return ReadResource(QStringLiteral(":/orvik/bitmap/%1.bmp").arg(Name(id, scale)));
}

QByteArray Png(int id, int scale)
{
    return ReadResource(QStringLiteral(":/orvik/png/%1.png").arg(Name(id, scale)));
}

QByteArray Icon(int id)
{
    return ReadResource(QStringLiteral(":/orvik/icon/%1.png").arg(id));
}
} // namespace Resources
