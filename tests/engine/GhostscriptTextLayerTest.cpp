// The PDF's text layer survives Ghostscript: words the office set with
// ligatures ("fi", "ffi") stay searchable.
#include "engine/GhostscriptStage.h"
#include "platform/RunFolder.h"
#include "support/RealTools.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using testsupport::HaveProgram;

namespace {

QString RunTool(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(180000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

TEST(GhostscriptTextLayer, LigatureWordsStaySearchable)
{
    ORVIK_REQUIRE_TOOL(HaveProgram("gs"), "Ghostscript (gs)");
    ORVIK_REQUIRE_TOOL(HaveProgram("soffice"), "LibreOffice (soffice)");
    ORVIK_REQUIRE_TOOL(HaveProgram("pdftotext"), "poppler-utils");
    QTemporaryDir work;
    RunFolder run;
    ASSERT_TRUE(work.isValid() && run.IsValid());
    QFile csv(work.filePath("words.csv"));
    ASSERT_TRUE(csv.open(QIODevice::WriteOnly));
    csv.write("filtering files,sufficient office\n");
    csv.close();
    // The office's own PDF, from a profile of its own.
    RunTool("soffice", {"-env:UserInstallation=file://" + work.filePath("profile"), "--headless",
                    "--infilter=CSV:44,34,76,1", "--convert-to", "pdf", "--outdir", run.Path(),
                    csv.fileName()});
    const QString input = run.FilePath("words.pdf");
    ASSERT_TRUE(QFile::exists(input)) << "the office wrote no PDF";
    ASSERT_TRUE(RunTool("pdftotext", {input, "-"}).contains("sufficient"));

    const GhostscriptJob job{ConversionOptions(), "/books/Words.xlsx", work.path(), {input}, run.Path(), {}};
    const GhostscriptResult r = ConvertWithGhostscript(job);
    ASSERT_TRUE(r.ok) << r.message.toStdString();
    const QString text = RunTool("pdftotext", {r.pdfPath, "-"});
    EXPECT_TRUE(text.contains("filtering files")) << text.toStdString();
    EXPECT_TRUE(text.contains("sufficient office")) << text.toStdString();
}
