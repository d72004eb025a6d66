#include "framework/DialogKeyRouter.h"

#include "framework/CDialog.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>

#include <vector>

namespace {
bool IsDialogKey(const QKeyEvent* key)
{
    return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || key->key() == Qt::Key_Escape;
}

// A key that was passed on to a parent after its control ignored it was already
// offered to the dialogs when it reached the control.
bool IsPropagated(const QWidget* receiver)
{
    const QWidget* focus = QApplication::focusWidget();
    return focus && focus != receiver && receiver->isAncestorOf(focus);
}
} // namespace

void DialogKeyRouter::Install()
{
    static DialogKeyRouter* router = nullptr;
    if (router || !qApp)
        return;
    router = new DialogKeyRouter;
    router->setParent(qApp);
    qApp->installEventFilter(router);
}

bool DialogKeyRouter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    auto* target = static_cast<QWidget*>(watched);
    if (!IsDialogKey(key) || IsPropagated(target))
        return false;
    std::vector<QPointer<CDialog>> chain;
    for (QWidget* w = target; w; w = w->isWindow() ? nullptr : w->parentWidget())
        if (auto* dialog = qobject_cast<CDialog*>(w))
            chain.emplace_back(dialog);
    QPointer<QWidget> targetRef(target);
    for (const QPointer<CDialog>& dialog : chain)
        if (dialog && targetRef && dialog->PreTranslateMessage(targetRef, key))
            return true;
    return false;
}
