#include "skin/BmpHoverButton.h"

#include "res/Resources.h"
#include "skin/ColorRef.h"
#include "skin/DibImage.h"

#include <QFontMetrics>
#include <QPainter>

CBmpHoverButton::CBmpHoverButton(QWidget* parent)
    : QAbstractButton(parent)
{
    setFocusPolicy(Qt::TabFocus);
}

bool CBmpHoverButton::SetBitmapImage(int resourceId)
{
    return SetBitmapImage(Resources::Bitmap(resourceId));
}

bool CBmpHoverButton::SetBitmapImage(const QByteArray& bmp)
{
    const DibImage dib = DibImage::FromBmp(bmp);
    if (dib.IsNull())
        return false;
    m_bmpStrip = dib.ToImage();
    m_nFrameHeight = m_bmpStrip.height();
    m_nFrameWidth = m_bmpStrip.width() / 3;
    resize(m_nFrameWidth, m_nFrameHeight);
    updateGeometry();
    update();
    return true;
}

int CBmpHoverButton::CurrentFrame() const
{
    if (isDown())
        return 1;
    return m_bHover ? 2 : 0;
}

QPoint CBmpHoverButton::TextOrigin() const
{
    const QFontMetrics metrics(font());
    const QRect r = rect();
    const int right = r.left() + r.width(), bottom = r.top() + r.height();
    return QPoint((r.left() + right) / 2 - metrics.horizontalAdvance(text()) / 2,
                  (r.top() + bottom) / 2 - metrics.height() / 2);
}

QSize CBmpHoverButton::sizeHint() const
{
    return m_bmpStrip.isNull() ? QSize(93, 28) : QSize(m_nFrameWidth, m_nFrameHeight);
}

void CBmpHoverButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (!m_bmpStrip.isNull())
        painter.drawImage(QPoint(0, 0), m_bmpStrip,
                          QRect(CurrentFrame() * m_nFrameWidth, 0, m_nFrameWidth, m_nFrameHeight));
    if (text().isEmpty())
        return;
    painter.setFont(font());
    painter.setPen(ColorFromCOLORREF(m_crText));
    const QPoint origin = TextOrigin();
    painter.drawText(QPoint(origin.x(), origin.y() + QFontMetrics(font()).ascent()), text());
}

void CBmpHoverButton::enterEvent(QEnterEvent* event)
{
    m_bTracking = true;
    m_bHover = true;
    update();
    QAbstractButton::enterEvent(event);
}

void CBmpHoverButton::leaveEvent(QEvent* event)
{
    m_bTracking = false;
    m_bHover = false;
    update();
    QAbstractButton::leaveEvent(event);
}
