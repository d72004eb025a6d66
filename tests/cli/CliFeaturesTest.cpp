// What orvik-xl2pdf offers beyond the settings pages, read back from the PDFs
// it writes through the real office, CUPS and Ghostscript: the sheet outline,
// one merged PDF, sheets fitted to one page wide, PDF/A.
#include "CliFixture.h"

#include "../engine/XlsxWriter.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace clitest;

namespace {

// The outline as "title@page" lines, children indented by two blanks.
QStringList Outline(const QJsonArray& entries, const QString& indent = {})
{
    QStringList lines;
    for (const QJsonValue& e : entries) {
        const QJsonObject o = e.toObject();
        lines << indent + o["title"].toString() + '@' + QString::number(o["destpageposfrom1"].toInt());
        lines += Outline(o["kids"].toArray(), indent + "  ");
    }
    return lines;
}

QStringList Outline(const QString& pdf, const QString& password = {})
{
    QStringList args{"--json", "--json-key=outlines"};
    if (!password.isEmpty())
        args << "--password=" + password;
    return Outline(QJsonDocument::fromJson(Output("qpdf", args << pdf).toUtf8())["outlines"].toArray());
}

QByteArray Sha1(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha1);
}

// Every PDF has an outline entry per printed sheet on its first page, in any
// script; --no-bookmarks leaves it out.
TEST_F(CliEndToEnd, EachSheetHasAnOutlineEntryOnItsFirstPage)
{
    CliResult r = Run({TestData("unicodeSheetName.xlsx"), TestData("55906-MultiSheetRefs.xlsx"), "-o", out.path()});
    ASSERT_EQ(0, r.exitCode) << r.err.toStdString();
    EXPECT_EQ(QStringList{QString::fromUtf8("Sheet\u30FB1@1")}, Outline(Pdf("unicodeSheetName")));
    EXPECT_EQ(QStringList({"Sheet1@1", "Sheet2@3", "Sheet3@4"}), Outline(Pdf("55906-MultiSheetRefs")));

    r = Run({"--no-bookmarks", "--overwrite", TestData("55906-MultiSheetRefs.xlsx"), "-o", out.path()});
    ASSERT_EQ(0, r.exitCode) << r.err.toStdString();
    EXPECT_EQ(QStringList(), Outline(Pdf("55906-MultiSheetRefs")));
    EXPECT_EQ("4", PdfInfo(Pdf("55906-MultiSheetRefs"), "Pages"));
}

// --merge: the converted workbooks in list order in one protected PDF with an
// outline of workbooks and sheets; a damaged one is left out, named, and
// makes the exit status 1; an existing merged PDF is kept without --overwrite.
TEST_F(CliEndToEnd, MergeJoinsTheConvertedWorkbooksInListOrder)
{
    const QString damaged = scratch.filePath("Damaged.xlsx");
    QFile f(damaged);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray("PK\x03\x04", 4) + QByteArray(2000, 'x'));
    f.close();
    const QString merged = out.filePath("year.pdf");
    const QString owner = Secret("owner", "owner-pw\n");
    const QStringList args{"--merge",          merged,
                           "--title",          "Year",
                           "--owner-password-file", owner,
                           "--page-mode",      "bookmarks",
                           TestData("55906-MultiSheetRefs.xlsx"),
                           damaged,
                           TestData("SampleSS.xls")};
    CliResult r = Run(args);
    EXPECT_EQ(1, r.exitCode) << r.err.toStdString();
    EXPECT_EQ(merged + '\n', r.out);
    EXPECT_TRUE(r.err.contains("Damaged.xlsx")) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("2 of 3 workbook(s) merged into " + merged)) << r.err.toStdString();

    EXPECT_EQ("Year", PdfInfo(merged, "Title"));
    EXPECT_EQ("6", PdfInfo(merged, "Pages"));
    EXPECT_TRUE(Output("qpdf", {"--show-encryption", merged}).contains("R = 2"));
    EXPECT_EQ(QStringList({"55906-MultiSheetRefs.xlsx@1", "  Sheet1@1", "  Sheet2@3", "  Sheet3@4", "SampleSS.xls@5",
                           "  First Sheet@5", "  Sheet Number 2@6"}),
              Outline(merged));
    const QString text = Output("pdftotext", {merged, "-"});
    EXPECT_LT(text.indexOf("Bye!"), text.indexOf("Test spreadsheet")) << "list order";
    EXPECT_EQ(QStringList{"year.pdf"}, QDir(out.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden))
        << "only the merged PDF is left";

    const QByteArray before = Sha1(merged);
    r = Run({"--merge", merged, TestData("SampleSS.xls")});
    EXPECT_EQ(1, r.exitCode);
    EXPECT_TRUE(r.err.contains("already exists")) << r.err.toStdString();
    EXPECT_EQ(before, Sha1(merged));
    ExpectNothingLeft();
}

// --fit-width prints a sheet of 30 wide columns one page wide, every column's
// text present; the workbook's file is left as it was.
TEST_F(CliEndToEnd, FitWidthPrintsEachSheetOnePageWide)
{
    const QString book = scratch.filePath("Wide.xlsx");
    ASSERT_TRUE(workbooktest::XlsxWriter::Write(book, {{"Wide", "Value", false, 0, {}, 30}}));
    const QByteArray before = Sha1(book);

    CliResult r = Run({book, "-o", out.path()});
    ASSERT_EQ(0, r.exitCode) << r.err.toStdString();
    EXPECT_GT(PdfInfo(Pdf("Wide"), "Pages").toInt(), 5) << "30 columns of 20 characters need many pages across";

    r = Run({"--fit-width", "--overwrite", book, "-o", out.path()});
    ASSERT_EQ(0, r.exitCode) << r.err.toStdString();
    EXPECT_EQ("1", PdfInfo(Pdf("Wide"), "Pages"));
    const QString text = Output("pdftotext", {Pdf("Wide"), "-"}).simplified();
    for (int c = 1; c <= 30; ++c)
        EXPECT_TRUE(text.contains(QStringLiteral("Value C%1").arg(c))) << c;
    EXPECT_EQ(before, Sha1(book));
}

// --pdfa: an sRGB output intent in the catalogue, PDF/A-2b in the XMP, the
// document information mirrored there, every font embedded, a sound file;
// with security it is refused before anything starts.
TEST_F(CliEndToEnd, PdfAHasItsOutputIntentIdentificationAndEmbeddedFonts)
{
    CliResult r = Run({"--pdfa", "--title", "Archive copy", TestData("SampleSS.xlsx"), "-o", out.path()});
    ASSERT_EQ(0, r.exitCode) << r.err.toStdString();
    const QString pdf = Pdf("SampleSS");
    const QJsonObject objects =
        QJsonDocument::fromJson(Output("qpdf", {"--json", "--json-key=qpdf", pdf}).toUtf8())["qpdf"][1].toObject();
    QJsonObject catalog, intent;
    for (const QJsonValue& v : objects) {
        const QJsonObject o = v["value"].toObject();
        if (o["/Type"] == "/Catalog")
            catalog = o;
        if (o["/Type"] == "/OutputIntent")
            intent = o;
    }
    EXPECT_EQ(1, catalog["/OutputIntents"].toArray().size());
    EXPECT_EQ("/GTS_PDFA1", intent["/S"].toString());
    EXPECT_TRUE(intent.contains("/DestOutputProfile"));

    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.contains("pdfaid:part='2'") || bytes.contains("<pdfaid:part>2<")) << "XMP identification";
    EXPECT_TRUE(bytes.contains("pdfaid:conformance='B'") || bytes.contains("<pdfaid:conformance>B<"));
    EXPECT_TRUE(bytes.contains("Archive copy</rdf:li>")) << "the title in XMP";

    const QStringList fonts = Output("pdffonts", {pdf}).split('\n', Qt::SkipEmptyParts).mid(2);
    ASSERT_FALSE(fonts.isEmpty());
    for (const QString& font : fonts)
        EXPECT_TRUE(font.contains(QRegularExpression(R"(\s+yes\s+(yes|no)\s+(yes|no)\s+\d+\s+\d+\s*$)")))
            << "not embedded: " << font.toStdString();
    int code = -1;
    Output("qpdf", {"--check", pdf}, &code);
    EXPECT_EQ(0, code);

    r = Run({"--pdfa", "--owner-password-file", Secret("owner", "pw\n"), TestData("SampleSS.xlsx"), "-o", out.path()});
    EXPECT_EQ(2, r.exitCode);
    EXPECT_TRUE(r.err.contains("PDF/A")) << r.err.toStdString();
}

} // namespace
