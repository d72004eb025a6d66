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
} // namespace

namespace Resources {
QByteArray Bitmap(int id)
{
    return ReadResource(QStringLiteral(":/orvik/bitmap/%1.bmp").arg(id));
}

QByteArray Png(int id)
{
    return ReadResource(QStringLiteral(":/orvik/png/%1.png").arg(id));
}

QByteArray Icon(int id)
{
    return ReadResource(QStringLiteral(":/orvik/icon/%1.png").arg(id));
}
} // namespace Resources
