#pragma once

#include <QLineEdit>

// A one-line edit only the program writes: every edit by the user (typing,
// Backspace, Delete, paste, cut, undo, dropping text, the context menu's edit
// commands) is refused, while selecting and copying work and the edit keeps its
// enabled look. The program sets the text as with any edit, from any thread
// through the window operations.
class CEnableEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit CEnableEdit(QWidget* parent = nullptr);
};
