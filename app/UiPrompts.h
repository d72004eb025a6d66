#pragma once

#include "engine/ConversionPrompts.h"

// The engine's questions answered by the program's windows: the skinned
// message box, the plain box and the workbook password prompt. Callable from
// the conversion worker: each question runs modally on the window thread, over
// the main window (which takes no input meanwhile), while the worker waits.
// The window thread must not be waiting for the worker at the same time.
class CUiPrompts : public ConversionPrompts {
public:
    int ShowMessageBox(const QString& text, int type) override;
    void ShowPlainMessage(const QString& text) override;
    int AskWorkbookPassword(const QString& fileName, QString* password) override;
};
