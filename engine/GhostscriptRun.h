#pragma once

#include <QString>

#include <sys/types.h>

class GhostscriptCommand;
class StopGate;

// How one Ghostscript process ended.
struct GhostscriptRunOutcome {
    pid_t pid = 0;          // 0: it could not be started
    int exitCode = -1;      // -1 when a signal ended it
    bool stopped = false;   // a stop request ended it
    QString error;          // why it could not be started
};

// Starts the command (argument list, no shell), its output appended to logFile
// (may be empty), and waits without time limit until it ends. A stop request on
// the gate ends the process at once.
GhostscriptRunOutcome RunAndWait(const GhostscriptCommand& command, StopGate* gate,
                                 const QString& logFile);
