#include "res/Resources.h"

#include <QFile>
#include <QString>

namespace {
QByteArray ReadResource(const QString& path)
{
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
} // namespace Resources
