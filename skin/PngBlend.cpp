#include "skin/PngBlend.h"

#include <QPainter>

namespace {

DibImage CaptureTarget(const QImage& target, int width, int height)
{
    DibImage dib = DibImage::Blank24(width, height);
    const QImage source = target.copy(0, 0, width, height).convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        uchar* out = dib.ImageRow(y);
        for (int x = 0; x < width; ++x) {
            out[3 * x] = uchar(qBlue(in[x]));
            out[3 * x + 1] = uchar(qGreen(in[x]));
            out[3 * x + 2] = uchar(qRed(in[x]));
        }
    }
    return dib;
}

void PutBack(const DibImage& dib, QImage& target)
{
    QImage result(dib.width, dib.height, QImage::Format_RGB32);
    result.setDevicePixelRatio(target.devicePixelRatio()); // pixel for pixel
    for (int y = 0; y < dib.height; ++y) {
        const uchar* in = dib.ImageRow(y);
        auto* out = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < dib.width; ++x)
            out[x] = qRgb(in[3 * x + 2], in[3 * x + 1], in[3 * x]);
    }
    QPainter painter(&target);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(0, 0, result);
}

} // namespace

void BlendPngRows(const PngImage& image, DibImage& dib, int xOffset)
{
    // The first stored row is the bottom one: pair it with the image's row height - 1.
    for (int i = 0; i < dib.height; ++i) {
        const unsigned char* s = image.Row(dib.height - 1 - i) + std::size_t(xOffset) * 4;
        uchar* d = dib.StoredRow(i);
        for (int x = 0; x < dib.width; ++x, s += 4, d += 3) {
            d[0] = uchar(((d[0] * s[3]) >> 8) + s[2]);
            d[1] = uchar(((d[1] * s[3]) >> 8) + s[1]);
            d[2] = uchar(((d[2] * s[3]) >> 8) + s[0]);
        }
    }
}

void BlendPngFrame(const PngImage& image, QImage& target, int width, int height, int xOffset)
{
    if (xOffset < 0 || xOffset >= image.width)
        return;
    if (xOffset + width > image.width)
        width = image.width - xOffset;
    if (height > image.height)
        height = image.height;
    if (width < 1 || height < 1 || target.isNull())
        return;
    DibImage dib = CaptureTarget(target, width, height);
    BlendPngRows(image, dib, xOffset);
    PutBack(dib, target);
}
