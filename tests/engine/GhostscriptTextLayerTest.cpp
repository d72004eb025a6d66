// The office's print files through Ghostscript: words set with ligatures
// ("fi", "ffi") stay searchable, and our document information wins over the
// print file's own.
#include "engine/GhostscriptStage.h"
#include "engine/ToUnicodeCheck.h"
#include "platform/RunFolder.h"
#include "support/RealTools.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using testsupport::HaveProgram;

namespace {

QString RunTool(const QString& program, const QStringList& args)
{
    return testsupport::ToolOutput(program, args, 180000);
}

// The office's own PDF of a one-row CSV sheet, from a profile of its own, in run.
QString OfficePdf(const QTemporaryDir& work, const RunFolder& run, const QByteArray& row)
{
    const QString name = QStringLiteral("sheet%1").arg(qHash(row));
    QFile csv(work.filePath(name + ".csv"));
    if (!csv.open(QIODevice::WriteOnly))
        return QString();
    csv.write(row + "\n");
    csv.close();
    RunTool("soffice", {"-env:UserInstallation=file://" + work.filePath("profile"), "--headless",
                    "--infilter=CSV:44,34,76,1", "--convert-to", "pdf", "--outdir", run.Path(),
                    csv.fileName()});
    const QString pdf = run.FilePath(name + ".pdf");
    return QFile::exists(pdf) ? pdf : QString();
}

} // namespace

// Which of the office's print files the faster new reader may take: the check
// sees the office's ligature mappings, and a file without them stays searchable.
TEST(GhostscriptTextLayer, NewReaderOnlyForFilesWithoutLigatures)
{
    ORVIK_REQUIRE_TOOL(HaveProgram("gs"), "Ghostscript (gs)");
    ORVIK_REQUIRE_TOOL(HaveProgram("soffice"), "LibreOffice (soffice)");
    ORVIK_REQUIRE_TOOL(HaveProgram("pdftotext"), "poppler-utils");
    QTemporaryDir work;
    RunFolder run;
    ASSERT_TRUE(work.isValid() && run.IsValid());
    const QString ligatures = OfficePdf(work, run, "filtering files,sufficient office");
    const QString plain = OfficePdf(work, run, "Quarter west,Revenue 42");
    ASSERT_FALSE(ligatures.isEmpty() || plain.isEmpty()) << "the office wrote no PDF";
    EXPECT_TRUE(ToUnicodeCheck::NeedsOlderReader(ligatures));
    EXPECT_FALSE(ToUnicodeCheck::NeedsOlderReader(plain));

    const GhostscriptJob job{ConversionOptions(), "/books/Plain.xlsx", work.path(), {plain}, run.Path(), {}};
    const GhostscriptResult r = ConvertWithGhostscript(job);
    ASSERT_TRUE(r.ok) << r.message.toStdString();
    const QString text = RunTool("pdftotext", {r.pdfPath, "-"});
    EXPECT_TRUE(text.contains("Quarter west")) << text.toStdString();
    EXPECT_TRUE(text.contains("Revenue 42")) << text.toStdString();
    // Together in one job, each file is read with the reader it needs.
    const GhostscriptJob both{ConversionOptions(), "/books/Both.xlsx", work.path(), {plain, ligatures}, run.Path(), {}};
    const GhostscriptResult r2 = ConvertWithGhostscript(both);
    ASSERT_TRUE(r2.ok) << r2.message.toStdString();
    const QString text2 = RunTool("pdftotext", {r2.pdfPath, "-"});
    EXPECT_TRUE(text2.contains("Revenue 42")) << text2.toStdString();
    EXPECT_TRUE(text2.contains("sufficient office")) << text2.toStdString();
}

TEST(GhostscriptTextLayer, LigatureWordsStaySearchableAndOurTitleWins)
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

    ASSERT_FALSE(RunTool("pdfinfo", {input}).contains("Quarterly figures"));
    ConversionOptions options;
    options.m_strDocTitle = QStringLiteral("Quarterly figures");
    options.m_strDocSubject = QStringLiteral("Sales");
    const GhostscriptJob job{options, "/books/Words.xlsx", work.path(), {input}, run.Path(), {}};
    const GhostscriptResult r = ConvertWithGhostscript(job);
    ASSERT_TRUE(r.ok) << r.message.toStdString();
    const QString text = RunTool("pdftotext", {r.pdfPath, "-"});
    EXPECT_TRUE(text.contains("filtering files")) << text.toStdString();
    EXPECT_TRUE(text.contains("sufficient office")) << text.toStdString();
    const QString info = RunTool("pdfinfo", {r.pdfPath});
    EXPECT_TRUE(info.contains(QRegularExpression("Title: +Quarterly figures\n"))) << info.toStdString();
    EXPECT_TRUE(info.contains(QRegularExpression("Subject: +Sales\n"))) << info.toStdString();
}
