#include "framework/WindowOps.h"

#include "framework/UiThread.h"
#include "framework/WindowsCodes.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMetaProperty>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QWidget>

namespace {
QMetaProperty TextProperty(const QWidget* w)
{
    const QMetaObject* meta = w->metaObject();
    const int index = meta->indexOfProperty("text");
    return index >= 0 ? meta->property(index) : QMetaProperty();
}

void SetTextNow(QWidget* w, const QString& text)
{
    if (auto* label = qobject_cast<QLabel*>(w))
        label->setText(text);
    else if (auto* button = qobject_cast<QAbstractButton*>(w))
        button->setText(text);
    else if (auto* edit = qobject_cast<QLineEdit*>(w))
        edit->setText(text);
    else if (auto* plain = qobject_cast<QPlainTextEdit*>(w))
        plain->setPlainText(text);
    else if (auto* rich = qobject_cast<QTextEdit*>(w))
        rich->setPlainText(text);
    else if (auto* group = qobject_cast<QGroupBox*>(w))
        group->setTitle(text);
    else if (qobject_cast<QComboBox*>(w))
        return; // a drop-down list shows only its items
    else if (QMetaProperty p = TextProperty(w); p.isValid() && p.isWritable())
        p.write(w, text);
    else
        w->setWindowTitle(text);
}

QString TextNow(const QWidget* w)
{
    if (auto* label = qobject_cast<const QLabel*>(w))
        return label->text();
    if (auto* button = qobject_cast<const QAbstractButton*>(w))
        return button->text();
    if (auto* edit = qobject_cast<const QLineEdit*>(w))
        return edit->text();
    if (auto* plain = qobject_cast<const QPlainTextEdit*>(w))
        return plain->toPlainText();
    if (auto* rich = qobject_cast<const QTextEdit*>(w))
        return rich->toPlainText();
    if (auto* group = qobject_cast<const QGroupBox*>(w))
        return group->title();
    if (auto* combo = qobject_cast<const QComboBox*>(w))
        return combo->currentText();
    if (QMetaProperty p = TextProperty(w); p.isValid())
        return p.read(w).toString();
    return w->windowTitle();
}

void ShowNow(QWidget* w, int nCmdShow)
{
    switch (nCmdShow) {
    case SW_HIDE:
        w->hide();
        break;
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
        w->showMinimized();
        break;
    case SW_RESTORE:
        w->showNormal();
        break;
    default:
        w->show();
        if (w->isWindow()) {
            w->raise();
            w->activateWindow();
        }
        break;
    }
}
} // namespace

namespace Wnd {
void SetWindowText(QWidget* w, const QString& text)
{
    QPointer<QWidget> target(w);
    RunOnObjectThread(w, [target, text] {
        if (target)
            SetTextNow(target, text);
    });
}

QString GetWindowText(QWidget* w)
{
    if (!w)
        return QString();
    return CallOnObjectThread(w, [w] { return TextNow(w); });
}

void EnableWindow(QWidget* w, bool enable)
{
    QPointer<QWidget> target(w);
    RunOnObjectThread(w, [target, enable] {
        if (target)
            target->setEnabled(enable);
    });
}

bool IsWindowEnabled(QWidget* w)
{
    if (!w)
        return false;
    return CallOnObjectThread(w, [w] { return w->isEnabled(); });
}

void ShowWindow(QWidget* w, int nCmdShow)
{
    QPointer<QWidget> target(w);
    RunOnObjectThread(w, [target, nCmdShow] {
        if (target)
            ShowNow(target, nCmdShow);
    });
}

bool IsWindowVisible(QWidget* w)
{
    if (!w)
        return false;
    return CallOnObjectThread(w, [w] { return w->isVisible(); });
}

void Invalidate(QWidget* w)
{
    QPointer<QWidget> target(w);
    RunOnObjectThread(w, [target] {
        if (target)
            target->update();
    });
}
} // namespace Wnd
