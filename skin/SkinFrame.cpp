#include "skin/SkinFrame.h"

#include "res/Resources.h"

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
    return Attach(widget, Resources::Bitmap(bitmapId), features, keyColorRef);
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

void CSkinFrame::PaintSkin()
{
    QPainter painter(m_widget);
    painter.drawImage(QPoint(0, 0), m_skin, m_widget->rect());
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
