#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// The open-file dialog and the folder browser. Both run modally over the
// owner's window, on the window thread (callable from any thread: the caller
// waits). Qt's own dialog is used everywhere, so the filter matches names in
// any case (Book.XLSX shows under *.xlsx) whatever the desktop. A
// FileDialogSeam answers instead while one exists.
class CFileDialog {
public:
    // The chosen existing files (any number) in the dialog's order, or empty when
    // cancelled. filter: "Name (*.a *.b)", several separated by ";;".
    static QStringList GetOpenFileNames(QWidget* owner, const QString& filter);
    // The chosen existing folder, or empty when cancelled.
    static QString GetExistingDirectory(QWidget* owner);
};
