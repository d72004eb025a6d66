#include "skin/BmpHoverButton.h"

#include "res/Resources.h"
#include "skin/ArtScale.h"
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
    return SetBitmapImage(Resources::Bitmap(resourceId), Resources::Bitmap(resourceId, ArtScale::kHigh));
}

bool CBmpHoverButton::SetBitmapImage(const QByteArray& bmp, const QByteArray& bmpHigh)
{
    const DibImage dib = DibImage::FromBmp(bmp);
    if (dib.IsNull())
        return false;
    m_bmpStrip = dib.ToImage();
    m_bmpStripHigh = DibImage::FromBmp(bmpHigh).ToImage();
    if (m_bmpStripHigh.size() == m_bmpStrip.size() * ArtScale::kHigh)
        m_bmpStripHigh.setDevicePixelRatio(ArtScale::kHigh);
    else
        m_bmpStripHigh = QImage();
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
    const bool high = !m_bmpStripHigh.isNull() && ArtScale::For(painter) > 1;
    const QImage& strip = high ? m_bmpStripHigh : m_bmpStrip;
    const int scale = high ? ArtScale::kHigh : 1; // the source rectangle is in the strip's pixels
    if (!strip.isNull())
        painter.drawImage(QPoint(0, 0), strip,
                          QRect(CurrentFrame() * m_nFrameWidth * scale, 0, m_nFrameWidth * scale,
                                m_nFrameHeight * scale));
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
