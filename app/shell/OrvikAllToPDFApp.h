#pragma once

#include <QApplication>

// The converter's application object. Main() does the whole start-up: one copy
// per user (a second start ends at once, silently, before any display is
// opened), the application object, then the main window's run. The program
// ends when the main window closes, always with exit code 0.
class COrvikAllToPDFApp : public QApplication {
    Q_OBJECT
public:
    // The desktop entry's id: the product's web address, reversed.
    static constexpr char kDesktopId[] = ORVIK_DESKTOP_ID;
    static constexpr char kAppName[] = "OrvikExcelToPDF";

    COrvikAllToPDFApp(int& argc, char** argv);

    // Runs the main window until it closes; the window (and the conversion
    // page, whose teardown ends a run) is gone before this returns.
    int InitInstance() { return RunMainWindow(); }
    // The main window's run, set as the main window meanwhile: exit code 0.
    static int RunMainWindow();

    static int Main(int argc, char** argv);

    // xcb when the platform is not chosen and an X display is there: window
    // shapes and positions work there, not under a Wayland compositor.
    static void ChoosePlatform();
};
