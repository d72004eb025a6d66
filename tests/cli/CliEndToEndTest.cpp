// orvik-xl2pdf run as a program on real workbooks, through the real office,
// CUPS and Ghostscript: the options reach the PDF (qpdf, pdfinfo), the exit
// codes, a password on standard input, a stop by signal. Each run gets a
// temporary folder of its own (TMPDIR) and no terminal (a new session), so
// what it leaves behind and its password questions are under the test's eye.
#include "CliFixture.h"

#include <algorithm>

using namespace clitest;

namespace {

// Document information, security and the PDF version reach the PDF; the user
// password comes from standard input.
TEST_F(CliEndToEnd, OptionsReachThePdf)
{
    const QString owner = Secret("owner", "Own3r pass\n");
    const CliResult r = Run({"--title", "Quarterly (figures)", "--author", "Ann Smith", "--subject", "Sales",
                             "--keywords", "alpha, beta", "--owner-password-file", owner,
                             "--user-password-file", "-", "--deny", "print,copy", "--encryption", "high",
                             "--pdf-version", "1.4", "--doc-compression", "flate", TestData("SampleSS.xlsx"),
                             TestData("WithTextBox.xlsx"), "-o", out.path()},
                            "us er\n");

    ASSERT_EQ(0, r.exitCode) << r.err.toStdString();
    EXPECT_EQ(Pdf("SampleSS") + '\n' + Pdf("WithTextBox") + '\n', r.out);
    EXPECT_TRUE(r.err.contains("[2/2] 100%")) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("orvik-xl2pdf: 2 of 2 workbook(s) converted, 0 not converted.\n")) << r.err.toStdString();

    const QString pdf = Pdf("SampleSS");
    EXPECT_EQ("Quarterly (figures)", PdfInfo(pdf, "Title", "us er"));
    EXPECT_EQ("Ann Smith", PdfInfo(pdf, "Author", "us er"));
    EXPECT_EQ("Sales", PdfInfo(pdf, "Subject", "us er"));
    EXPECT_EQ("alpha, beta", PdfInfo(pdf, "Keywords", "us er"));
    EXPECT_EQ("1.4", PdfInfo(pdf, "PDF version", "us er"));
    EXPECT_TRUE(PdfInfo(pdf, "Pages").isEmpty()) << "without the user password the PDF does not open";

    int code = 0;
    const QString encryption = Output("qpdf", {"--show-encryption", "--password=us er", pdf}, &code);
    EXPECT_EQ(0, code);
    EXPECT_TRUE(encryption.contains("R = 3")) << encryption.toStdString();
    EXPECT_TRUE(encryption.contains("print low resolution: not allowed"));
    EXPECT_TRUE(encryption.contains("extract for any purpose: not allowed"));
    EXPECT_TRUE(encryption.contains("modify document assembly: allowed"));
    Output("qpdf", {"--check", "--password=Own3r pass", pdf}, &code);
    EXPECT_EQ(0, code) << "the owner password opens the PDF";
    Output("qpdf", {"--check", "--password=wrong", pdf}, &code);
    EXPECT_NE(0, code);
    ExpectNothingLeft();
}

// Macro-enabled workbooks, templates and OpenDocument spreadsheets convert
// like .xlsx: the same text, each into a PDF of its own name.
TEST_F(CliEndToEnd, OtherWorkbookFormatsConvertLikeXlsx)
{
    // The office writes the other formats from one real workbook.
    const QString profile = "-env:UserInstallation=file://" + scratch.filePath("profile");
    const std::pair<const char*, const char*> formats[] = {{"ods", "ods"},
                                                           {"xlsm", "xlsm:Calc MS Excel 2007 VBA XML"},
                                                           {"xltx", "xltx:Calc MS Excel 2007 XML Template"}};
    QStringList books;
    for (const auto& [suffix, filter] : formats) {
        Output("soffice", {profile, "--headless", "--convert-to", filter, "--outdir", scratch.filePath("books"),
                           TestData("55906-MultiSheetRefs.xlsx")});
        books << scratch.filePath("books/55906-MultiSheetRefs.") + suffix;
        ASSERT_TRUE(QFile::exists(books.last())) << "the office wrote no " << suffix;
        QDir().mkpath(scratch.filePath(suffix));
        ASSERT_TRUE(QFile::rename(books.last(), scratch.filePath(suffix) + "/Book." + suffix));
        books.last() = scratch.filePath(suffix) + "/Book." + suffix;
    }
    const CliResult xlsx = Run({TestData("55906-MultiSheetRefs.xlsx"), "-o", out.path()});
    ASSERT_EQ(0, xlsx.exitCode) << xlsx.err.toStdString();
    const QString expected = Output("pdftotext", {Pdf("55906-MultiSheetRefs"), "-"});
    ASSERT_TRUE(expected.contains("Middle!"));
    for (const QString& book : books) {
        QDir(out.path()).removeRecursively();
        QDir().mkpath(out.path());
        const CliResult r = Run({book, "-o", out.path()});
        EXPECT_EQ(0, r.exitCode) << book.toStdString() << ": " << r.err.toStdString();
        EXPECT_EQ(expected, Output("pdftotext", {Pdf("Book"), "-"})) << book.toStdString();
    }
}

// Exit 1 when any workbook is not converted, with one line naming each; the
// workbook password comes from standard input; without a terminal a workbook
// whose password is refused is skipped.
TEST_F(CliEndToEnd, NotConvertedWorkbooksGiveExitOneAndALineEach)
{
    const CliResult r = Run({"--workbook-password-file", "-", TestData("protected_passtika.xlsx"),
                             TestData("password.xls"), scratch.filePath("missing.xlsx"), "-o", out.path()},
                            "tika\n");

    EXPECT_EQ(1, r.exitCode) << r.err.toStdString();
    EXPECT_EQ(Pdf("protected_passtika") + '\n', r.out);
    EXPECT_GT(PdfInfo(Pdf("protected_passtika"), "Pages").toInt(), 0);
    EXPECT_FALSE(QFileInfo::exists(Pdf("password")));
    const QStringList lines = r.err.split('\n');
    EXPECT_EQ(1, lines.filter(QRegularExpression("^orvik-xl2pdf: password\\.xls: not converted: the password of "
                                                 "--workbook-password-file was refused, and there is no terminal")).size())
        << r.err.toStdString();
    EXPECT_EQ(1, lines.filter(QRegularExpression("missing\\.xlsx: not converted: no such file")).size());
    EXPECT_TRUE(r.err.contains("1 of 3 workbook(s) converted, 2 not converted.")) << r.err.toStdString();
    EXPECT_FALSE(r.err.contains("Complete!")) << "the window's words are not the command line's";
    EXPECT_FALSE(QString(r.err).remove("protected_passtika").contains("tika")) << "a password never appears in a message";
    ExpectNothingLeft();
}

// On a terminal the password is asked for with echo off, again after a wrong one.
TEST_F(CliEndToEnd, TerminalAsksForTheWorkbookPasswordWithoutEcho)
{
    const int master = OpenTerminal();
    ASSERT_GE(master, 0);
    QProcess p;
    Start(p, {TestData("protected_passtika.xlsx"), "-o", out.path()}, QByteArray(::ptsname(master)));

    QByteArray seen;
    EXPECT_TRUE(ReadUntil(master, "Password for protected_passtika.xlsx", seen).contains("Ctrl-D")) << seen.toStdString();
    ASSERT_EQ(6, ::write(master, "wrong\n", 6));
    seen.clear();
    EXPECT_TRUE(ReadUntil(master, "Wrong password. Password for protected_passtika.xlsx", seen).size() > 0);
    ASSERT_EQ(5, ::write(master, "tika\n", 5));
    ASSERT_TRUE(p.waitForFinished(120000));
    for (char buffer[512]; ::poll(std::array{pollfd{master, POLLIN, 0}}.data(), 1, 100) > 0;) {
        const ssize_t n = ::read(master, buffer, sizeof buffer);
        if (n <= 0)
            break;
        seen.append(buffer, n);
    }
    ::close(master);

    EXPECT_EQ(0, p.exitCode()) << p.readAllStandardError().toStdString();
    EXPECT_FALSE(seen.contains("wrong")) << "the typed password must not be echoed: " << seen.toStdString();
    EXPECT_GT(PdfInfo(Pdf("protected_passtika"), "Pages").toInt(), 0);
}

// A long workbook shows it works: on a terminal a line per printed sheet, in
// order and before the workbook's result; without one (a log, a pipe) none.
TEST_F(CliEndToEnd, PrintedSheetsAreReportedOnlyToATerminal)
{
    ORVIK_REQUIRE_TOOL(testsupport::HaveProgram("python3"), "python3");
    const QString books = scratch.filePath("books");
    int made = -1;
    Output("python3", {ORVIK_SOURCE_DIR "/tools/make_sample_workbooks.py", books, "--count", "1", "--sheets", "3",
                       "--rows", "20"}, &made);
    ASSERT_EQ(0, made);
    const QString book = books + "/Sample01.xlsx";

    const int master = OpenTerminal();
    ASSERT_GE(master, 0);
    QProcess p;
    Start(p, {book, "-o", out.path()}, QByteArray(::ptsname(master)), kErrorToTerminal);
    QByteArray seen;
    ReadUntil(master, "workbook(s) converted", seen);
    ASSERT_TRUE(p.waitForFinished(120000));
    ::close(master);
    EXPECT_EQ(0, p.exitCode()) << seen.toStdString();

    const QString text = QString::fromUtf8(seen).remove('\r');
    QList<qsizetype> at;
    for (const QString& line : {QString("orvik-xl2pdf: [1/1] Sample01.xlsx: sheet 1 of 3 printed.\n"),
                                QString("orvik-xl2pdf: [1/1] Sample01.xlsx: sheet 2 of 3 printed.\n"),
                                QString("orvik-xl2pdf: [1/1] Sample01.xlsx: sheet 3 of 3 printed; making its PDF.\n"),
                                QString("orvik-xl2pdf: [1/1] 100%  Sample01.xlsx: converted")}) {
        at << text.indexOf(line);
        EXPECT_GE(at.last(), 0) << line.toStdString() << " missing in:\n" << text.toStdString();
    }
    EXPECT_TRUE(std::is_sorted(at.begin(), at.end())) << text.toStdString();
    EXPECT_GE(PdfInfo(Pdf("Sample01"), "Pages").toInt(), 3) << "a page at least per sheet";

    const CliResult piped = Run({"--overwrite", book, "-o", out.path()});
    EXPECT_EQ(0, piped.exitCode) << piped.err.toStdString();
    EXPECT_FALSE(piped.err.contains("printed")) << piped.err.toStdString();
    EXPECT_TRUE(piped.err.contains("Sample01.xlsx: converted")) << piped.err.toStdString();
}

// An existing PDF is kept (exit 1) unless --overwrite replaces it (exit 0).
TEST_F(CliEndToEnd, ExistingPdfIsReplacedOnlyWithOverwrite)
{
    QFile old(Pdf("SampleSS"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();

    const CliResult kept = Run({TestData("SampleSS.xlsx"), "-o", out.path()});
    EXPECT_EQ(1, kept.exitCode);
    EXPECT_TRUE(kept.err.contains("SampleSS.xlsx: not converted: " + Pdf("SampleSS") + " already exists"))
        << kept.err.toStdString();
    EXPECT_EQ(QString(), kept.out);
    QFile again(Pdf("SampleSS"));
    ASSERT_TRUE(again.open(QIODevice::ReadOnly));
    EXPECT_EQ(QByteArray("old"), again.readAll());
    again.close();

    const CliResult replaced = Run({"--overwrite", TestData("SampleSS.xlsx"), "-o", out.path() + "/"});
    EXPECT_EQ(0, replaced.exitCode) << replaced.err.toStdString();
    EXPECT_GT(PdfInfo(Pdf("SampleSS"), "Pages").toInt(), 0);
    ExpectNothingLeft();
}

// Bad usage: exit 2 before anything is converted.
TEST_F(CliEndToEnd, BadUsageExitsWithTwo)
{
    const std::vector<QStringList> cases = {
        {"--pdf-version", "2.0", TestData("SampleSS.xlsx"), "-o", out.path()},
        {TestData("SampleSS.xlsx")},
        {"-o", out.path()},
        {TestData("SampleSS.xlsx"), "-o", scratch.filePath("no-such-folder")},
        {"--owner-password-file", scratch.filePath("none"), TestData("SampleSS.xlsx"), "-o", out.path()},
    };
    for (const QStringList& args : cases) {
        const CliResult r = Run(args);
        EXPECT_EQ(2, r.exitCode) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.startsWith("orvik-xl2pdf: ")) << r.err.toStdString();
    }
    EXPECT_EQ(QStringList(), QDir(out.path()).entryList(QDir::Files));
    const CliResult help = Run({"--help"});
    EXPECT_EQ(0, help.exitCode);
    EXPECT_TRUE(help.out.startsWith("Usage: orvik-xl2pdf"));
}

// A termination request stops the run: the office ends, nothing half-written
// or temporary stays, and the exit code says not everything was converted.
TEST_F(CliEndToEnd, TerminationStopsTheRunCleanly)
{
    QProcess p;
    Start(p, {TestData("SampleSS.xlsx"), TestData("55906-MultiSheetRefs.xlsx"), TestData("chinese-provinces.xls"),
              TestData("WithTextBox.xlsx"), "-o", out.path()});
    ASSERT_TRUE(p.waitForReadyRead(120000)) << "the first PDF never came";
    // Never a signal to id 0 (this test's own process group).
    ASSERT_GT(p.processId(), 0) << "the run ended before it could be stopped";
    ::kill(pid_t(p.processId()), SIGTERM);
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(QProcess::NormalExit, p.exitStatus());
    EXPECT_EQ(1, p.exitCode());
    const QString err = QString::fromUtf8(p.readAllStandardError());
    EXPECT_TRUE(err.contains("stopping")) << err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(Pdf("WithTextBox"))) << "nothing is produced after the stop";
    // No office of that run is left: it ran on a profile inside the run's TMPDIR.
    for (const QString& entry : QDir("/proc").entryList(QDir::Dirs)) {
        QFile cmdline("/proc/" + entry + "/cmdline");
        if (cmdline.open(QIODevice::ReadOnly)) {
            EXPECT_FALSE(cmdline.readAll().contains(Tmp().toUtf8())) << "process " << entry.toStdString() << " is left";
        }
    }
    ExpectNothingLeft();
}

} // namespace
