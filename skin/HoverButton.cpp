#include "skin/HoverButton.h"

#include "res/Resources.h"
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
    return SetPngImage(Resources::Png(resourceId));
}

bool CHoverButton::SetPngImage(const QByteArray& png)
{
    std::shared_ptr<const PngImage> image = DecodePngImage(png);
    if (!image)
        return false;
    if (QThread::currentThread() == thread())
        ApplyImage(std::move(image));
    else
        QMetaObject::invokeMethod(this, [this, image] { ApplyImage(image); }, Qt::QueuedConnection);
    return true;
}

void CHoverButton::ApplyImage(std::shared_ptr<const PngImage> image)
{
    m_pImage = std::move(image);
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

QImage CHoverButton::BackgroundUnder() const
{
    QImage canvas(size(), QImage::Format_RGB32);
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
    QImage canvas = BackgroundUnder();
    const std::shared_ptr<const PngImage> image = m_pImage;
    if (image)
        BlendPngFrame(*image, canvas, m_nFrameWidth, m_nFrameHeight, CurrentFrame() * m_nFrameWidth);
    else
        DrawWithoutImage(canvas);
    QPainter(this).drawImage(QPoint(0, 0), canvas);
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
