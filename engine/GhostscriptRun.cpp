#include "engine/GhostscriptRun.h"

#include "engine/GhostscriptCommand.h"
#include "platform/ChildProcess.h"
#include "platform/StopGate.h"

GhostscriptRunOutcome RunAndWait(const GhostscriptCommand& command, StopGate* gate,
                                 const QString& logFile)
{
    GhostscriptRunOutcome outcome;
    ChildProcess process;
    if (!logFile.isEmpty())
        process.SetOutputFile(logFile);
    if (!process.Start(command.Program(), command.Arguments(), &outcome.error))
        return outcome;
    outcome.pid = process.Pid();
    {
        // Attached only while it runs: a stop ends it, even one asked just before.
        StopGateAttachment attachment(gate, &process);
        // Waited for in slices: a wait without limit holds the process's lock
        // and would keep a stop request from ending it.
        while (!process.WaitForExit(1000)) {
        }
    }
    outcome.exitCode = process.ExitCode();
    // A run that finished before the stop keeps its result.
    outcome.stopped = gate && gate->StopRequested() && outcome.exitCode != 0;
    return outcome;
}
