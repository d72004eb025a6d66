// orvik-xl2pdf: converts Excel workbooks into PDFs from the command line, through
// the same run as the window program, without a display.
#include "automation/OfficeServer.h"
#include "cli/ArgumentBytes.h"
#include "cli/CliArguments.h"
#include "cli/CliReporter.h"
#include "cli/MergeOutput.h"
#include "cli/OutputFolderCheck.h"
#include "cli/RunReportFile.h"
#include "cli/SignalStop.h"
#include "cli/TerminalPrompts.h"
#include "cli/WorkbookPlan.h"
#include "engine/ConversionRun.h"
#include "engine/PdfMerge.h"
#include "platform/StopGate.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cstdio>
#include <optional>

namespace {

// Names that are not UTF-8 text show their bytes escaped.
void Complain(const QString& text)
{
    std::fprintf(stderr, "orvik-xl2pdf: %s\n", ArgumentBytes::Shown(text).toLocal8Bit().constData());
}

// A stop before the run began: nothing was converted.
int StoppedBeforeTheRun()
{
    Complain(QStringLiteral("stopped before any workbook was converted."));
    return CliArguments::kNotAllConverted;
}

// Joins the converted workbooks into the merged PDF; false when it was not written.
bool Merge(const MergeOutput& merge, const ConversionRunSummary& summary, const CliSettings& settings,
           StopGate* gate)
{
    QString message;
    const bool written = merge.Write(summary, settings.options, settings.overwrite, gate, &message);
    Complain(message);
    if (written) {
        std::fprintf(stdout, "%s\n", merge.Target().toLocal8Bit().constData());
        std::fflush(stdout);
    }
    return written;
}

} // namespace

int main(int argc, char** argv)
{
    SignalStop stopOnSignal; // before any other thread starts; a stop ends every wait from here on
    const WakePipe& stop = stopOnSignal.Stopped();
    QCoreApplication app(argc, argv);

    CliSettings settings;
    QString error;
    const bool parsed = CliArguments::Parse(ArgumentBytes::Decode(argc, argv), &settings, &error, &stop);
    if (stop.IsWoken())
        return StoppedBeforeTheRun();
    if (!parsed) {
        Complain(error);
        std::fprintf(stderr, "Try 'orvik-xl2pdf --help'.\n");
        return CliArguments::kBadUsage;
    }
    if (settings.help) {
        std::fputs(CliArguments::Usage().toLocal8Bit().constData(), stdout);
        return CliArguments::kAllConverted;
    }
    std::optional<MergeOutput> merge;
    if (!settings.mergeFile.isEmpty()) {
        if (settings.batch.Sharded()) {
            Complain(QStringLiteral("--merge cannot go with --shard: each share would write the merged PDF."));
            return CliArguments::kBadUsage;
        }
        merge.emplace(settings.mergeFile);
    }
    const QString folderProblem =
        OutputFolderCheck::Problem(merge ? QFileInfo(merge->Target()).path() : settings.outputFolder);
    if (!folderProblem.isEmpty()) {
        Complain(folderProblem);
        return CliArguments::kBadUsage;
    }
    if (merge) {
        const QString problem = merge->Prepare();
        if (!problem.isEmpty()) {
            Complain(problem);
            return CliArguments::kNotAllConverted;
        }
    }
    const QFileInfo folder(merge ? merge->Folder() : settings.outputFolder);

    const BatchArguments& batch = settings.batch;
    const WorkbookPlan plan(settings.workbooks, batch.TheShard(), batch.Sharded(), folder.absoluteFilePath());
    const QStringList& workbooks = plan.ToConvert();
    const int refused = plan.Failures();
    TerminalPrompts prompts(stop, settings.overwrite, settings.haveWorkbookPassword, settings.workbookPassword);
    const bool reportToStdout = batch.ReportFile() == QLatin1String("-");
    CliReporter reporter(&prompts, int(workbooks.size()), refused, reportToStdout ? nullptr : stdout);
    RunReportFile report(&reporter, plan.Positions());
    if (!report.Open(batch.ReportFile(), &error)) {
        Complain(error);
        return CliArguments::kBadUsage;
    }
    for (const ReportLine& line : plan.Refused()) {
        Complain(line.message);
        report.Write(line);
    }
    if (stop.IsWoken())
        return StoppedBeforeTheRun();
    RegisterOfficeServer();
    reporter.SetMerging(merge.has_value());
    const ConversionOptions options = merge ? PdfMerge::PartOptions(settings.options) : settings.options;
    StopGate mergeGate;
    ConversionRun run(workbooks, folder.absoluteFilePath(), &prompts, [options] { return options; }, &report);
    run.SetExistingPdf(settings.overwrite ? ConversionRun::ExistingPdf::Replace : ConversionRun::ExistingPdf::Keep);
    run.SetLanes(settings.jobs > 0 ? settings.jobs : ConversionRun::DefaultLanes());
    // A first stop lets the PDF of a workbook whose sheets are all printed be
    // finished; a second one ends everything at once. A question on the
    // terminal ends with the first.
    stopOnSignal.OnSignal([&](int, int count) {
        Complain(count == 1 ? QStringLiteral("stopping (once more to stop at once).") : QStringLiteral("stopping at once."));
        run.RequestStop();
        mergeGate.RequestStop();
    });
    if (stop.IsWoken()) { // a stop that came before the handler above
        run.RequestStop();
        mergeGate.RequestStop();
    }
    const ConversionRunSummary summary = run.Run();
    run.Finish();
    bool merged = true;
    if (merge && !summary.stopped)
        merged = Merge(*merge, summary, settings, &mergeGate);
    stopOnSignal.Finish();
    return refused == 0 && merged && summary.AllConverted() ? CliArguments::kAllConverted
                                                            : CliArguments::kNotAllConverted;
}
