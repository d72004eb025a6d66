// Prints how long the Ghostscript stage takes for one workbook of ten one-page
// sheets (eight text pages as PDF print files, two photo pages as PostScript),
// with the default options and with JPEG images plus 128-bit encryption.
#include "../GhostscriptTestFiles.h"
#include "engine/GhostscriptStage.h"
#include "platform/RunFolder.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

void Measure(const char* label, const GhostscriptJob& job, int repeats)
{
    std::vector<double> ms;
    for (int i = 0; i < repeats; ++i) {
        QElapsedTimer timer;
        timer.start();
        const GhostscriptResult r = ConvertWithGhostscript(job);
        ms.push_back(timer.nsecsElapsed() / 1e6);
        if (!r.ok) {
            std::fprintf(stderr, "%s: %s\n", label, qPrintable(r.message));
            return;
        }
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%-34s 10 pages: min %7.1f ms  median %7.1f ms  (%d runs)\n", label, ms.front(),
                ms[ms.size() / 2], repeats);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int repeats = argc > 1 ? std::max(1, atoi(argv[1])) : 7;
    RunFolder run;
    QTemporaryDir out;
    if (!run.IsValid() || !out.isValid())
        return 1;
    GhostscriptJob job{ConversionOptions(), "/books/Bench.xlsx", out.path(), {}, run.Path(), {}};
    for (int i = 1; i <= 10; ++i) {
        const QString path = run.FilePath(QStringLiteral("tmp_%1.pdf").arg(i));
        const QByteArray text = "Sheet " + QByteArray::number(i);
        gstest::WriteFile(path, i % 5 == 0 ? gstest::ImagePagePs() : gstest::TextPagePdf(text));
        job.inputFiles << path;
    }
    Measure("defaults (Flate, PDF 1.3)", job, repeats);
    job.options.m_strImageCompression = "JPEG";
    job.options.m_strJpegQuality = "Medium";
    job.options.m_bEnableSecurity = job.options.m_bOwnerPassword = 1;
    job.options.m_strOwnerPassword = "owner";
    job.options.m_nEncryptionLevel = 1;
    Measure("JPEG Medium, 128-bit RC4", job, repeats);
    return 0;
}
