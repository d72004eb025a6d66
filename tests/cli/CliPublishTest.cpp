// Where a PDF may go when its name is taken: two runs at once into one folder,
// a symbolic link or a folder of the PDF's name; and the lines of a workbook
// that lost sheets.
#include "CliFixture.h"

#include "cli/CliReporter.h"

#include <cstdio>
#include <unistd.h>

using namespace clitest;

namespace {

class CliPublish : public CliEndToEnd {
protected:
    QString Copy(const QString& sample, const QString& relative)
    {
        const QString path = scratch.filePath(relative);
        QDir().mkpath(QFileInfo(path).absolutePath());
        EXPECT_TRUE(QFile::copy(TestData(sample), path));
        return path;
    }
    QStringList OutputFiles() const { return QDir(out.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden); }
};

// Two runs at once make one PDF name, without --overwrite: one writes it, the
// other keeps it and says so; whatever the timing, neither replaces the other's.
TEST_F(CliPublish, TwoRunsAtOnceNeverReplaceEachOthersPdf)
{
    const QString a = Copy("SampleSS.xlsx", "a/Book.xlsx");
    const QString b = Copy("WithTextBox.xlsx", "b/Book.xlsx");
    QProcess first, second;
    Start(first, {a, "-o", out.path()});
    Start(second, {b, "-o", out.path()});
    const CliResult r1 = Finished(first);
    const CliResult r2 = Finished(second);
    ASSERT_EQ(1, int(r1.exitCode == 0) + int(r2.exitCode == 0)) << r1.err.toStdString() << r2.err.toStdString();
    const bool firstWon = r1.exitCode == 0;
    const CliResult& lost = firstWon ? r2 : r1;
    EXPECT_EQ(1, lost.exitCode);
    EXPECT_EQ(QString(), lost.out);
    EXPECT_TRUE(lost.err.contains(Pdf("Book") + " already exists")) << lost.err.toStdString();
    EXPECT_EQ(firstWon, Output("pdftotext", {Pdf("Book"), "-"}).contains("Test spreadsheet"))
        << "the PDF there is not the one its run reported";
    EXPECT_EQ(QStringList{"Book.pdf"}, OutputFiles());
}

// A symbolic link of the PDF's name, dangling or not, is a file that is there:
// kept without --overwrite. A folder of that name is no PDF: the workbook
// fails, with or without --overwrite, and no advice to use it.
TEST_F(CliPublish, ALinkOrAFolderOfThePdfsNameIsNotReplacedUnasked)
{
    const QString book = Copy("SampleSS.xlsx", "SampleSS.xlsx");
    const QByteArray link = QFile::encodeName(Pdf("SampleSS"));
    ASSERT_EQ(0, ::symlink("/nonexistent/elsewhere.pdf", link.constData()));
    const CliResult kept = Run({book, "-o", out.path()});
    EXPECT_EQ(1, kept.exitCode);
    EXPECT_TRUE(kept.err.contains("already exists (--overwrite replaces it)")) << kept.err.toStdString();
    EXPECT_EQ(QString("/nonexistent/elsewhere.pdf"), QFileInfo(Pdf("SampleSS")).symLinkTarget());

    ASSERT_TRUE(QFile::remove(Pdf("SampleSS")));
    ASSERT_TRUE(QDir().mkdir(Pdf("SampleSS")));
    for (const QStringList& extra : {QStringList{}, QStringList{"--overwrite"}}) {
        const CliResult r = Run(extra + QStringList{book, "-o", out.path()});
        EXPECT_EQ(1, r.exitCode);
        EXPECT_TRUE(r.err.contains(Pdf("SampleSS") + " is a folder, not a PDF.")) << r.err.toStdString();
        EXPECT_FALSE(r.err.contains("--overwrite")) << r.err.toStdString();
        EXPECT_TRUE(QFileInfo(Pdf("SampleSS")).isDir());
    }
    EXPECT_EQ(QStringList{"SampleSS.pdf"}, OutputFiles());
}

QString ReadBack(FILE* file)
{
    std::rewind(file);
    QByteArray text(4096, '\0');
    text.truncate(qsizetype(std::fread(text.data(), 1, size_t(text.size()), file)));
    return QString::fromUtf8(text);
}

// A workbook that lost sheets: its line says incomplete with the sheets it
// lacks and where its PDF is; standard output, the list of complete PDFs, does
// not name it; the summary counts it as not converted.
TEST(CliReporterLines, AnIncompleteWorkbookCountsAsNotConverted)
{
    FILE* out = std::tmpfile();
    FILE* err = std::tmpfile();
    ASSERT_TRUE(out && err);
    CliReporter reporter(nullptr, 1, 0, out, err);
    WorkbookReport report;
    report.workbookPath = "/books/Book.xlsx";
    report.pdfPath = "/pdfs/Book.pdf";
    report.result = WorkbookReport::Incomplete;
    report.message = "Book.xlsx: incomplete PDF: sheets 2 to 3 of 3 are missing from /pdfs/Book.pdf.";
    reporter.WorkbookStarted(0, report.workbookPath);
    reporter.WorkbookFinished(report);
    ConversionRunSummary summary;
    summary.workbooks = {report};
    reporter.RunFinished(summary);

    EXPECT_EQ(QString(), ReadBack(out));
    const QString lines = ReadBack(err);
    EXPECT_TRUE(lines.contains("Book.xlsx: incomplete -> /pdfs/Book.pdf\n")) << lines.toStdString();
    EXPECT_TRUE(lines.contains(report.message)) << lines.toStdString();
    EXPECT_TRUE(lines.endsWith("0 of 1 workbook(s) converted, 1 not converted.\n")) << lines.toStdString();
    EXPECT_FALSE(summary.AllConverted());
    std::fclose(out);
    std::fclose(err);
}

} // namespace
