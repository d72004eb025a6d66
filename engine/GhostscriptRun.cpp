#include "engine/GhostscriptRun.h"

#include "engine/GhostscriptCommand.h"
#include "platform/ChildProcess.h"
#include "platform/StopGate.h"

#include <QFileInfo>

GhostscriptRunOutcome RunAndWait(const GhostscriptCommand& command, StopGate* gate,
                                 const QString& logFile)
{
    GhostscriptRunOutcome outcome;
    ChildProcess process;
    if (!logFile.isEmpty()) {
        process.SetOutputFile(logFile);
        // Ghostscript's own scratch files go beside the log, into the private
        // run folder, so an interrupted run leaves none in the shared /tmp.
        process.SetExtraEnvironment({QStringLiteral("TMPDIR=") + QFileInfo(logFile).absolutePath()});
    }
    if (!process.Start(command.Program(), command.Arguments(), &outcome.error))
        return outcome;
    outcome.pid = process.Pid();
    {
        // Attached only while it runs: a stop ends it, even one asked just before.
        StopGateAttachment attachment(gate, &process);
        process.WaitForExit();
    }
    outcome.exitCode = process.ExitCode();
    // A run that finished before the stop keeps its result.
    outcome.stopped = gate && gate->StopRequested() && outcome.exitCode != 0;
    return outcome;
}
