#pragma once

#include <QString>

class StopGate;

// A file the spreadsheet application printed one sheet into. The application
// may still be writing it when its print call returns, so the engine waits
// until the file is complete: it ends with the end-of-file comment that both
// PDF and PostScript (DSC) print files close with.
class CPrintFile {
public:
    enum State {
        Complete,   // a finished print file
        Nothing,    // no file, or an empty one: the sheet had nothing to print
        Incomplete, // still unfinished when the wait ran out (or a stop came)
    };

    // Waits up to timeoutMs for the file at path to be complete. A missing or
    // empty file is not waited for. A stop requested on gate ends the wait.
    static State WaitComplete(const QString& path, StopGate* gate = nullptr, int timeoutMs = 15000);

    // Writes a one-page PDF with an empty A4 page, which stands in for the
    // sheets of a workbook with nothing on any of them. False when it cannot.
    static bool WriteBlankPage(const QString& path);

    // True when the file's last bytes hold the end-of-file comment.
    static bool EndsWithEofMarker(const QString& path);
};
