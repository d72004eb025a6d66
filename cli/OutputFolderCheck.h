#pragma once

#include <QString>

// The folder given with -o, checked before anything starts: it must exist, be
// a folder, and take a new file (a folder the run could not write would only
// be found after the office printed each workbook).
class OutputFolderCheck {
public:
    // Empty when the folder can take the PDFs; otherwise a one-line reason.
    static QString Problem(const QString& folder);
};
