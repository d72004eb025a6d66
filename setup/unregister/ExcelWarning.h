#pragma once

#include <QString>

// The one warning OrvikUnregister gives before it ends running Excel processes,
// shown where the user can see it: a message box with a single OK button when a
// display can be opened; on a terminal without one, the text followed by a wait
// for Enter; with neither, the text on standard error and no wait.
class CExcelWarning {
public:
    static void Show(const QString& text, const QString& caption);

    // Whether a window could be opened here, tried in a short-lived child process
    // (a GUI start without a display aborts the program that tries it).
    static bool DisplayAvailable();
};
