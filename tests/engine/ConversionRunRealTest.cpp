// Runs over real workbooks through the real office, CUPS queue and Ghostscript:
// the bar, the names, the questions and their order, the options per workbook,
// a cancelled password, a stop while the office prints, and the run folder.
#include "RunTestSupport.h"
#include "XlsxWriter.h"

#include "automation/OfficeServer.h"
#include "automation/OfficeSession.h"
#include "engine/ConversionRun.h"
#include "support/RealTools.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <memory>
#include <thread>
#include <unistd.h>

using namespace runtest;

namespace {

class RealRun : public ::testing::Test {
protected:
    // One office for every run of this program.
    static void SetUpTestSuite()
    {
        RegisterOfficeServer();
        session = std::make_unique<OfficeSession>();
    }
    static void TearDownTestSuite() { session.reset(); }

    void SetUp() override
    {
        ORVIK_REQUIRE_TOOL(testsupport::HaveProgram("soffice"), "LibreOffice (soffice)");
        ORVIK_REQUIRE_TOOL(testsupport::HaveProgram("gs"), "Ghostscript (gs)");
        ORVIK_REQUIRE_TOOL(testsupport::HaveProgram("pdfinfo"), "poppler-utils (pdfinfo)");
        ORVIK_REQUIRE_TOOL(QueueReady(), "CUPS with the printer queue OrvikExcelToPDF");
    }

    // A run over these workbooks into the output folder (typed without a trailing separator).
    ConversionRun& MakeRun(const QStringList& workbooks,
                           ConversionRun::OptionsProvider options = [] { return ConversionOptions(); })
    {
        run = std::make_unique<ConversionRun>(workbooks, out.path(), &prompts, std::move(options), &observer);
        run->UseOfficeSession(session.get());
        runFolder = run->RunFolderPath();
        return *run;
    }
    QString Pdf(const QString& base) const { return out.filePath(base + QStringLiteral(".pdf")); }

    static std::unique_ptr<OfficeSession> session;
    QTemporaryDir out, scratch;
    ScriptedPrompts prompts;
    RecordingObserver observer;
    std::unique_ptr<ConversionRun> run;
    QString runFolder;
};

std::unique_ptr<OfficeSession> RealRun::session;

// Three workbooks: the bar at 33, 66, 100, the names in list order, each PDF
// with the options handed out for it, and no run folder once finished.
TEST_F(RealRun, ThreeWorkbooksMoveTheBarAndTakeFreshOptionsEach)
{
    std::atomic<int> calls{0};
    MakeRun({TestData("SampleSS.xlsx"), TestData("SimpleScatterChart.xlsx"), TestData("WithTextBox.xlsx")},
            [&calls] {
                ConversionOptions options;
                options.m_strDocTitle = QStringLiteral("Title %1").arg(++calls);
                return options;
            });
    const ConversionRunSummary summary = run->Run();

    EXPECT_EQ((std::vector<int>{33, 66, 100}), observer.Progress());
    EXPECT_EQ((QStringList{"SampleSS.pdf", "SimpleScatterChart.pdf", "WithTextBox.pdf"}), summary.pdfNames);
    EXPECT_EQ(QStringLiteral("Complete!"), summary.status);
    EXPECT_TRUE(summary.AllConverted()) << summary.workbooks.at(0).message.toStdString();
    EXPECT_EQ(out.path() + QLatin1Char('/'), run->OutputFolder());
    EXPECT_EQ(3, calls.load());
    EXPECT_EQ(QStringLiteral("Title 1"), PdfInfo(Pdf("SampleSS"), "Title"));
    EXPECT_EQ(QStringLiteral("Title 2"), PdfInfo(Pdf("SimpleScatterChart"), "Title"));
    EXPECT_EQ(QStringLiteral("Title 3"), PdfInfo(Pdf("WithTextBox"), "Title"));
    const QStringList finished = observer.Events().filter(QRegularExpression(QStringLiteral("^finished ")));
    EXPECT_EQ((QStringList{"finished 0", "finished 1", "finished 2"}), finished);
    EXPECT_TRUE(observer.runFinished);
    EXPECT_EQ(QStringList(), FilesBelow(runFolder)) << "print files go when their PDF is done";

    run->Finish();
    EXPECT_FALSE(QFileInfo::exists(runFolder));
    EXPECT_TRUE(run->RunFolderPath().isEmpty());
}

// Existing PDFs answered No or closed: untouched, not listed, the bar still moves.
TEST_F(RealRun, KeptPdfsStayUntouchedAndStillAdvanceTheBar)
{
    for (const char* base : {"SampleSS", "SimpleScatterChart"}) {
        QFile old(Pdf(base));
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("the old PDF");
    }
    prompts.QueueBox(7);
    prompts.QueueBox(8);
    MakeRun({TestData("SampleSS.xlsx"), TestData("SimpleScatterChart.xlsx"), TestData("WithTextBox.xlsx")});
    const ConversionRunSummary summary = run->Run();

    EXPECT_EQ((QStringList{Pdf("SampleSS") + " already exists. Do you want to replace it?",
                           Pdf("SimpleScatterChart") + " already exists. Do you want to replace it?"}),
              prompts.boxes);
    EXPECT_EQ((std::vector<int>{4, 4}), prompts.boxTypes);
    for (const char* base : {"SampleSS", "SimpleScatterChart"}) {
        QFile old(Pdf(base));
        ASSERT_TRUE(old.open(QIODevice::ReadOnly));
        EXPECT_EQ(QByteArray("the old PDF"), old.readAll());
    }
    EXPECT_EQ((std::vector<int>{33, 66, 100}), observer.Progress());
    EXPECT_EQ(QStringList{"WithTextBox.pdf"}, summary.pdfNames);
    EXPECT_EQ(WorkbookReport::Kept, summary.workbooks.at(0).result);
    EXPECT_EQ(WorkbookReport::Kept, summary.workbooks.at(1).result);
    EXPECT_FALSE(summary.AllConverted());
}

// Book.xls and Book.xlsx from two folders: the second asks to replace the PDF
// of the first, and only once that PDF is complete and reported.
TEST_F(RealRun, SameBaseNameFromTwoFoldersAsksToReplaceTheFirstOnesPdf)
{
    QDir(scratch.path()).mkpath("a");
    QDir(scratch.path()).mkpath("b");
    const QString first = scratch.filePath("a/Book.xls");
    const QString second = scratch.filePath("b/Book.xlsx");
    ASSERT_TRUE(QFile::copy(TestData("SampleSS.xls"), first));
    ASSERT_TRUE(QFile::copy(TestData("WithTextBox.xlsx"), second));
    bool firstReadyWhenAsked = false;
    prompts.onQuestion = [&](const QString&) {
        firstReadyWhenAsked = observer.FinishedCount() == 1 && PdfInfo(Pdf("Book"), "Pages").toInt() > 0;
    };
    MakeRun({first, second});
    const ConversionRunSummary summary = run->Run();

    EXPECT_EQ(QStringList{Pdf("Book") + " already exists. Do you want to replace it?"}, prompts.boxes);
    EXPECT_TRUE(firstReadyWhenAsked) << "the question must wait for the first PDF";
    EXPECT_EQ((QStringList{"Book.pdf", "Book.pdf"}), summary.pdfNames);
    EXPECT_EQ((std::vector<int>{50, 100}), observer.Progress());
    EXPECT_TRUE(PdfInfo(Pdf("Book"), "Pages").toInt() > 0);
}

// A cancelled password leaves the workbook out; alone, the run reads "Stoped".
TEST_F(RealRun, CancelledPasswordAloneGivesStoped)
{
    MakeRun({TestData("password.xls")});
    const ConversionRunSummary summary = run->Run();

    EXPECT_EQ(QStringList{"password.xls"}, prompts.asked);
    EXPECT_EQ(QStringList(), summary.pdfNames);
    EXPECT_EQ(QStringLiteral("Stoped"), summary.status);
    EXPECT_FALSE(summary.stopped);
    EXPECT_EQ(WorkbookReport::Cancelled, summary.workbooks.at(0).result);
    EXPECT_TRUE(summary.workbooks.at(0).message.startsWith("password.xls: ")) << summary.workbooks.at(0).message.toStdString();
    EXPECT_EQ(std::vector<int>{100}, observer.Progress()) << "only the end of the run moves the bar";
    EXPECT_EQ(QStringList(), FilesBelow(out.path()));
}

// The password question of the second workbook comes after the first is reported;
// a wrong password asks again, the right one converts it.
TEST_F(RealRun, PasswordQuestionComesAfterThePreviousWorkbookIsReported)
{
    prompts.QueuePassword(1, QStringLiteral("wrong"));
    prompts.QueuePassword(1, QStringLiteral("tika"));
    size_t reportedWhenAsked = 0;
    prompts.onQuestion = [&](const QString&) {
        if (reportedWhenAsked == 0)
            reportedWhenAsked = observer.FinishedCount();
    };
    MakeRun({TestData("SampleSS.xlsx"), TestData("protected_passtika.xlsx")});
    const ConversionRunSummary summary = run->Run();

    EXPECT_EQ(1u, reportedWhenAsked);
    EXPECT_EQ((QStringList{"protected_passtika.xlsx", "protected_passtika.xlsx"}), prompts.asked);
    EXPECT_EQ((QStringList{"SampleSS.pdf", "protected_passtika.pdf"}), summary.pdfNames);
    EXPECT_TRUE(summary.AllConverted());
    EXPECT_GT(PdfInfo(Pdf("protected_passtika"), "Pages").toInt(), 0);
}

// A stop while the office prints: the office ends, no later PDF and no partial
// file appear, and the run folder is empty.
TEST_F(RealRun, StopWhileTheOfficePrintsEndsTheOffice)
{
    session->Office();
    ASSERT_FALSE(OurOfficeProcesses().empty());
    observer.onFinished = [this](const WorkbookReport& report) {
        if (report.index == 0)
            run->RequestStop();
    };
    MakeRun({TestData("SampleSS.xlsx"), TestData("55906-MultiSheetRefs.xlsx"), TestData("chinese-provinces.xls")});
    const ConversionRunSummary summary = run->Run();

    EXPECT_TRUE(OurOfficeProcesses().empty()) << "the stop must end the office";
    EXPECT_TRUE(summary.stopped);
    EXPECT_EQ(QStringList{"SampleSS.pdf"}, summary.pdfNames);
    EXPECT_EQ(QStringLiteral("Complete!"), summary.status);
    EXPECT_EQ(QStringList{"SampleSS.pdf"}, FilesBelow(out.path()));
    EXPECT_EQ(WorkbookReport::NotReached, summary.workbooks.at(2).result);
    EXPECT_EQ(QStringList(), FilesBelow(runFolder));
}

// Long sheets print in page ranges that Ghostscript joins while the office
// prints on. A stop while a workbook's ranges are being joined: the workbooks
// before it are converted whole, its own job yields nothing, and neither a
// Ghostscript nor a file of it remains.
TEST_F(RealRun, AStopInTheMiddleOfALongWorkbookLeavesNoFileOfIt)
{
    const QString first = scratch.filePath("LongFirst.xlsx");
    const QString last = scratch.filePath("LongLast.xlsx");
    for (const QString& book : {first, last})
        ASSERT_TRUE(workbooktest::XlsxWriter::Write(book, {{"Long", "Line", false, 320}, {"After", "Closing words"}}));
    class StoppingObserver : public RecordingObserver {
    public:
        std::function<void(int, int)> onSheet;
        void SheetPrinted(int index, int sheet, int) override { onSheet(index, sheet); }
    } stopping;
    stopping.onSheet = [this](int index, int sheet) {
        if (index == 2 && sheet == 1)
            run->RequestStop();
    };
    run = std::make_unique<ConversionRun>(QStringList{first, TestData("SampleSS.xlsx"), last}, out.path(), &prompts,
                                          [] { return ConversionOptions(); }, &stopping);
    run->UseOfficeSession(session.get());
    run->SetChunkPages(2);
    runFolder = run->RunFolderPath();
    const ConversionRunSummary summary = run->Run();

    EXPECT_TRUE(summary.stopped);
    EXPECT_EQ((QStringList{"LongFirst.pdf", "SampleSS.pdf"}), summary.pdfNames);
    EXPECT_EQ(WorkbookReport::Stopped, summary.workbooks.at(2).result);
    EXPECT_EQ((QStringList{"LongFirst.pdf", "SampleSS.pdf"}), FilesBelow(out.path()));
    EXPECT_TRUE(OurProcesses({"gs"}).empty()) << "a Ghostscript of the stopped workbook remains";
    EXPECT_EQ(QStringList(), FilesBelow(runFolder));
    QProcess pdftotext;
    pdftotext.start("pdftotext", {Pdf("LongFirst"), "-"});
    ASSERT_TRUE(pdftotext.waitForFinished(60000));
    const QString text = QString::fromUtf8(pdftotext.readAllStandardOutput()).simplified();
    EXPECT_TRUE(QRegularExpression("Line 1 .*Line 160 .*Line 320 .*Closing words").match(text).hasMatch());
    EXPECT_EQ((QStringList{"start 0", "finished 0", "start 1", "finished 1", "start 2", "finished 2"}),
              stopping.Events().filter(QRegularExpression("^(start|finished)")));
}

// Records like RecordingObserver and acts when a sheet has been printed.
class SheetObserver : public RecordingObserver {
public:
    std::function<void(int index, int sheet)> onSheet;
    void SheetPrinted(int index, int sheet, int) override { onSheet(index, sheet); }
};

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The office ends after a workbook's first sheet. With the replacing agreed
// to, the complete PDF already there stays as it was and no partial file
// remains; where there was none, the sheets printed before make a PDF that is
// reported incomplete. Neither counts as converted.
TEST_F(RealRun, AWorkbookThatLostSheetsNeverReplacesACompletePdf)
{
    const QString book = scratch.filePath("Book.xlsx");
    ASSERT_TRUE(workbooktest::XlsxWriter::Write(
        book, {{"Intro", "Opening words"}, {"Middle", "Middle words"}, {"After", "Closing words"}}));
    const QByteArray complete = "%PDF-1.4\n% a complete PDF from before\n%%EOF\n";
    {
        QFile old(Pdf("Book"));
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write(complete);
    }
    SheetObserver killing;
    killing.onSheet = [](int, int sheet) {
        if (sheet == 1)
            for (pid_t pid : OurProcesses({"soffice"}))
                ::kill(pid, SIGKILL);
    };
    for (ConversionRun::ExistingPdf rule : {ConversionRun::ExistingPdf::Replace, ConversionRun::ExistingPdf::Keep}) {
        run = std::make_unique<ConversionRun>(QStringList{book}, out.path(), &prompts,
                                              [] { return ConversionOptions(); }, &killing);
        run->UseOfficeSession(session.get());
        run->SetExistingPdf(rule);
        const ConversionRunSummary summary = run->Run();
        EXPECT_FALSE(summary.AllConverted());
        if (rule == ConversionRun::ExistingPdf::Replace) {
            EXPECT_EQ(complete, ReadAll(Pdf("Book"))) << "a complete PDF was replaced by a partial one";
            EXPECT_EQ(WorkbookReport::Failed, summary.workbooks.at(0).result);
            EXPECT_TRUE(summary.workbooks.at(0).message.contains(
                "printing sheet 2 of 3 failed")) << summary.workbooks.at(0).message.toStdString();
            EXPECT_TRUE(summary.workbooks.at(0).message.contains(
                "sheets 2 to 3 of 3 are missing, so the existing " + Pdf("Book") + " was kept."))
                << summary.workbooks.at(0).message.toStdString();
            EXPECT_EQ(QStringList(), summary.pdfNames);
            ASSERT_TRUE(QFile::remove(Pdf("Book")));
        } else {
            EXPECT_EQ(WorkbookReport::Incomplete, summary.workbooks.at(0).result);
            EXPECT_EQ(QStringList(), summary.pdfNames) << "an incomplete PDF is no result to open";
            QProcess pdftotext;
            pdftotext.start("pdftotext", {Pdf("Book"), "-"});
            ASSERT_TRUE(pdftotext.waitForFinished(60000));
            const QString text = QString::fromUtf8(pdftotext.readAllStandardOutput());
            EXPECT_TRUE(text.contains("Opening words") && !text.contains("Middle words")) << text.toStdString();
        }
        EXPECT_EQ(QStringList(rule == ConversionRun::ExistingPdf::Keep ? QStringList{"Book.pdf"} : QStringList()),
                  FilesBelow(out.path()));
    }
}

// A PDF of the same name appears in the output folder while the workbook is
// converted (another run, a script): the command line keeps it, the window
// asks, and the new PDF replaces it only after a Yes. Nothing else is left.
TEST_F(RealRun, APdfThatAppearsMeanwhileIsKeptOrAskedAbout)
{
    SheetObserver appearing;
    appearing.onSheet = [this](int, int) {
        QFile theirs(Pdf("SampleSS"));
        if (!theirs.exists() && theirs.open(QIODevice::WriteOnly))
            theirs.write("theirs");
    };
    struct Case {
        ConversionRun::ExistingPdf rule;
        int answer;
        WorkbookReport::Result result;
    };
    const QString question = ConversionRun::ReplaceQuestion().arg(Pdf("SampleSS"));
    for (const Case& c : {Case{ConversionRun::ExistingPdf::Keep, 0, WorkbookReport::Kept},
                          Case{ConversionRun::ExistingPdf::Ask, 7, WorkbookReport::Kept},
                          Case{ConversionRun::ExistingPdf::Ask, 6, WorkbookReport::Converted}}) {
        SCOPED_TRACE(c.answer);
        QFile::remove(Pdf("SampleSS"));
        ScriptedPrompts answering;
        answering.QueueBox(c.answer);
        run = std::make_unique<ConversionRun>(QStringList{TestData("SampleSS.xlsx")}, out.path(), &answering,
                                              [] { return ConversionOptions(); }, &appearing);
        run->UseOfficeSession(session.get());
        run->SetExistingPdf(c.rule);
        const ConversionRunSummary summary = run->Run();
        EXPECT_EQ(c.result, summary.workbooks.at(0).result);
        EXPECT_EQ(c.rule == ConversionRun::ExistingPdf::Ask ? QStringList{question} : QStringList(), answering.boxes);
        EXPECT_EQ(c.result == WorkbookReport::Converted, ReadAll(Pdf("SampleSS")).startsWith("%PDF-"));
        EXPECT_EQ(QStringList{"SampleSS.pdf"}, FilesBelow(out.path())) << "a held PDF was left behind";
    }
}

} // namespace
