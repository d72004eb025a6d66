#include "engine/GhostscriptStage.h"

#include "engine/GhostscriptStream.h"
#include "platform/StopGate.h"

namespace {

QString BaseName(const QString& workbookPath)
{
    const QString name = workbookPath.mid(workbookPath.lastIndexOf(QLatin1Char('/')) + 1);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? name : name.left(dot);
}

} // namespace

QString PdfPathFor(const QString& outputFolder, const QString& workbookPath)
{
    QString path = outputFolder;
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    return path + BaseName(workbookPath) + QStringLiteral(".pdf");
}

GhostscriptResult ConvertWithGhostscript(const GhostscriptJob& job, StopGate* gate, GhostscriptServer* server)
{
    // The whole job at once: every print file is there before it begins.
    CGhostscriptStream stream(job, server);
    const GhostscriptResult begun = stream.Begin(gate);
    return begun.ok ? stream.Finish(gate) : begun;
}
