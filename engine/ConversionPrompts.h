#pragma once

#include <QString>

// The questions the engine asks a person. The window program answers them with
// its own boxes on the window thread; the command-line converter on the
// terminal; tests from a queue of answers. May be called from the worker thread.
class ConversionPrompts {
public:
    virtual ~ConversionPrompts() = default;

    // The program's own box: type 0 shows OK, any other type Yes and No.
    // Returns 6 (OK or Yes), 7 (No) or 8 (closed).
    virtual int ShowMessageBox(const QString& text, int type) = 0;
    // The plain system box with an OK button (failures such as "Couldn't get Excel object.").
    virtual void ShowPlainMessage(const QString& text) = 0;
    // The workbook password prompt for the file name (no folder). Returns 1 (OK) with
    // the typed password, or 2 (cancelled) with it left empty.
    virtual int AskWorkbookPassword(const QString& fileName, QString* password) = 0;
};
