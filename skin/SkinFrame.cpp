#include "skin/SkinFrame.h"

#include "res/Resources.h"
#include "skin/ArtScale.h"

#include <QMouseEvent>
#include <QPainter>

CSkinFrame::CSkinFrame(QObject* parent)
    : QObject(parent)
{
}

CSkinFrame::~CSkinFrame()
{
    if (m_widget)
        m_widget->removeEventFilter(this);
}

bool CSkinFrame::Attach(QWidget* widget, int bitmapId, Features features, quint32 keyColorRef)
{
    if (!Attach(widget, Resources::Bitmap(bitmapId), features, keyColorRef))
        return false;
    m_bitmapId = bitmapId;
    return true;
}

bool CSkinFrame::Attach(QWidget* widget, const QByteArray& bmp, Features features, quint32 keyColorRef)
{
    const DibImage dib = DibImage::FromBmp(bmp);
    if (!widget || dib.IsNull())
        return false;
    if (m_widget)
        m_widget->removeEventFilter(this);
    m_widget = widget;
    m_features = features;
    m_skin = dib.ToImage();
    m_bitmapId = 0;
    m_highLoaded = false;
    m_skinHigh = QImage();
    m_region = (features & ShapeWindow) ? BuildBitmapRegion(dib, keyColorRef) : QRegion();
    widget->installEventFilter(this);
    if (features & ShapeWindow) {
        if (widget->isWindow() && !(widget->windowFlags() & Qt::FramelessWindowHint))
            widget->setWindowFlag(Qt::FramelessWindowHint, true);
        widget->resize(m_skin.size()); // the size of the bitmap, the position unchanged
        ApplyShape();
    }
    widget->update();
    return true;
}

bool CSkinFrame::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_widget)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Paint:
        PaintSkin();
        break;
    case QEvent::Resize:
    case QEvent::Show:
        // The shape is handed again at every size change and show, so it
        // survives minimising and restoring.
        if (m_features & ShapeWindow)
            ApplyShape();
        break;
    case QEvent::MouseButtonPress:
        OnPress(event);
        break;
    default:
        break;
    }
    return false; // the widget's own processing follows in every case
}

const QImage& CSkinFrame::SkinAt(int scale)
{
    if (scale <= 1 || m_bitmapId == 0)
        return m_skin;
    if (!m_highLoaded) {
        m_highLoaded = true;
        const QImage high = DibImage::FromBmp(Resources::Bitmap(m_bitmapId, ArtScale::kHigh)).ToImage();
        if (high.size() == m_skin.size() * ArtScale::kHigh) {
            m_skinHigh = high;
            m_skinHigh.setDevicePixelRatio(ArtScale::kHigh);
        }
    }
    return m_skinHigh.isNull() ? m_skin : m_skinHigh;
}

void CSkinFrame::PaintSkin()
{
    QPainter painter(m_widget);
    const QImage& skin = SkinAt(ArtScale::For(painter));
    // The source rectangle is in the picture's own pixels.
    const QSizeF shown = QSizeF(m_widget->size()) * skin.devicePixelRatio();
    painter.drawImage(QPointF(0, 0), skin, QRectF(QPointF(0, 0), shown));
}

void CSkinFrame::ApplyShape()
{
    if (m_widget && m_widget->mask() != m_region)
        m_widget->setMask(m_region);
}

void CSkinFrame::OnPress(QEvent* event)
{
    if (!(m_features & DragByTopBand))
        return;
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() == Qt::LeftButton && mouse->position().toPoint().y() < kDragBandHeight)
        StartWindowMove(mouse->globalPosition().toPoint());
}

void CSkinFrame::StartWindowMove(const QPoint& globalPos)
{
    if (m_widget)
        m_drag.Begin(m_widget, m_widget->window(), globalPos);
}
