#pragma once

#include <QString>

// The CUPS printer queue through which the office prints each sheet into a file,
// asked about and removed with libcups. Every call makes its own connection to the
// scheduler with short time limits, so a stopped or stuck CUPS gives NoService
// within a few seconds instead of hanging the caller. Usable from any thread and
// without a display.
class CPrinterQueue {
public:
    enum State {
        Ready,     // a destination of that name exists
        Missing,   // the scheduler answered, and knows no such destination
        NoService  // the scheduler could not be reached or did not answer
    };

    // The queue that the set-up scripts install and the converter prints through.
    static constexpr char kQueueName[] = "OrvikExcelToPDF";
    // The script that installs it.
    static constexpr char kInstallScript[] = "PrinterExcelToPDFWin7.bat";

    // Asks the scheduler about the queue. For Missing and NoService, *message is one
    // sentence naming the queue and what to do; for Ready it is emptied.
    static State Check(const QString& name, QString* message = nullptr);

    // Deletes the queue (needs administrator rights). A queue that does not exist
    // is skipped and counts as success. *message tells what happened.
    static bool Delete(const QString& name, QString* message = nullptr);

    // Where the install script is: beside the program, in setup/printer of the
    // project above its build folder, or else the project-relative path.
    static QString InstallScriptPath();
};
