#pragma once

class QWidget;

// The application's main window: the owner of modal runs and plain message boxes
// that name no owner of their own. Null until the program sets it.
QWidget* AfxGetMainWnd();
void AfxSetMainWnd(QWidget* window);
