#include "skin/WindowDrag.h"

#include <QMouseEvent>
#include <QWindow>

namespace {
CWindowDrag::Observer& TheObserver()
{
    static CWindowDrag::Observer observer;
    return observer;
}
} // namespace

CWindowDrag::CWindowDrag(QObject* parent)
    : QObject(parent)
{
}

void CWindowDrag::SetObserver(Observer observer)
{
    TheObserver() = std::move(observer);
}

void CWindowDrag::Begin(QWidget* source, QWidget* window, const QPoint& globalPos)
{
    if (!source || !window)
        return;
    // Installing the follow filter during the press's own delivery hands the
    // same press to the source's filters once more: start only once.
    if (IsFollowingMouse() && m_source == source && m_pressGlobal == globalPos)
        return;
    if (TheObserver())
        TheObserver()(window);
    Stop();
    QWindow* handle = window->windowHandle();
    if (handle && handle->startSystemMove())
        return;
    // No system move here: follow the mouse while the source holds it.
    m_source = source;
    m_window = window;
    m_pressGlobal = globalPos;
    m_windowStart = window->pos();
    source->installEventFilter(this);
}

bool CWindowDrag::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_source)
        return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::MouseMove && m_window) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->buttons() & Qt::LeftButton) {
            m_window->move(m_windowStart + (mouse->globalPosition().toPoint() - m_pressGlobal));
            return true;
        }
        Stop();
    } else if (event->type() == QEvent::MouseButtonRelease) {
        Stop();
    }
    return QObject::eventFilter(watched, event);
}

void CWindowDrag::Stop()
{
    if (m_source)
        m_source->removeEventFilter(this);
    m_source.clear();
    m_window.clear();
}
