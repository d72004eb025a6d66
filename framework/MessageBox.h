#pragma once

#include <QString>

class QWidget;

// The program's title: the caption of its plain message boxes.
inline const char* const kProgramTitle = "Orvik Excel To PDF";

// The plain system message box: text, caption, the buttons and icon of the style
// (MB_OK, MB_YESNO, MB_ICONSTOP, ...), owned by owner's window and modal. Returns the
// id of the button pressed (IDOK, IDYES, ...). Callable from any thread: the box
// runs on the window thread and the caller waits for it. A MessageBoxSeam answers
// instead while one exists.
int MessageBox(QWidget* owner, const QString& text, const QString& caption, unsigned type);

// The application's plain box: caption "Orvik Excel To PDF", owned by the main
// window. A style without an icon gets the customary one: the exclamation mark for
// OK and OK/Cancel, the question mark for Yes/No and Yes/No/Cancel.
int AfxMessageBox(const QString& text, unsigned type = 0);
