// orvik-xl2pdf: converts Excel workbooks into PDFs from the command line, through
// the same run as the window program, without a display.
#include "automation/OfficeServer.h"
#include "cli/CliArguments.h"
#include "cli/CliReporter.h"
#include "cli/OutputFolderCheck.h"
#include "cli/SignalStop.h"
#include "cli/TerminalPrompts.h"
#include "cli/WorkbookFileCheck.h"
#include "engine/ConversionRun.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cstdio>

namespace {

void Complain(const QString& text)
{
    std::fprintf(stderr, "orvik-xl2pdf: %s\n", text.toLocal8Bit().constData());
}

// Workbooks the run can take: readable .xls and .xlsx files, each once, as absolute paths.
QStringList AcceptedWorkbooks(const QStringList& given, int* refused)
{
    QStringList accepted;
    *refused = 0;
    for (const QString& path : given) {
        const QFileInfo info(path);
        const QString problem = WorkbookFileCheck::Problem(path);
        if (!problem.isEmpty()) {
            Complain(QStringLiteral("%1: not converted: %2").arg(path, problem));
            ++*refused;
        } else if (accepted.contains(info.absoluteFilePath())) {
            Complain(QStringLiteral("%1: listed twice; converted once.").arg(path));
        } else {
            accepted << info.absoluteFilePath();
        }
    }
    return accepted;
}

} // namespace

int main(int argc, char** argv)
{
    SignalStop stopOnSignal; // before any other thread starts
    QCoreApplication app(argc, argv);

    CliSettings settings;
    QString error;
    if (!CliArguments::Parse(app.arguments().mid(1), &settings, &error)) {
        Complain(error);
        std::fprintf(stderr, "Try 'orvik-xl2pdf --help'.\n");
        return CliArguments::kBadUsage;
    }
    if (settings.help) {
        std::fputs(CliArguments::Usage().toLocal8Bit().constData(), stdout);
        return CliArguments::kAllConverted;
    }
    const QString folderProblem = OutputFolderCheck::Problem(settings.outputFolder);
    if (!folderProblem.isEmpty()) {
        Complain(folderProblem);
        return CliArguments::kBadUsage;
    }
    const QFileInfo folder(settings.outputFolder);

    int refused = 0;
    const QStringList workbooks = AcceptedWorkbooks(settings.workbooks, &refused);
    RegisterOfficeServer();
    TerminalPrompts prompts(settings.overwrite, settings.haveWorkbookPassword, settings.workbookPassword);
    CliReporter reporter(&prompts, int(workbooks.size()), refused);
    const ConversionOptions options = settings.options;
    ConversionRun run(workbooks, folder.absoluteFilePath(), &prompts, [options] { return options; }, &reporter);
    run.SetExistingPdf(settings.overwrite ? ConversionRun::ExistingPdf::Replace : ConversionRun::ExistingPdf::Keep);
    // A first stop lets the PDF of a workbook whose sheets are all printed be
    // finished; a second one ends everything at once.
    stopOnSignal.Start([&](int, int count) {
        Complain(count == 1 ? QStringLiteral("stopping (once more to stop at once).") : QStringLiteral("stopping at once."));
        run.RequestStop();
        prompts.Interrupt();
    });
    const ConversionRunSummary summary = run.Run();
    stopOnSignal.Finish();
    run.Finish();
    return refused == 0 && summary.AllConverted() ? CliArguments::kAllConverted : CliArguments::kNotAllConverted;
}
