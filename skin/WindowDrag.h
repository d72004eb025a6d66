#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QWidget>

#include <functional>

// Moves a top-level window with the mouse after a left-button press on one of
// its parts, like a press on a caption. The window system's own move is used
// where the platform offers it; elsewhere the window follows the mouse until
// the button is released.
class CWindowDrag : public QObject {
    Q_OBJECT
public:
    explicit CWindowDrag(QObject* parent = nullptr);

    // Starts moving `window` after a press at `globalPos` received by `source`.
    void Begin(QWidget* source, QWidget* window, const QPoint& globalPos);
    bool IsFollowingMouse() const { return !m_source.isNull(); }

    // Called with the window each time a move starts, before the move itself;
    // for tests, where no window manager answers. An empty function removes it.
    using Observer = std::function<void(QWidget* window)>;
    static void SetObserver(Observer observer);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Stop();

    QPointer<QWidget> m_source;
    QPointer<QWidget> m_window;
    QPoint m_pressGlobal;
    QPoint m_windowStart;
};
