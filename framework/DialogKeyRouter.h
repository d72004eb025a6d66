#pragma once

#include <QObject>

// Hands Enter and Escape to the dialogs before the focused control sees them, the
// innermost dialog first, then the dialogs around it within the same window, until
// one uses the key (CDialog::PreTranslateMessage). A key no dialog uses goes to the
// control as usual. Installed once on the application by the first dialog.
class DialogKeyRouter : public QObject {
public:
    static void Install();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
