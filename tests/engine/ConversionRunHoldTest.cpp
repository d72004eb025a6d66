// Stopping and pausing a run at exact moments: a spreadsheet server that holds
// one sheet's printing, and a Ghostscript held before it starts (then the real
// one). What a stop or a pause leaves behind is checked on disk.
#include "RunTestSupport.h"

#include "engine/ConversionRun.h"
#include "support/RealTools.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

#include <sys/stat.h>

using namespace runtest;

namespace {

mode_t CurrentUmask()
{
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return mask;
}

class HeldRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        ORVIK_REQUIRE_TOOL(testsupport::HaveProgram("gs"), "Ghostscript (gs)");
        ORVIK_REQUIRE_TOOL(QueueReady(), "CUPS with the printer queue OrvikExcelToPDF");
        server = std::make_unique<HoldingServer>(OnePagePdf(scratch.path()));
        server->Register();
    }
    void TearDown() override
    {
        if (server)
            server->Release();
        if (worker.joinable())
            worker.join();
        HoldingServer::Unregister();
    }

    // Starts the run of these workbooks (file names under a folder that need not exist) on a worker thread.
    void Start(const QStringList& names)
    {
        QStringList paths;
        for (const QString& n : names)
            paths << QStringLiteral("/data/in/") + n;
        run = std::make_unique<ConversionRun>(paths, out.path(), &prompts, [] { return ConversionOptions(); },
                                              &observer);
        runFolder = run->RunFolderPath();
        worker = std::thread([this] { summary = run->Run(); });
    }
    void Join() { worker.join(); }
    QString Pdf(const QString& base) const { return out.filePath(base + QStringLiteral(".pdf")); }
    void WriteOldPdf(const QString& base)
    {
        QFile old(Pdf(base));
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old");
    }
    QByteArray Content(const QString& base) const
    {
        QFile pdf(Pdf(base));
        return pdf.open(QIODevice::ReadOnly) ? pdf.readAll() : QByteArray();
    }
    // Waits until flag is set; false when that took too long.
    static bool WaitSet(const std::atomic<bool>& flag)
    {
        const auto until = std::chrono::steady_clock::now() + kPatience;
        while (!flag && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(5ms);
        return flag;
    }
    // What a stopped run must leave: nothing in the run folder, no partial PDF, and no run folder after Finish.
    void ExpectCleanAfterStop(const QStringList& expectedPdfs)
    {
        EXPECT_EQ(QStringList(), FilesBelow(runFolder));
        EXPECT_EQ(expectedPdfs, FilesBelow(out.path())) << "no partial PDF may remain";
        run->Finish();
        EXPECT_FALSE(QFileInfo::exists(runFolder));
    }

    QTemporaryDir scratch, out;
    ScriptedPrompts prompts;
    RecordingObserver observer;
    std::unique_ptr<HoldingServer> server;
    std::unique_ptr<ConversionRun> run;
    QString runFolder;
    std::thread worker;
    ConversionRunSummary summary;
};

TEST_F(HeldRun, StopWhileASheetPrintsProducesNothingFurther)
{
    server->HoldAt(QStringLiteral("Alpha.xlsx"), 2);
    Start({QStringLiteral("Alpha.xlsx"), QStringLiteral("Beta.xlsx")});
    ASSERT_TRUE(server->WaitHeld());
    run->RequestStop();
    server->Release();
    Join();

    EXPECT_TRUE(summary.stopped);
    EXPECT_EQ(QStringLiteral("Stoped"), summary.status);
    EXPECT_EQ(QStringList(), summary.pdfNames);
    EXPECT_EQ(2, server->PrintOuts()) << "sheet 3 must not print after the stop";
    EXPECT_EQ(QStringList{QStringLiteral("Alpha.xlsx")}, server->Opened());
    EXPECT_EQ(WorkbookReport::Stopped, summary.workbooks.at(0).result);
    EXPECT_EQ(WorkbookReport::NotReached, summary.workbooks.at(1).result);
    EXPECT_EQ(std::vector<int>{100}, observer.Progress()) << "only the end of the run moves the bar";
    ExpectCleanAfterStop({});
}

TEST_F(HeldRun, PauseWhileASheetPrintsHoldsUntilResumed)
{
    server->HoldAt(QStringLiteral("Alpha.xlsx"), 2);
    Start({QStringLiteral("Alpha.xlsx"), QStringLiteral("Beta.xlsx"), QStringLiteral("Gamma.xlsx")});
    ASSERT_TRUE(server->WaitHeld());
    run->Pause();
    server->Release();
    std::this_thread::sleep_for(400ms);
    EXPECT_EQ(2, server->PrintOuts()) << "a paused run prints no further sheet";
    EXPECT_EQ(0u, observer.FinishedCount());
    // (Ghostscript may be writing the hidden partial file of the printed sheets.)
    EXPECT_EQ(QStringList(), QDir(out.path()).entryList({QStringLiteral("*.pdf")}, QDir::Files));

    run->Resume();
    Join();
    EXPECT_EQ(9, server->PrintOuts());
    EXPECT_EQ((std::vector<int>{33, 66, 100}), observer.Progress());
    EXPECT_EQ((QStringList{"Alpha.pdf", "Beta.pdf", "Gamma.pdf"}), summary.pdfNames);
    EXPECT_EQ(QStringLiteral("Complete!"), summary.status);
    EXPECT_TRUE(summary.AllConverted());
}

// A stop ends the office and prints nothing further, but the workbook whose
// sheets are all printed still gets its PDF: its Ghostscript is let finish.
TEST_F(HeldRun, AStopLetsThePdfOfAFullyPrintedWorkbookFinish)
{
    GhostscriptHold gs;
    // Beta's first sheet printing: Alpha is fully printed, its Ghostscript held.
    server->HoldAt(QStringLiteral("Beta.xlsx"), 1);
    Start({QStringLiteral("Alpha.xlsx"), QStringLiteral("Beta.xlsx"), QStringLiteral("Gamma.xlsx")});
    const pid_t pid = gs.WaitStarted();
    ASSERT_NE(0, pid);
    ASSERT_TRUE(server->WaitHeld());
    run->RequestStop();
    std::this_thread::sleep_for(300ms);
    EXPECT_TRUE(ProcessRuns(pid)) << "the first stop ended the Ghostscript of a fully printed workbook";
    gs.Release();
    server->Release();
    Join();

    EXPECT_TRUE(summary.stopped);
    EXPECT_EQ(WorkbookReport::Converted, summary.workbooks.at(0).result);
    EXPECT_EQ(QStringList{QStringLiteral("Alpha.pdf")}, summary.pdfNames);
    EXPECT_EQ(QStringLiteral("Complete!"), summary.status);
    // Beta may have printed while Alpha's sheets were joined; a stop ends its printing, not a PDF.
    EXPECT_NE(WorkbookReport::Converted, summary.workbooks.at(1).result);
    EXPECT_EQ(WorkbookReport::NotReached, summary.workbooks.at(2).result);
    EXPECT_FALSE(server->Opened().contains(QStringLiteral("Gamma.xlsx")));
    ExpectCleanAfterStop({QStringLiteral("Alpha.pdf")});
}

// A second stop ends that Ghostscript too, at once, and leaves no partial PDF.
TEST_F(HeldRun, ASecondStopEndsGhostscriptAndLeavesNoPartialPdf)
{
    GhostscriptHold gs;
    Start({QStringLiteral("Alpha.xlsx"), QStringLiteral("Beta.xlsx")});
    const pid_t pid = gs.WaitStarted();
    ASSERT_NE(0, pid);
    run->RequestStop();
    run->RequestStop();
    Join();

    EXPECT_FALSE(ProcessRuns(pid)) << "the second stop must end Ghostscript";
    EXPECT_TRUE(summary.stopped);
    EXPECT_EQ(QStringLiteral("Stoped"), summary.status);
    EXPECT_EQ(WorkbookReport::Stopped, summary.workbooks.at(0).result);
    EXPECT_TRUE(summary.workbooks.at(0).message.isEmpty()) << "a stop is no failure";
    EXPECT_NE(WorkbookReport::Converted, summary.workbooks.at(1).result);
    ExpectCleanAfterStop({});
}

// Stopped while it writes the PDF, Ghostscript leaves none of its own
// temporary files behind either.
TEST_F(HeldRun, StopWhileGhostscriptWritesLeavesNoTemporaryFile)
{
    GhostscriptHold gs(GhostscriptHold::AfterPages);
    QTemporaryDir tmp;
    TemporaryFolderOverride useTmp(tmp.path());
    Start({QStringLiteral("Alpha.xlsx")});
    ASSERT_TRUE(gs.WaitHeld());
    ASSERT_FALSE(FilesBelow(tmp.path()).filter(QRegularExpression(QStringLiteral("(^|/)gs_"))).isEmpty())
        << "Ghostscript was expected to hold temporary files by now";
    run->RequestStop();
    run->RequestStop();
    Join();

    EXPECT_EQ(QStringList(), FilesBelow(out.path())) << "no partial PDF may remain";
    run->Finish();
    EXPECT_EQ(QStringList(), FilesBelow(tmp.path())) << "temporary files of the stopped Ghostscript remain";
}

// What the run reports comes in list order: a workbook's start only after the
// result of the one before it, though its printing began while that one's
// sheets were still being joined.
TEST_F(HeldRun, TheNextStartIsReportedAfterThePreviousResult)
{
    GhostscriptHold gs;
    server->HoldAt(QStringLiteral("Beta.xlsx"), 1);
    Start({QStringLiteral("Alpha.xlsx"), QStringLiteral("Beta.xlsx")});
    ASSERT_NE(0, gs.WaitStarted());
    ASSERT_TRUE(server->WaitHeld()) << "Beta was expected to print while Alpha is joined";
    EXPECT_EQ(QStringList{QStringLiteral("start 0")}, observer.Events()) << "Beta's start came before Alpha's result";
    gs.Release();
    server->Release();
    Join();
    EXPECT_EQ((QStringList{"start 0", "progress 50", "finished 0", "start 1", "progress 100", "finished 1",
                           "run finished"}),
              observer.Events());
}

TEST_F(HeldRun, PauseWhileGhostscriptRunsLetsItFinishThenHolds)
{
    GhostscriptHold gs;
    // Beta's first sheet printing: Alpha is fully printed, its Ghostscript held.
    server->HoldAt(QStringLiteral("Beta.xlsx"), 1);
    Start({QStringLiteral("Alpha.xlsx"), QStringLiteral("Beta.xlsx")});
    ASSERT_NE(0, gs.WaitStarted());
    ASSERT_TRUE(server->WaitHeld());
    run->Pause();
    gs.Release();
    ASSERT_TRUE(observer.WaitFinished(1));
    server->Release();
    std::this_thread::sleep_for(400ms);
    EXPECT_TRUE(QFileInfo::exists(Pdf(QStringLiteral("Alpha"))));
    EXPECT_FALSE(QFileInfo::exists(Pdf(QStringLiteral("Beta")))) << "a paused run joins no further workbook";
    EXPECT_EQ(1u, observer.FinishedCount());
    EXPECT_EQ(std::vector<int>{50}, observer.Progress());

    run->Resume();
    Join();
    EXPECT_EQ((std::vector<int>{50, 100}), observer.Progress());
    EXPECT_EQ((QStringList{"Alpha.pdf", "Beta.pdf"}), summary.pdfNames);
    EXPECT_EQ(QStringLiteral("Complete!"), summary.status);
}

TEST_F(HeldRun, StopBetweenWorkbooksOpensNoFurtherWorkbook)
{
    observer.onFinished = [this](const WorkbookReport& report) {
        if (report.index == 0)
            run->RequestStop();
    };
    Start({QStringLiteral("Alpha.xlsx"), QStringLiteral("Beta.xlsx"), QStringLiteral("Gamma.xlsx")});
    Join();

    // Beta may have printed while Alpha's sheets were joined; it produces nothing.
    EXPECT_FALSE(server->Opened().contains(QStringLiteral("Gamma.xlsx")));
    EXPECT_TRUE(summary.stopped);
    EXPECT_EQ(WorkbookReport::Converted, summary.workbooks.at(0).result);
    EXPECT_NE(WorkbookReport::Converted, summary.workbooks.at(1).result);
    EXPECT_EQ(WorkbookReport::NotReached, summary.workbooks.at(2).result);
    EXPECT_EQ(QStringList{QStringLiteral("Alpha.pdf")}, summary.pdfNames);
    EXPECT_EQ(QStringLiteral("Complete!"), summary.status);
    ExpectCleanAfterStop({QStringLiteral("Alpha.pdf")});
}

// Rules known beforehand (the command line's --overwrite or not): no question is asked.
TEST_F(HeldRun, ExistingPdfRulesReplaceOrKeepWithoutAsking)
{
    auto writeOld = [this] {
        QFile old(Pdf(QStringLiteral("Alpha")));
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old");
    };
    auto runWith = [this](ConversionRun::ExistingPdf rule) {
        run = std::make_unique<ConversionRun>(QStringList{QStringLiteral("/data/in/Alpha.xlsx"), QStringLiteral("/data/in/Beta.xlsx")},
                                              out.path(), &prompts, [] { return ConversionOptions(); }, &observer);
        run->SetExistingPdf(rule);
        return run->Run();
    };
    auto content = [this] {
        QFile pdf(Pdf(QStringLiteral("Alpha")));
        return pdf.open(QIODevice::ReadOnly) ? pdf.readAll() : QByteArray();
    };

    writeOld();
    ConversionRunSummary kept = runWith(ConversionRun::ExistingPdf::Keep);
    EXPECT_EQ(QByteArray("old"), content());
    EXPECT_EQ(WorkbookReport::Kept, kept.workbooks.at(0).result);
    EXPECT_EQ(QStringList{QStringLiteral("Beta.pdf")}, kept.pdfNames);
    EXPECT_EQ((std::vector<int>{50, 100}), observer.Progress());

    ConversionRunSummary replaced = runWith(ConversionRun::ExistingPdf::Replace);
    EXPECT_TRUE(content().startsWith("%PDF-"));
    EXPECT_EQ((QStringList{QStringLiteral("Alpha.pdf"), QStringLiteral("Beta.pdf")}), replaced.pdfNames);
    EXPECT_EQ(QStringList(), prompts.boxes) << "neither rule asks";
}

// Without a person to ask (the command line), a PDF this run made is never
// replaced by a later workbook of the same name: that one fails, naming both.
// The rule for PDFs that existed before the run is not changed by it.
TEST_F(HeldRun, ALaterWorkbookOfTheSameNameNeverReplacesThisRunsPdf)
{
    const QString first = QStringLiteral("/data/in/a/Book.xlsx");
    const QString second = QStringLiteral("/data/in/b/Book.xlsx");
    for (ConversionRun::ExistingPdf rule : {ConversionRun::ExistingPdf::Replace, ConversionRun::ExistingPdf::Keep}) {
        QFile::remove(Pdf(QStringLiteral("Book")));
        QFile::remove(Pdf(QStringLiteral("Other")));
        const int opened = int(server->Opened().size());
        RecordingObserver seen;
        run = std::make_unique<ConversionRun>(QStringList{first, second, QStringLiteral("/data/in/Other.xlsx")},
                                              out.path(), &prompts, [] { return ConversionOptions(); }, &seen);
        run->SetExistingPdf(rule);
        const ConversionRunSummary s = run->Run();

        EXPECT_EQ(WorkbookReport::Converted, s.workbooks.at(0).result);
        EXPECT_EQ(WorkbookReport::Failed, s.workbooks.at(1).result);
        EXPECT_EQ(ConversionRun::ClashText().arg(second, Pdf(QStringLiteral("Book")), first), s.workbooks.at(1).message);
        EXPECT_EQ(WorkbookReport::Converted, s.workbooks.at(2).result);
        EXPECT_EQ((QStringList{QStringLiteral("Book.pdf"), QStringLiteral("Other.pdf")}), s.pdfNames);
        EXPECT_FALSE(s.AllConverted());
        EXPECT_EQ(2, server->Opened().size() - opened) << "the second Book.xlsx is not even opened";
    }
    EXPECT_EQ(QStringList(), prompts.boxes) << "nothing is asked";
}

// A replaced PDF keeps the mode of the old one; a new one gets the usual mode.
TEST_F(HeldRun, AReplacedPdfKeepsItsMode)
{
    WriteOldPdf(QStringLiteral("Alpha"));
    ASSERT_TRUE(QFile::setPermissions(Pdf(QStringLiteral("Alpha")), QFile::ReadOwner | QFile::ReadUser | QFile::ReadGroup | QFile::ReadOther));
    run = std::make_unique<ConversionRun>(QStringList{QStringLiteral("/data/in/Alpha.xlsx"), QStringLiteral("/data/in/Beta.xlsx")},
                                          out.path(), &prompts, [] { return ConversionOptions(); }, &observer);
    run->SetExistingPdf(ConversionRun::ExistingPdf::Replace);
    const ConversionRunSummary s = run->Run();
    ASSERT_EQ((QStringList{QStringLiteral("Alpha.pdf"), QStringLiteral("Beta.pdf")}), s.pdfNames);
    EXPECT_TRUE(Content(QStringLiteral("Alpha")).startsWith("%PDF-"));
    struct stat alpha {}, beta {};
    ASSERT_EQ(0, ::stat(QFile::encodeName(Pdf(QStringLiteral("Alpha"))).constData(), &alpha));
    ASSERT_EQ(0, ::stat(QFile::encodeName(Pdf(QStringLiteral("Beta"))).constData(), &beta));
    EXPECT_EQ(0444u, alpha.st_mode & 07777u) << "the read-only PDF became writable";
    EXPECT_EQ(0666u & ~CurrentUmask(), beta.st_mode & 07777u);
}

// The run object cleans up after itself even when the window never calls Finish.
TEST_F(HeldRun, DestroyingTheRunRemovesItsFolder)
{
    Start({QStringLiteral("Alpha.xlsx")});
    Join();
    ASSERT_TRUE(QFileInfo(runFolder).isDir());
    EXPECT_EQ(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadUser | QFile::WriteUser | QFile::ExeUser,
              QFileInfo(runFolder).permissions()) << "only the user may read the run folder";
    run.reset();
    EXPECT_FALSE(QFileInfo::exists(runFolder));
    EXPECT_TRUE(QFileInfo::exists(Pdf(QStringLiteral("Alpha"))));
}

// Questions pass the gate too. The window pauses the run while it asks whether
// to stop; a question the run reaches meanwhile must not appear over that one.
// The pause comes where the workbook is announced, after the last safe point
// before its question, so only the question's own gate can hold it.
TEST_F(HeldRun, AReplaceQuestionReachedWhilePausedWaitsForResume)
{
    WriteOldPdf(QStringLiteral("Alpha"));
    std::atomic<bool> paused{false};
    std::atomic<int> asked{0};
    observer.onStarted = [this, &paused](int index, const QString&) {
        if (index == 0) {
            run->Pause();
            paused = true;
        }
    };
    prompts.onQuestion = [&asked](const QString&) { ++asked; };
    prompts.QueueBox(7);
    Start({QStringLiteral("Alpha.xlsx"), QStringLiteral("Beta.xlsx")});
    ASSERT_TRUE(WaitSet(paused));
    std::this_thread::sleep_for(400ms);
    EXPECT_EQ(0, asked.load()) << "the question appeared while the run was paused";

    run->Resume();
    Join();
    EXPECT_EQ(QStringList{ConversionRun::ReplaceQuestion().arg(Pdf(QStringLiteral("Alpha")))}, prompts.boxes);
    EXPECT_EQ(WorkbookReport::Kept, summary.workbooks.at(0).result);
    EXPECT_EQ(QByteArray("old"), Content(QStringLiteral("Alpha")));
    EXPECT_EQ(QStringList{QStringLiteral("Beta.pdf")}, summary.pdfNames);
    EXPECT_EQ((std::vector<int>{50, 100}), observer.Progress());
}

// Stop-Yes: the run was paused for the stop question, then stopped. The held
// question is never asked, the existing PDF stays, and the run ends.
TEST_F(HeldRun, AReplaceQuestionHeldByAPauseIsNotAskedAfterAStop)
{
    WriteOldPdf(QStringLiteral("Alpha"));
    std::atomic<bool> paused{false};
    observer.onStarted = [this, &paused](int index, const QString&) {
        if (index == 0) {
            run->Pause();
            paused = true;
        }
    };
    Start({QStringLiteral("Alpha.xlsx"), QStringLiteral("Beta.xlsx")});
    ASSERT_TRUE(WaitSet(paused));
    run->RequestStop();
    Join();

    EXPECT_EQ(QStringList(), prompts.boxes);
    EXPECT_TRUE(summary.stopped);
    EXPECT_EQ(QStringLiteral("Stoped"), summary.status);
    // Nothing was asked, so nothing was chosen: the workbook was stopped, not kept.
    EXPECT_EQ(WorkbookReport::Stopped, summary.workbooks.at(0).result);
    EXPECT_EQ(WorkbookReport::NotReached, summary.workbooks.at(1).result);
    EXPECT_EQ(QStringList(), server->Opened());
    EXPECT_EQ(std::vector<int>{100}, observer.Progress()) << "a stopped workbook does not move the bar";
    EXPECT_EQ(QByteArray("old"), Content(QStringLiteral("Alpha")));
    ExpectCleanAfterStop({QStringLiteral("Alpha.pdf")});
}

TEST_F(HeldRun, AReplaceQuestionIsNotAskedAfterAStop)
{
    WriteOldPdf(QStringLiteral("Alpha"));
    observer.onStarted = [this](int index, const QString&) {
        if (index == 0)
            run->RequestStop();
    };
    Start({QStringLiteral("Alpha.xlsx"), QStringLiteral("Beta.xlsx")});
    Join();

    EXPECT_EQ(QStringList(), prompts.boxes);
    EXPECT_EQ(WorkbookReport::Stopped, summary.workbooks.at(0).result);
    EXPECT_EQ(QStringLiteral("Stoped"), summary.status);
    EXPECT_EQ(QByteArray("old"), Content(QStringLiteral("Alpha")));
    ExpectCleanAfterStop({QStringLiteral("Alpha.pdf")});
}

// A workbook that refuses to open asks for its password: held while paused.
TEST_F(HeldRun, APasswordPromptReachedWhilePausedWaitsForResume)
{
    server->Refuse(QStringLiteral("Locked.xlsx"));
    std::atomic<bool> paused{false};
    std::atomic<int> asked{0};
    server->onOpen = [this, &paused](const QString& book) {
        if (book == QStringLiteral("Locked.xlsx") && !paused) {
            run->Pause();
            paused = true;
        }
    };
    prompts.onQuestion = [&asked](const QString&) { ++asked; };
    Start({QStringLiteral("Locked.xlsx"), QStringLiteral("Beta.xlsx")});
    ASSERT_TRUE(WaitSet(paused));
    std::this_thread::sleep_for(400ms);
    EXPECT_EQ(0, asked.load()) << "the password prompt appeared while the run was paused";

    run->Resume();
    Join();
    EXPECT_EQ(QStringList{QStringLiteral("Locked.xlsx")}, prompts.asked);
    EXPECT_EQ(WorkbookReport::Cancelled, summary.workbooks.at(0).result);
    EXPECT_EQ(QStringList{QStringLiteral("Beta.pdf")}, summary.pdfNames);
}

TEST_F(HeldRun, APasswordPromptIsNotShownAfterAStop)
{
    server->Refuse(QStringLiteral("Locked.xlsx"));
    server->onOpen = [this](const QString&) { run->RequestStop(); };
    Start({QStringLiteral("Locked.xlsx"), QStringLiteral("Beta.xlsx")});
    Join();

    EXPECT_EQ(QStringList(), prompts.asked);
    EXPECT_EQ(WorkbookReport::Stopped, summary.workbooks.at(0).result);
    EXPECT_TRUE(summary.workbooks.at(0).message.isEmpty()) << "a stop is no failure";
    EXPECT_EQ(WorkbookReport::NotReached, summary.workbooks.at(1).result);
    EXPECT_EQ(QStringList{QStringLiteral("Locked.xlsx")}, server->Opened());
    EXPECT_EQ(QStringLiteral("Stoped"), summary.status);
    ExpectCleanAfterStop({});
}

// "Couldn't get Excel object." is said when the spreadsheet application cannot
// be had, but not once the run is stopped.
TEST_F(HeldRun, APlainMessageIsNotShownAfterAStop)
{
    std::atomic<bool> stopNow{false};
    DispatchRegistry::Register(QStringLiteral("Excel.Application"), [this, &stopNow] {
        if (stopNow)
            run->RequestStop();
        return std::shared_ptr<IDispatchObject>();
    });
    Start({QStringLiteral("Alpha.xlsx")});
    Join();
    ASSERT_EQ(QStringList{QStringLiteral("Couldn't get Excel object.")}, prompts.plain);
    EXPECT_EQ(WorkbookReport::Failed, summary.workbooks.at(0).result);

    prompts.plain.clear();
    stopNow = true;
    Start({QStringLiteral("Alpha.xlsx")});
    Join();
    EXPECT_EQ(QStringList(), prompts.plain);
    EXPECT_EQ(WorkbookReport::Stopped, summary.workbooks.at(0).result);
    ExpectCleanAfterStop({});
}

} // namespace
