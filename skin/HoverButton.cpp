#include "skin/HoverButton.h"

#include "res/Resources.h"
#include "skin/ArtScale.h"
#include "skin/PngBlend.h"

#include <QPainter>
#include <QThread>

CHoverButton::CHoverButton(QWidget* parent)
    : QAbstractButton(parent)
{
    setFocusPolicy(Qt::TabFocus);
}

CHoverButton::~CHoverButton() = default;

bool CHoverButton::SetPngImage(int resourceId)
{
    return SetPngImage(Resources::Png(resourceId), Resources::Png(resourceId, ArtScale::kHigh));
}

bool CHoverButton::SetPngImage(const QByteArray& png, const QByteArray& pngHigh)
{
    std::shared_ptr<const PngImage> image = DecodePngImage(png);
    if (!image)
        return false;
    std::shared_ptr<const PngImage> high = pngHigh.isEmpty() ? nullptr : DecodePngImage(pngHigh);
    if (high && (high->width != image->width * ArtScale::kHigh || high->height != image->height * ArtScale::kHigh))
        high.reset();
    if (QThread::currentThread() == thread())
        ApplyImage(std::move(image), std::move(high));
    else
        QMetaObject::invokeMethod(this, [this, image, high] { ApplyImage(image, high); }, Qt::QueuedConnection);
    return true;
}

void CHoverButton::ApplyImage(std::shared_ptr<const PngImage> image, std::shared_ptr<const PngImage> high)
{
    m_pImage = std::move(image);
    m_pImageHigh = std::move(high);
    m_nFrameHeight = m_pImage->height;
    m_nFrameWidth = m_pImage->width / 3;
    resize(m_nFrameWidth, m_nFrameHeight); // one frame, the position unchanged
    updateGeometry();
    update();
}

int CHoverButton::CurrentFrame() const
{
    if (!isEnabled())
        return 1;
    return (isDown() || m_bHover) ? 2 : 0;
}

QSize CHoverButton::sizeHint() const
{
    return m_pImage ? QSize(m_nFrameWidth, m_nFrameHeight) : QSize(75, 23);
}

QImage CHoverButton::BackgroundUnder(int scale) const
{
    QImage canvas(size() * scale, QImage::Format_RGB32);
    canvas.setDevicePixelRatio(scale);
    canvas.fill(palette().window().color());
    // The parent alone (its background and its own painting, not its other
    // children) under this button's rectangle.
    if (QWidget* parent = parentWidget())
        parent->render(&canvas, QPoint(), QRegion(geometry()), QWidget::DrawWindowBackground);
    return canvas;
}

void CHoverButton::DrawWithoutImage(QImage& canvas) const
{
    QPainter painter(&canvas);
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    painter.setFont(font());
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    painter.drawText(rect(), Qt::AlignCenter, text());
}

void CHoverButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const std::shared_ptr<const PngImage> high = m_pImageHigh;
    const int scale = high && ArtScale::For(painter) > 1 ? ArtScale::kHigh : 1;
    const std::shared_ptr<const PngImage> image = scale > 1 ? high : m_pImage;
    // The blend runs in the strip's own pixels, the background taken as fine.
    QImage canvas = BackgroundUnder(scale);
    if (image)
        BlendPngFrame(*image, canvas, m_nFrameWidth * scale, m_nFrameHeight * scale,
                      CurrentFrame() * m_nFrameWidth * scale);
    else
        DrawWithoutImage(canvas);
    painter.drawImage(QPoint(0, 0), canvas);
}

void CHoverButton::enterEvent(QEnterEvent* event)
{
    // The mouse is tracked from its entry; it counts as resting at once.
    m_bTracking = true;
    m_bHover = true;
    update();
    QAbstractButton::enterEvent(event);
}

void CHoverButton::leaveEvent(QEvent* event)
{
    m_bTracking = false;
    m_bHover = false;
    update();
    QAbstractButton::leaveEvent(event);
}
