#pragma once

#include <QString>

class QWidget;

// Window operations on any widget, callable from any thread: from another thread
// the setters are queued to the window thread (in order, without waiting) and the
// getters wait for the window thread's answer. A null widget is ignored.
//
// The window text is what the control shows: a label's, button's, edit's or group
// box's text, a drop-down list's selected item, else a "text" property, else the
// widget's window title (which is also a dialog's own text).
namespace Wnd {
void SetWindowText(QWidget* w, const QString& text);
QString GetWindowText(QWidget* w);
void EnableWindow(QWidget* w, bool enable);
bool IsWindowEnabled(QWidget* w);
// SW_HIDE, SW_SHOW/SW_SHOWNORMAL (a window is also raised and activated),
// SW_MINIMIZE/SW_SHOWMINIMIZED, SW_RESTORE.
void ShowWindow(QWidget* w, int nCmdShow);
bool IsWindowVisible(QWidget* w);
void Invalidate(QWidget* w);
} // namespace Wnd
