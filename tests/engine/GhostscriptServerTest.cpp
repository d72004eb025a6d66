// Many workbooks through one Ghostscript process, with the real Ghostscript:
// each PDF its own, a bad job failing alone, stops, and the process renewed
// only when it has to be.
#include "GhostscriptTestFiles.h"
#include "engine/GhostscriptServer.h"
#include "engine/GhostscriptStage.h"
#include "engine/GhostscriptStream.h"
#include "platform/RunFolder.h"
#include "platform/StopGate.h"
#include "support/RealTools.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <future>
#include <thread>

using testsupport::HaveProgram;

namespace {

QString Tool(const QString& program, const QStringList& args)
{
    return testsupport::ToolOutput(program, args, 60000, true);
}

QString InfoField(const QString& pdf, const QString& key, const QString& password = {})
{
    QStringList args{"-enc", "UTF-8"};
    if (!password.isEmpty())
        args << "-upw" << password;
    for (const QString& line : Tool("pdfinfo", args << pdf).split('\n')) {
        if (line.startsWith(key + ":"))
            return line.mid(key.size() + 1).trimmed();
    }
    return QStringLiteral("<missing>");
}

QByteArray CommandLineOf(pid_t pid)
{
    QFile f(QStringLiteral("/proc/%1/cmdline").arg(pid));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class GhostscriptServerReal : public ::testing::Test {
protected:
    void SetUp() override
    {
        ORVIK_REQUIRE_TOOL(HaveProgram("gs"), "Ghostscript (gs)");
        ORVIK_REQUIRE_TOOL(HaveProgram("pdfinfo"), "poppler-utils");
        ASSERT_TRUE(m_run.IsValid());
        ASSERT_TRUE(m_out.isValid());
        m_pServer = std::make_unique<GhostscriptServer>(m_run.Path(), m_out.path());
    }

    QString Input(const QByteArray& data)
    {
        const QString path = m_run.FilePath(QStringLiteral("tmp_%1.pdf").arg(++m_nInputs));
        EXPECT_TRUE(gstest::WriteFile(path, data));
        return path;
    }

    GhostscriptResult Convert(const ConversionOptions& o, const QStringList& inputs, const QString& workbook,
                              StopGate* gate = nullptr)
    {
        GhostscriptJob job{o, workbook, m_out.path(), inputs, m_run.Path(), QString()};
        return ConvertWithGhostscript(job, gate, m_pServer.get());
    }

    static ConversionOptions Titled(const QString& title)
    {
        ConversionOptions o;
        o.m_strDocTitle = title;
        return o;
    }

    RunFolder m_run;
    QTemporaryDir m_out;
    std::unique_ptr<GhostscriptServer> m_pServer;
    int m_nInputs = 0;
};

// A workbook's print files handed over one by one, as they are printed.
class GhostscriptStreamReal : public GhostscriptServerReal {
protected:
    std::unique_ptr<CGhostscriptStream> Stream(const QStringList& first, const QString& workbook)
    {
        return std::make_unique<CGhostscriptStream>(
            GhostscriptJob{Titled("Streamed"), workbook, m_out.path(), first, m_run.Path(), QString()}, m_pServer.get());
    }
    QStringList OutputFiles() const { return QDir(m_out.path()).entryList(QDir::Files | QDir::Hidden); }
};

// Files that did not exist when the job began join it in the order handed
// over, in the process an ordinary job used before, which serves the next one too.
TEST_F(GhostscriptStreamReal, FilesHandedOverLaterJoinInOrder)
{
    ASSERT_TRUE(Convert(ConversionOptions(), {Input(gstest::TextPagePdf("Before"))}, "/b/Before.xlsx").ok);
    const pid_t pid = m_pServer->Pid();
    auto stream = Stream({Input(gstest::TextPagePdf("Alpha"))}, "/b/Streamed.xlsx");
    ASSERT_TRUE(stream->Begin(nullptr).ok);
    for (const char* word : {"Bravo", "Charlie"})
        ASSERT_TRUE(stream->Add(Input(gstest::TextPagePdf(word))));
    EXPECT_TRUE(OutputFiles().contains("Before.pdf"));
    EXPECT_FALSE(OutputFiles().contains("Streamed.pdf")) << "the PDF appeared before the job ended";
    const GhostscriptResult result = stream->Finish(nullptr);
    ASSERT_TRUE(result.ok) << result.message.toStdString();
    EXPECT_EQ(pid, m_pServer->Pid());

    const QString pdf = m_out.path() + "/Streamed.pdf";
    EXPECT_EQ("3", InfoField(pdf, "Pages"));
    EXPECT_EQ("Streamed", InfoField(pdf, "Title"));
    EXPECT_EQ("Alpha Bravo Charlie", Tool("pdftotext", {pdf, "-"}).simplified());
    ASSERT_TRUE(Convert(ConversionOptions(), {Input(gstest::TextPagePdf("After"))}, "/b/After.xlsx").ok);
    EXPECT_EQ((QStringList{"After.pdf", "Before.pdf", "Streamed.pdf"}), OutputFiles());
    EXPECT_TRUE(QDir(m_run.Path()).entryList({"pdfmarks-*"}, QDir::Files).isEmpty());
}

// A damaged file fails the whole workbook; an abandoned job (a stop) ends its
// Ghostscript even while it is busy; neither leaves a file, and the next job works.
TEST_F(GhostscriptStreamReal, AFailedOrAbandonedJobLeavesNothing)
{
    const QString good = Input(gstest::TextPagePdf("Good"));
    // Begun with a file for the older reader, which takes the damaged one as well.
    auto failing = Stream({Input(gstest::TextPagePs("Good"))}, "/b/Failing.xlsx");
    ASSERT_TRUE(failing->Begin(nullptr).ok);
    EXPECT_TRUE(failing->Add(Input(gstest::DamagedPs())));
    failing->Add(good);
    const GhostscriptResult failed = failing->Finish(nullptr);
    EXPECT_FALSE(failed.ok);
    EXPECT_TRUE(failed.message.startsWith("Ghostscript failed: Error: /")) << failed.message.toStdString();

    auto abandoned = Stream({Input(gstest::TextPagePs("Busy"))}, "/b/Abandoned.xlsx");
    ASSERT_TRUE(abandoned->Begin(nullptr).ok);
    ASSERT_TRUE(abandoned->Add(Input(gstest::EndlessPs())));
    const pid_t busy = m_pServer->Pid();
    ASSERT_NE(0, busy);
    abandoned->Abandon();
    EXPECT_EQ(0, m_pServer->Pid());
    EXPECT_NE(0, ::kill(busy, 0)) << "the abandoned Ghostscript still runs";
    EXPECT_TRUE(OutputFiles().isEmpty()) << OutputFiles().join(' ').toStdString();

    // Begun and dropped unfinished: the same.
    Stream({good}, "/b/Dropped.xlsx")->Begin(nullptr);
    EXPECT_TRUE(OutputFiles().isEmpty()) << OutputFiles().join(' ').toStdString();
    ASSERT_TRUE(Convert(ConversionOptions(), {good}, "/b/Next.xlsx").ok);
    EXPECT_EQ(QStringList{"Next.pdf"}, OutputFiles());
}

// A file that needs the older PDF reader joins a job the newer one reads, in
// the same process: each file is read with the reader it needs.
TEST_F(GhostscriptStreamReal, AFileForTheOlderReaderJoinsTheSameJob)
{
    const QString pdf = Input(gstest::TextPagePdf("New"));
    const QString postscript = Input(gstest::TextPagePs("Old"));
    auto stream = Stream({pdf}, "/b/Mixed.xlsx");
    ASSERT_TRUE(stream->Begin(nullptr).ok);
    const pid_t pid = m_pServer->Pid();
    EXPECT_TRUE(stream->Add(postscript));
    ASSERT_TRUE(stream->Finish(nullptr).ok);
    EXPECT_EQ(pid, m_pServer->Pid());
    EXPECT_EQ("New Old", Tool("pdftotext", {m_out.path() + "/Mixed.pdf", "-"}).simplified());
    EXPECT_EQ(QStringList{"Mixed.pdf"}, OutputFiles());
}

// The page layout and page mode reach each PDF's catalogue, and one job's
// choice does not stay with the process for the next.
TEST_F(GhostscriptServerReal, EachPdfOpensWithItsOwnPageLayoutAndMode)
{
    ORVIK_REQUIRE_TOOL(HaveProgram("qpdf"), "qpdf");
    const QString page = Input(gstest::TextPagePdf("Page"));
    ConversionOptions facing;
    facing.m_strPageLayout = QStringLiteral("Facing");
    facing.m_strPageMode = QStringLiteral("Full Screen");
    ASSERT_TRUE(Convert(facing, {page}, "/b/Facing.xlsx").ok);
    ASSERT_TRUE(Convert(ConversionOptions(), {page}, "/b/Plain.xlsx").ok);

    const auto catalogue = [&](const QString& name) {
        const QString pdf = m_out.path() + "/" + name;
        const QRegularExpressionMatch root =
            QRegularExpression("/Root (\\d+) 0 R").match(Tool("qpdf", {"--show-object=trailer", pdf}));
        return root.hasMatch() ? Tool("qpdf", {"--show-object=" + root.captured(1), pdf}) : QString();
    };
    const QString first = catalogue("Facing.pdf");
    EXPECT_TRUE(first.contains("/PageLayout /TwoPageLeft") && first.contains("/PageMode /FullScreen"))
        << first.toStdString();
    const QString second = catalogue("Plain.pdf");
    EXPECT_TRUE(second.contains("/PageLayout /OneColumn") && second.contains("/PageMode /UseNone"))
        << second.toStdString();
}

TEST_F(GhostscriptServerReal, WorkbooksShareOneProcessEachPdfWithItsOwnInformation)
{
    const QString one = Input(gstest::TextPagePdf("One"));
    const QString two = Input(gstest::TextPagePs("Two"));
    ASSERT_TRUE(Convert(Titled("First title"), {one, two}, "/b/First.xlsx").ok);
    const pid_t pid = m_pServer->Pid();
    ASSERT_NE(0, pid);
    ASSERT_TRUE(Convert(Titled(QString::fromUtf8("Zweiter Titel \u00e9\u65e5")), {two}, "/b/Second.xls").ok);
    // No title of its own: neither the previous job's nor the print file's may show.
    ASSERT_TRUE(Convert(ConversionOptions(), {two}, "/b/Third.xlsx").ok);
    EXPECT_EQ(pid, m_pServer->Pid()) << "a job that changes only the information started a new process";

    const QString out = m_out.path() + "/";
    EXPECT_EQ("First title", InfoField(out + "First.pdf", "Title"));
    EXPECT_EQ("2", InfoField(out + "First.pdf", "Pages"));
    EXPECT_EQ(QString::fromUtf8("Zweiter Titel \u00e9\u65e5"), InfoField(out + "Second.pdf", "Title"));
    EXPECT_EQ("1", InfoField(out + "Second.pdf", "Pages"));
    EXPECT_NE("First title", InfoField(out + "Third.pdf", "Title"));
    EXPECT_NE(QString::fromUtf8("Zweiter Titel \u00e9\u65e5"), InfoField(out + "Third.pdf", "Title"));
    EXPECT_EQ((QStringList{"First.pdf", "Second.pdf", "Third.pdf"}),
              QDir(m_out.path()).entryList(QDir::Files | QDir::Hidden));
}

TEST_F(GhostscriptServerReal, SecurityAndCompressionPerJobWithPasswordsOffTheCommandLine)
{
    const QString page = Input(gstest::TextPagePs("Secret"));
    const QString image = Input(gstest::ImagePagePs());
    ConversionOptions locked;
    locked.m_bEnableSecurity = 1;
    locked.m_bOwnerPassword = 1;
    locked.m_strOwnerPassword = "owner-7(x)";
    locked.m_bUserPassword = 1;
    locked.m_strUserPassword = "user-7";
    locked.m_nEncryptionLevel = 1;
    ASSERT_TRUE(Convert(locked, {page}, "/b/Locked.xlsx").ok);
    const pid_t lockedPid = m_pServer->Pid();
    ASSERT_NE(0, lockedPid);
    const QByteArray cmdline = CommandLineOf(lockedPid);
    EXPECT_FALSE(cmdline.isEmpty());
    EXPECT_FALSE(cmdline.contains("owner-7") || cmdline.contains("user-7")) << "a password in the argument list";
    ASSERT_TRUE(Convert(locked, {page}, "/b/Locked2.xlsx").ok);
    EXPECT_EQ(lockedPid, m_pServer->Pid());

    // Other security, other distiller settings: each gets a process of its own.
    ConversionOptions open;
    open.m_strImageCompression = "JPEG";
    open.m_strJpegQuality = "Minimum";
    ASSERT_TRUE(Convert(open, {image}, "/b/Jpeg.xlsx").ok);
    EXPECT_NE(lockedPid, m_pServer->Pid());
    const pid_t jpegPid = m_pServer->Pid();
    open.m_strImageCompression = "Flate";
    ASSERT_TRUE(Convert(open, {image}, "/b/Flate.xlsx").ok);
    EXPECT_NE(jpegPid, m_pServer->Pid());

    const QString out = m_out.path() + "/";
    for (const QString name : {"Locked.pdf", "Locked2.pdf"}) {
        EXPECT_TRUE(InfoField(out + name, "Encrypted", "user-7").startsWith("yes")) << name.toStdString();
        EXPECT_EQ("1", InfoField(out + name, "Pages", "user-7")) << name.toStdString();
        EXPECT_EQ("<missing>", InfoField(out + name, "Pages", "wrong")) << "opens with any password";
    }
    EXPECT_EQ("no", InfoField(out + "Jpeg.pdf", "Encrypted"));
    const QString jpeg = Tool("pdfimages", {"-list", out + "Jpeg.pdf"});
    const QString flate = Tool("pdfimages", {"-list", out + "Flate.pdf"});
    EXPECT_TRUE(jpeg.contains("jpeg")) << jpeg.toStdString();
    EXPECT_FALSE(flate.contains("jpeg")) << "the previous job's JPEG setting stayed: " << flate.toStdString();
    EXPECT_TRUE(QDir(m_run.Path()).entryList({"gs-args-*"}, QDir::Files).isEmpty())
        << "the argument file of an ended process remains";
}

TEST_F(GhostscriptServerReal, ABadPrintFileFailsOnlyItsWorkbook)
{
    const QString good = Input(gstest::TextPagePdf("Good"));
    const QString damaged = Input(gstest::DamagedPs());
    const QString missing = m_run.FilePath("never-printed.pdf");
    ASSERT_TRUE(Convert(ConversionOptions(), {good}, "/b/Before.xlsx").ok);
    const pid_t before = m_pServer->Pid();

    // The notice about a repaired file comes first; the message names the real error.
    const QString repaired = Input(gstest::RepairablePdf("Repaired"));
    const GhostscriptResult bad =
        Convert(ConversionOptions(), {good, repaired, damaged, good}, QStringLiteral("/b/Bad.xlsx"));
    EXPECT_FALSE(bad.ok);
    EXPECT_TRUE(bad.message.startsWith(QLatin1String("Ghostscript failed: Error: /syntaxerror in ")))
        << bad.message.toStdString();
    EXPECT_EQ(0, m_pServer->Pid()) << "a process that failed a job stays for the next";
    const GhostscriptResult gone = Convert(ConversionOptions(), {good, missing}, "/b/Gone.xlsx");
    EXPECT_FALSE(gone.ok);
    EXPECT_TRUE(gone.message.contains("undefinedfilename")) << gone.message.toStdString();

    ASSERT_TRUE(Convert(Titled("After"), {good, good}, "/b/After.xlsx").ok);
    EXPECT_NE(before, m_pServer->Pid());
    EXPECT_EQ("After", InfoField(m_out.path() + "/After.pdf", "Title"));
    EXPECT_EQ("2", InfoField(m_out.path() + "/After.pdf", "Pages"));
    EXPECT_EQ((QStringList{"After.pdf", "Before.pdf"}), QDir(m_out.path()).entryList(QDir::Files | QDir::Hidden))
        << "a failed job left a file";
}

// A print file may print text without ending its line: the job still ends,
// and a failure after such text is still told by its error.
TEST_F(GhostscriptServerReal, TextPrintedWithoutANewlineHidesNeitherTheEndNorTheError)
{
    const QString chatty = Input(QByteArray("%!PS\n(no newline) print\n") + gstest::TextPagePs("Chatty"));
    const QString damaged = Input(gstest::DamagedPs());
    StopGate gate;
    const auto convert = [&](const QStringList& inputs, const QString& workbook) {
        auto job =
            std::async(std::launch::async, [&] { return Convert(ConversionOptions(), inputs, workbook, &gate); });
        // A job whose end goes unnoticed would wait for ever: stopped after a minute.
        if (job.wait_for(std::chrono::seconds(60)) != std::future_status::ready)
            gate.RequestStop();
        return job.get();
    };
    const GhostscriptResult ok = convert({chatty, chatty}, QStringLiteral("/b/Chatty.xlsx"));
    EXPECT_TRUE(ok.ok) << ok.message.toStdString();
    const GhostscriptResult bad = convert({chatty, damaged}, QStringLiteral("/b/Bad.xlsx"));
    EXPECT_TRUE(bad.message.startsWith(QLatin1String("Ghostscript failed: Error: /syntaxerror in ")))
        << bad.message.toStdString();
    EXPECT_TRUE(convert({chatty}, QStringLiteral("/b/After.xlsx")).ok);
    EXPECT_EQ(QStringLiteral("2"), InfoField(m_out.path() + QStringLiteral("/Chatty.pdf"), QStringLiteral("Pages")));
    EXPECT_EQ((QStringList{QStringLiteral("After.pdf"), QStringLiteral("Chatty.pdf")}),
              QDir(m_out.path()).entryList(QDir::Files | QDir::Hidden));
}

TEST_F(GhostscriptServerReal, NamesWithAnyBytesReachTheirFiles)
{
    // Parentheses, backslashes, a percent sign and non-ASCII letters in both
    // the print file's and the PDF's names.
    const QString odd = m_run.FilePath(QString::fromUtf8("in (x) \\ 100% \u00e9\u65e5.pdf"));
    ASSERT_TRUE(gstest::WriteFile(odd, gstest::TextPagePdf("Odd")));
    ASSERT_TRUE(Convert(ConversionOptions(), {odd}, QString::fromUtf8("/b/Out (1) \\ 50% \u00fc.xlsx")).ok);
    EXPECT_EQ(QStringList{QString::fromUtf8("Out (1) \\ 50% \u00fc.pdf")},
              QDir(m_out.path()).entryList(QDir::Files | QDir::Hidden));
    EXPECT_EQ(QByteArray("(a\\(b\\)\\\\\\303\\251\\012)"), GhostscriptServer::PostScriptString("a(b)\\\xc3\xa9\n"));
}

TEST_F(GhostscriptServerReal, AStopMidJobLeavesNoFileAndTheNextJobStartsAFreshProcess)
{
    const QString endless = Input(gstest::EndlessPs());
    const QString good = Input(gstest::TextPagePdf("Good"));
    ASSERT_TRUE(Convert(ConversionOptions(), {good}, "/b/First.xlsx").ok);
    const pid_t first = m_pServer->Pid();
    StopGate gate;
    std::thread stopper([&gate] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        gate.RequestStop();
    });
    const GhostscriptResult stopped = Convert(ConversionOptions(), {good, endless}, "/b/Stopped.xlsx", &gate);
    stopper.join();
    EXPECT_FALSE(stopped.ok);
    EXPECT_TRUE(stopped.message.contains("stopped")) << stopped.message.toStdString();
    EXPECT_EQ(0, m_pServer->Pid());
    EXPECT_NE(0, ::kill(first, 0)) << "the stopped Ghostscript still runs";

    ASSERT_TRUE(Convert(ConversionOptions(), {good}, "/b/Next.xlsx").ok);
    EXPECT_NE(first, m_pServer->Pid());
    EXPECT_EQ((QStringList{"First.pdf", "Next.pdf"}), QDir(m_out.path()).entryList(QDir::Files | QDir::Hidden));
}

TEST_F(GhostscriptServerReal, EndingTheServerEndsItsProcessAndRemovesItsFiles)
{
    ConversionOptions locked;
    locked.m_bEnableSecurity = 1;
    locked.m_bOwnerPassword = 1;
    locked.m_strOwnerPassword = "owner";
    ASSERT_TRUE(Convert(locked, {Input(gstest::TextPagePdf("One"))}, "/b/One.xlsx").ok);
    const pid_t pid = m_pServer->Pid();
    ASSERT_NE(0, pid);
    EXPECT_EQ(1, QDir(m_run.Path()).entryList({"gs-args-*"}, QDir::Files).size());
    m_pServer.reset();
    EXPECT_NE(0, ::kill(pid, 0)) << "Ghostscript outlived its server";
    EXPECT_TRUE(QDir(m_run.Path()).entryList({"gs-args-*"}, QDir::Files).isEmpty());
}

} // namespace
