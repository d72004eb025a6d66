#include "ArtKit.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPainter>

#include <vector>

namespace {
QString g_family = QStringLiteral("DejaVu Sans");
}

QString ArtKit::LoadFaces()
{
    const QString folder = QStringLiteral("/usr/share/wine/fonts/");
    const int regular = QFontDatabase::addApplicationFont(folder + QStringLiteral("tahoma.ttf"));
    QFontDatabase::addApplicationFont(folder + QStringLiteral("tahomabd.ttf"));
    if (regular >= 0 && !QFontDatabase::applicationFontFamilies(regular).isEmpty()) {
        g_family = QFontDatabase::applicationFontFamilies(regular).first();
    } else {
        const int dejavu = QFontDatabase::addApplicationFont(
            QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"));
        QFontDatabase::addApplicationFont(
            QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"));
        if (dejavu >= 0 && !QFontDatabase::applicationFontFamilies(dejavu).isEmpty())
            g_family = QFontDatabase::applicationFontFamilies(dejavu).first();
    }
    return g_family;
}

QFont ArtKit::Font(qreal pixelSize, bool bold)
{
    QFont f(g_family);
    f.setPixelSize(qRound(pixelSize));
    f.setBold(bold);
    f.setHintingPreference(QFont::PreferFullHinting);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

QImage ArtKit::Canvas(int width, int height, int scale)
{
    return Filled(width, height, scale, Qt::transparent, QImage::Format_ARGB32_Premultiplied);
}

QImage ArtKit::Filled(int width, int height, int scale, const QColor& fill, QImage::Format format)
{
    QImage image(width * scale, height * scale, format);
    image.setDevicePixelRatio(scale);
    image.fill(fill);
    return image;
}

QRectF ArtKit::Dlu(DialogFont font, qreal x, qreal y, qreal w, qreal h)
{
    const qreal bx = font == DialogFont::ShellDlg8 ? 6.0 : 7.0;
    const qreal by = font == DialogFont::ShellDlg8 ? 13.0 : 15.0;
    return QRectF(x * bx / 4.0, y * by / 8.0, w * bx / 4.0, h * by / 8.0);
}

QPainterPath ArtKit::Rounded(const QRectF& rect, qreal radius)
{
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

QPainterPath ArtKit::RoundedTop(const QRectF& rect, qreal radius)
{
    QPainterPath path = Rounded(rect, radius);
    QPainterPath square;
    square.addRect(QRectF(rect.left(), rect.center().y(), rect.width(), rect.height() / 2));
    return path.united(square).simplified();
}

QImage ArtKit::CutWithMagenta(const QImage& argb)
{
    QImage in = argb.convertToFormat(QImage::Format_ARGB32);
    QImage out(in.size(), QImage::Format_RGB32);
    out.setDevicePixelRatio(argb.devicePixelRatio());
    for (int y = 0; y < in.height(); ++y) {
        const QRgb* src = reinterpret_cast<const QRgb*>(in.constScanLine(y));
        QRgb* dst = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < in.width(); ++x) {
            if (qAlpha(src[x]) < 128) {
                dst[x] = qRgb(255, 0, 255);
                continue;
            }
            QRgb c = qRgb(qRed(src[x]), qGreen(src[x]), qBlue(src[x]));
            if (c == qRgb(255, 0, 255)) // never let artwork hit the key by chance
                c = qRgb(254, 0, 255);
            dst[x] = c;
        }
    }
    return out;
}

QImage ArtKit::CutWithMagentaOver(const QImage& argb, const QColor& background)
{
    const QImage flat = Flatten(argb, background);
    const QImage in = argb.convertToFormat(QImage::Format_ARGB32);
    QImage out = flat;
    for (int y = 0; y < in.height(); ++y) {
        const QRgb* src = reinterpret_cast<const QRgb*>(in.constScanLine(y));
        QRgb* dst = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < in.width(); ++x) {
            if (qAlpha(src[x]) < 128)
                dst[x] = qRgb(255, 0, 255);
            else if ((dst[x] & 0xFFFFFF) == 0xFF00FF)
                dst[x] = qRgb(254, 0, 255);
        }
    }
    return out;
}

QImage ArtKit::Flatten(const QImage& argb, const QColor& background)
{
    QImage out(argb.size(), QImage::Format_RGB32);
    out.setDevicePixelRatio(argb.devicePixelRatio());
    out.fill(background);
    QPainter p(&out);
    p.drawImage(0, 0, argb);
    return out;
}

QImage ArtKit::KeyLike(const QImage& larger, const QImage& base, QRgb key)
{
    const int scale = base.width() > 0 ? larger.width() / base.width() : 0;
    if (scale < 1 || larger.size() != base.size() * scale)
        return larger;
    key &= 0xFFFFFF;
    const QImage from = base.convertToFormat(QImage::Format_RGB32);
    QImage out = larger.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < out.height(); ++y) {
        const QRgb* under = reinterpret_cast<const QRgb*>(from.constScanLine(y / scale));
        QRgb* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const QRgb own = under[x / scale];
            if ((own & 0xFFFFFF) == key || (line[x] & 0xFFFFFF) == key)
                line[x] = own;
        }
    }
    return out;
}

namespace {
// Three box blurs over the alpha channel approximate a Gaussian.
void BlurAlpha(QImage& img, int radius)
{
    if (radius < 1)
        return;
    const int w = img.width();
    const int h = img.height();
    std::vector<int> a(size_t(w) * h), t(size_t(w) * h);
    for (int y = 0; y < h; ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < w; ++x)
            a[size_t(y) * w + x] = qAlpha(line[x]);
    }
    for (int pass = 0; pass < 3; ++pass) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                int sum = 0;
                for (int k = -radius; k <= radius; ++k)
                    sum += a[size_t(y) * w + qBound(0, x + k, w - 1)];
                t[size_t(y) * w + x] = sum / (2 * radius + 1);
            }
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                int sum = 0;
                for (int k = -radius; k <= radius; ++k)
                    sum += t[size_t(qBound(0, y + k, h - 1)) * w + x];
                a[size_t(y) * w + x] = sum / (2 * radius + 1);
            }
    }
    for (int y = 0; y < h; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < w; ++x)
            line[x] = qRgba(0, 0, 0, a[size_t(y) * w + x]);
    }
}
} // namespace

void ArtKit::Shadow(QPainter& p, const QPainterPath& path, int blur, qreal offsetY, int alpha)
{
    // The device's own pixels (an image's width() counts them), the blur as
    // wide in window pixels at every scale.
    const qreal scale = p.device()->devicePixelRatio();
    const QSize size(p.device()->width(), p.device()->height());
    QImage mask(size, QImage::Format_ARGB32);
    mask.setDevicePixelRatio(scale);
    mask.fill(Qt::transparent);
    {
        QPainter m(&mask);
        m.setRenderHint(QPainter::Antialiasing);
        m.setPen(Qt::NoPen);
        m.setBrush(QColor(0, 0, 0, alpha));
        m.drawPath(path.translated(0, offsetY));
    }
    BlurAlpha(mask, qRound(blur * scale));
    // Tint the shadow a cool slate rather than pure black.
    for (int y = 0; y < mask.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(mask.scanLine(y));
        for (int x = 0; x < mask.width(); ++x)
            line[x] = qRgba(20, 35, 50, qAlpha(line[x]));
    }
    p.drawImage(0, 0, mask);
}

QColor ArtKit::Mix(const QColor& a, const QColor& b, qreal t)
{
    return QColor::fromRgbF(a.redF() + (b.redF() - a.redF()) * t, a.greenF() + (b.greenF() - a.greenF()) * t,
                            a.blueF() + (b.blueF() - a.blueF()) * t,
                            a.alphaF() + (b.alphaF() - a.alphaF()) * t);
}

void ArtKit::CentredText(QPainter& p, const QRectF& r, const QString& text, const QFont& font,
                         const QColor& colour)
{
    p.save();
    p.setFont(font);
    p.setPen(colour);
    p.drawText(r, Qt::AlignCenter | Qt::TextSingleLine, text);
    p.restore();
}

qreal ArtKit::TextWidth(const QString& text, const QFont& font)
{
    return QFontMetricsF(font).horizontalAdvance(text);
}
