// Conversions started from the page, with a spreadsheet server that can hold a
// sheet's printing and the real Ghostscript: the page while converting, Stop
// with No and Yes, a run ending under the Stop question, a Convert within the
// second before the finish step, questions and finish steps held behind the
// Stop and close questions, runs that end one after another, and the page
// destroyed in the middle of a run.
#include "PageFixture.h"

#include "app/DialogDriver.h"
#include "app/MessageBox.h"
#include "engine/RunTestSupport.h"
#include "support/RealTools.h"

#include <QFileInfo>
#include <QTimer>

#include <future>

using namespace runtest;
using pagetest::PageFixture;

namespace {

constexpr int kWaitMs = 120000;
const QString kBusy = QStringLiteral("Working now,Hold for a moment!");
const QString kStopQuestion = QStringLiteral("Are you sure you want to stop the conversion? ");

class HeldPage : public PageFixture {
protected:
    void SetUp() override
    {
        ORVIK_REQUIRE_TOOL(testsupport::HaveProgram("gs"), "Ghostscript (gs)");
        ORVIK_REQUIRE_TOOL(QueueReady(), "CUPS with the printer queue OrvikExcelToPDF");
        PageFixture::SetUp();
        server = std::make_unique<HoldingServer>(OnePagePdf(scratch.path()));
        server->Register();
        ConversionRun::SetDefaultLanes(1); // the exact calls of one lane
    }
    void TearDown() override
    {
        if (server)
            server->Release();
        PageFixture::TearDown(); // waits for a run still going
        HoldingServer::Unregister();
        ConversionRun::SetDefaultLanes(0);
    }

    // Lists these workbooks (empty files: the server prints them) and sets the output folder.
    void List(const QStringList& names)
    {
        QStringList paths;
        for (const QString& name : names)
            paths << MakeFile(QStringLiteral("in/") + name);
        AddFiles(paths);
        page->SetDlgItemText(1017, out.path());
    }
    // Presses Convert and waits, serving events, until the held sheet prints.
    void ConvertUntilHeld()
    {
        auto held = std::async(std::launch::async, [this] { return server->WaitHeld(); });
        Click(1019);
        ASSERT_TRUE(QTest::qWaitFor([&] { return held.wait_for(0s) == std::future_status::ready; }, kWaitMs));
        ASSERT_TRUE(held.get());
    }
    bool WaitStatus(const QString& status)
    {
        return QTest::qWaitFor([&] { return Status() == status; }, kWaitMs);
    }
    // Answers the next finish dialog: its names and folder are recorded, then it is closed.
    void ExpectFinishDialog()
    {
        dialogtest::ActWhenModal<CFinishDlg>([this](CFinishDlg& dlg) {
            finishNames = dlg.m_lstPdfNames;
            finishFolder = dlg.m_strFolder;
            for (int i = 0; i < dlg.m_lbResults.count(); ++i)
                finishListed << dlg.m_lbResults.item(i)->text();
            dlg.OnCommand(IDCANCEL);
        });
    }
    QString Pdf(const QString& base) const { return out.filePath(base + QStringLiteral(".pdf")); }
    // From now on every finish dialog is recorded in `shown` (its folder, then its
    // names) and closed; beforeClose runs first, inside the dialog.
    void WatchFinishDialogs(const std::function<void()>& beforeClose = {})
    {
        QObject::connect(&finishWatch, &QTimer::timeout, [this, beforeClose] {
            auto* dlg = dynamic_cast<CFinishDlg*>(CDialog::ActiveModal());
            if (watching || !dlg || dlg->m_lstPdfNames.isEmpty())
                return;
            watching = true;
            if (beforeClose)
                beforeClose();
            shown << (QStringList{dlg->m_strFolder} + dlg->m_lstPdfNames);
            dlg->OnCommand(IDCANCEL);
            watching = false;
        });
        finishWatch.start(5);
    }
    // A run ends; within the second a second run starts and holds, and ask opens
    // a question over the runs for longer than the first run's finish step waits.
    // Its finish dialog comes only once the question is answered (No).
    void ExpectFinishStepBehindQuestion(const std::function<void()>& ask)
    {
        List({QStringLiteral("Alpha.xlsx")});
        Click(1019);
        ASSERT_TRUE(WaitStatus(QStringLiteral("Complete!")));
        server->HoldAt(QStringLiteral("Beta.xlsx"), 1);
        AddFiles({MakeFile(QStringLiteral("in/Beta.xlsx"))});
        page->SetDlgItemText(1017, out.path());
        Click(1019);
        bool asking = false, shownWhileAsked = false;
        dialogtest::ActWhenModal<CFinishDlg>([&](CFinishDlg& dlg) {
            shownWhileAsked = asking;
            finishNames = dlg.m_lstPdfNames;
            dlg.OnCommand(IDCANCEL);
        });
        prompts.QueueMessageBoxAnswer([&](const QString&) {
            asking = true;
            QTest::qWait(1500);
            asking = false;
            return IDNO;
        });
        ask();
        EXPECT_FALSE(shownWhileAsked) << "the finish dialog showed over the question";
        ASSERT_TRUE(QTest::qWaitFor([&] { return !finishNames.isEmpty(); }, kWaitMs));
        EXPECT_EQ(QStringList{QStringLiteral("Alpha.pdf")}, finishNames);
        EXPECT_TRUE(page->IsConverting());

        finishNames.clear();
        ExpectFinishDialog();
        server->Release();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !finishNames.isEmpty(); }, kWaitMs));
        EXPECT_EQ(QStringList{QStringLiteral("Beta.pdf")}, finishNames);
    }

    QTemporaryDir scratch, out;
    std::unique_ptr<HoldingServer> server;
    QStringList finishNames, finishListed;
    QString finishFolder;
    QTimer finishWatch;
    bool watching = false;
    QList<QStringList> shown;
};

TEST_F(HeldPage, ConvertingLocksThePageAndTheEndOffersThePdfs)
{
    List({"Beta.xlsx", "alpha.xls"});
    server->HoldAt(QStringLiteral("Beta.xlsx"), 2);
    ConvertUntilHeld();

    EXPECT_TRUE(page->IsConverting());
    EXPECT_EQ(QStringLiteral("Stop"), Button(1019)->text());
    EXPECT_TRUE(Status().startsWith(QStringLiteral("Start to convert")));
    EXPECT_EQ(1, page->m_lbFiles.m_bDropLocked);
    for (int id : {1009, 1010, 1011, 1017, 1018})
        EXPECT_FALSE(Enabled(id)) << id;
    EXPECT_TRUE(Enabled(1019));
    EXPECT_TRUE(Enabled(1037));
    EXPECT_FALSE(page->m_dlgSecurity.isEnabled());
    EXPECT_FALSE(page->m_dlgDescription.isEnabled());
    EXPECT_FALSE(page->m_dlgAdvanced.isEnabled());
    Shot("page_converting");

    // The list commands answer that a conversion runs; a drop adds nothing.
    page->OnBtnAddFiles();
    page->OnBtnRemove();
    page->OnBtnRemoveAll();
    page->OnBtnBrowse();
    page->m_lbFiles.OnDropFiles({MakeFile("late.xls")});
    QTest::qWait(20);
    EXPECT_EQ(QStringList(5, kBusy), PlainTexts());
    EXPECT_EQ(2, page->m_lbFiles.GetCount());
    EXPECT_TRUE(dialogs.Calls().size() == 1) << "no file dialog while converting";

    ExpectFinishDialog();
    server->Release();
    ASSERT_TRUE(WaitStatus(QStringLiteral("Complete!")));
    Shot("page_finished");
    EXPECT_EQ(0, page->m_lbFiles.GetCount());
    EXPECT_EQ(100u, page->m_progress.GetPos());
    EXPECT_EQ(QStringLiteral("Convert"), Button(1019)->text());
    EXPECT_FALSE(Enabled(1019));
    EXPECT_TRUE(Enabled(1009));
    EXPECT_TRUE(page->m_dlgSecurity.isEnabled());
    EXPECT_FALSE(page->IsConverting());
    EXPECT_EQ(0, page->m_lbFiles.m_bDropLocked);

    ASSERT_TRUE(QTest::qWaitFor([&] { return !finishNames.isEmpty(); }, kWaitMs)) << "no finish dialog";
    EXPECT_EQ((QStringList{"alpha.pdf", "Beta.pdf"}), finishNames);
    EXPECT_EQ((QStringList{"alpha.pdf", "Beta.pdf"}), finishListed);
    EXPECT_EQ(out.path() + QLatin1Char('/'), finishFolder);
    ASSERT_TRUE(QTest::qWaitFor([&] { return page->m_progress.GetPos() == 0; }, kWaitMs));
    EXPECT_TRUE(page->m_dlgFinish.m_lstPdfNames.isEmpty()) << "closing the dialog empties the names";
    EXPECT_EQ((QStringList{"Beta.pdf", "alpha.pdf"}), FilesBelow(out.path()));
}

// No: the same run goes on from where it was; while the question is open it
// makes no progress.
TEST_F(HeldPage, StopAnsweredNoContinuesTheSameRun)
{
    List({"Alpha.xlsx", "Beta.xlsx"});
    server->HoldAt(QStringLiteral("Alpha.xlsx"), 2);
    ConvertUntilHeld();
    int printsWhileAsked = -1;
    QString lookWhileAsked;
    // The program's own box is shown and held open; No is clicked on it.
    prompts.QueueMessageBoxAnswer([&](const QString& text) {
        CMessageBox box;
        box.m_strText = text;
        box.m_nType = 68;
        return dialogtest::RunModal<CMessageBox>(box, [&](CMessageBox& shown) {
            lookWhileAsked = Button(1019)->text();
            Shot("page_paused");
            server->Release();
            QTest::qWait(700);
            printsWhileAsked = server->PrintOuts();
            QTest::mouseClick(&shown.m_btnNo, Qt::LeftButton);
        });
    });
    Click(1019);
    EXPECT_EQ(QStringLiteral("Convert"), lookWhileAsked);
    EXPECT_EQ(2, printsWhileAsked) << "the held sheet ends, the next one waits for the answer";
    EXPECT_EQ(QStringLiteral("Stop"), Button(1019)->text());
    EXPECT_TRUE(page->IsConverting());
    ASSERT_EQ(1, prompts.Questions().size());
    EXPECT_EQ(kStopQuestion, prompts.Questions().at(0).text);
    EXPECT_EQ(68, prompts.Questions().at(0).type);

    ExpectFinishDialog();
    ASSERT_TRUE(WaitStatus(QStringLiteral("Complete!")));
    EXPECT_EQ(6, server->PrintOuts());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !finishNames.isEmpty(); }, kWaitMs));
    EXPECT_EQ((QStringList{"Alpha.pdf", "Beta.pdf"}), finishNames);
}

// Yes: the page is idle at once; the run ends in the background and leaves
// nothing: no further print, no PDF, no run folder, no finish dialog.
TEST_F(HeldPage, StopAnsweredYesAbandonsTheRunAndLeavesNothing)
{
    List({"Alpha.xlsx", "Beta.xlsx"});
    server->HoldAt(QStringLiteral("Alpha.xlsx"), 2);
    ConvertUntilHeld();
    const QString runFolder = page->Worker()->RunFolderPath();
    ASSERT_TRUE(QFileInfo::exists(runFolder));
    prompts.QueueMessageBoxAnswer(IDYES);
    Click(1019);

    EXPECT_FALSE(page->IsConverting());
    EXPECT_EQ(QStringLiteral("Stoped"), Status());
    EXPECT_EQ(0, page->m_lbFiles.GetCount());
    EXPECT_EQ(0u, page->m_progress.GetPos());
    EXPECT_EQ(QStringLiteral("Convert"), Button(1019)->text());
    EXPECT_FALSE(Enabled(1019));
    EXPECT_TRUE(Enabled(1009));
    EXPECT_EQ(0, page->m_lbFiles.m_bDropLocked);
    EXPECT_EQ(nullptr, page->Worker());

    server->Release();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !QFileInfo::exists(runFolder); }, kWaitMs));
    QTest::qWait(1300); // the finish step would have come by now
    EXPECT_EQ(nullptr, CDialog::ActiveModal());
    EXPECT_TRUE(finishNames.isEmpty());
    EXPECT_EQ(2, server->PrintOuts()) << "nothing prints after the stop";
    EXPECT_EQ(QStringList(), FilesBelow(out.path())) << "no PDF, no partial file";
    EXPECT_EQ(QStringLiteral("Stoped"), Status()) << "the abandoned run never touches the page";
}

// A stop after one PDF, then a run that makes none: "Stoped" and no dialog
// with the first run's names.
TEST_F(HeldPage, AStoppedRunsNamesDoNotReachTheNextRun)
{
    List({"Alpha.xlsx", "Beta.xlsx"});
    server->HoldAt(QStringLiteral("Beta.xlsx"), 1);
    ConvertUntilHeld();
    prompts.QueueMessageBoxAnswer(IDYES);
    Click(1019);
    server->Release();

    QFile old(Pdf("Gamma"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.close();
    List({"Gamma.xlsx"});
    prompts.QueueMessageBoxAnswer(IDNO); // keep the existing PDF
    Click(1019);
    ASSERT_TRUE(page->IsConverting());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !page->IsConverting(); }, kWaitMs));
    EXPECT_EQ(QStringLiteral("Stoped"), Status());
    QTest::qWait(1300);
    EXPECT_EQ(nullptr, CDialog::ActiveModal());
    EXPECT_TRUE(finishNames.isEmpty());
    EXPECT_EQ(0u, page->m_progress.GetPos());
}

// A Convert while a stopped run is still ending waits for it: one office at a time.
TEST_F(HeldPage, AConvertAfterStopStartsOnceTheStoppedRunHasEnded)
{
    List({"Alpha.xlsx"});
    server->HoldAt(QStringLiteral("Alpha.xlsx"), 2);
    ConvertUntilHeld();
    prompts.QueueMessageBoxAnswer(IDYES);
    Click(1019);
    ASSERT_FALSE(page->IsConverting());

    List({"Gamma.xlsx"});
    Click(1019);
    EXPECT_TRUE(page->IsConverting());
    QTest::qWait(700);
    EXPECT_EQ(QStringList{QStringLiteral("Alpha.xlsx")}, server->Opened()) << "the new run started too early";

    ExpectFinishDialog();
    server->Release();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !finishNames.isEmpty(); }, kWaitMs));
    EXPECT_EQ((QStringList{"Alpha.xlsx", "Gamma.xlsx"}), server->Opened());
    EXPECT_EQ(QStringList{"Gamma.pdf"}, finishNames);
    EXPECT_EQ(QStringList{"Gamma.pdf"}, FilesBelow(out.path()));
}

// A Convert within the second after a run ended: the first run's finish step
// shows only its own PDFs and leaves the second run alone.
TEST_F(HeldPage, AConvertBeforeTheFinishStepKeepsTheRunsApart)
{
    List({"Alpha.xlsx"});
    Click(1019);
    ASSERT_TRUE(WaitStatus(QStringLiteral("Complete!")));
    QTemporaryDir secondOut;
    server->HoldAt(QStringLiteral("Beta.xlsx"), 1);
    AddFiles({MakeFile("in/Beta.xlsx")});
    page->SetDlgItemText(1017, secondOut.path());
    ExpectFinishDialog();
    Click(1019);
    ASSERT_TRUE(page->IsConverting());
    const QString secondFolder = page->Worker()->RunFolderPath();

    ASSERT_TRUE(QTest::qWaitFor([&] { return !finishNames.isEmpty(); }, kWaitMs));
    EXPECT_EQ(QStringList{"Alpha.pdf"}, finishNames);
    EXPECT_EQ(out.path() + QLatin1Char('/'), finishFolder);
    EXPECT_TRUE(QFileInfo::exists(secondFolder)) << "the second run's files must stay";
    EXPECT_TRUE(page->IsConverting());

    finishNames.clear();
    ExpectFinishDialog();
    server->Release();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !finishNames.isEmpty(); }, kWaitMs));
    EXPECT_EQ(QStringList{"Beta.pdf"}, finishNames);
    EXPECT_EQ(secondOut.path() + QLatin1Char('/'), finishFolder);
}

// Stop, Yes, Convert, then Stop, Yes again while the stopped run is still
// ending: the waiting run goes without starting, and both runs leave nothing.
TEST_F(HeldPage, AStopBeforeAStoppedRunHasEndedStopsTheWaitingRun)
{
    List({QStringLiteral("Alpha.xlsx")});
    server->HoldAt(QStringLiteral("Alpha.xlsx"), 2);
    ConvertUntilHeld();
    const QString stoppedFolder = page->Worker()->RunFolderPath();
    prompts.QueueMessageBoxAnswer(IDYES);
    Click(1019);
    List({QStringLiteral("Gamma.xlsx")});
    Click(1019);
    ASSERT_TRUE(page->IsConverting());
    WatchFinishDialogs();
    // The stopped run ends while the second Stop question is open.
    prompts.QueueMessageBoxAnswer([&](const QString&) {
        server->Release();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !QFileInfo::exists(stoppedFolder); }, kWaitMs));
        QTest::qWait(300);
        return IDYES;
    });
    Click(1019);
    EXPECT_FALSE(page->IsConverting());
    EXPECT_EQ(QStringLiteral("Stoped"), Status());
    EXPECT_EQ(nullptr, page->Worker());
    QTest::qWait(1300);
    EXPECT_EQ(QStringList{QStringLiteral("Alpha.xlsx")}, server->Opened()) << "the second run started";
    EXPECT_EQ(QStringList(), FilesBelow(out.path()));
    EXPECT_TRUE(shown.isEmpty()) << "a finish dialog showed";
}

// A second run ends, and its finish step comes due, while the first run's
// finish dialog is open: each run's dialog shows in turn, with its own folder.
TEST_F(HeldPage, RunsEndingUnderAFinishDialogShowTheirOwnInTurn)
{
    List({QStringLiteral("Alpha.xlsx")});
    Click(1019);
    ASSERT_TRUE(WaitStatus(QStringLiteral("Complete!")));
    QTemporaryDir secondOut;
    server->HoldAt(QStringLiteral("Beta.xlsx"), 1);
    AddFiles({MakeFile(QStringLiteral("in/Beta.xlsx"))});
    page->SetDlgItemText(1017, secondOut.path());
    WatchFinishDialogs([this] {
        if (!shown.isEmpty())
            return;
        server->Release();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !page->IsConverting(); }, kWaitMs));
        QTest::qWait(1300); // the second run's finish step is due
    });
    Click(1019);
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown.size() == 2; }, kWaitMs));
    EXPECT_EQ((QStringList{out.path() + QLatin1Char('/'), QStringLiteral("Alpha.pdf")}), shown.at(0));
    EXPECT_EQ((QStringList{secondOut.path() + QLatin1Char('/'), QStringLiteral("Beta.pdf")}), shown.at(1));
}

TEST_F(HeldPage, AFinishStepWaitsBehindTheStopQuestion)
{
    ExpectFinishStepBehindQuestion([this] { Click(1019); });
}

TEST_F(HeldPage, AFinishStepWaitsBehindTheCloseQuestion)
{
    ExpectFinishStepBehindQuestion(
        [this] { page->AskOverRuns(QStringLiteral(" Are you sure you want to stop the conversion? "), 68); });
}

// A replace question due while the Stop question is open waits for the answer.
TEST_F(HeldPage, AQuestionOfTheRunWaitsBehindTheStopQuestion)
{
    QFile old(Pdf("Beta"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();
    List({"Alpha.xlsx", "Beta.xlsx"});
    server->HoldAt(QStringLiteral("Alpha.xlsx"), 3);
    ConvertUntilHeld();
    int questionsWhileAsked = -1;
    prompts.QueueMessageBoxAnswer([&](const QString&) {
        server->Release();
        QTest::qWait(1000);
        questionsWhileAsked = prompts.Questions().size();
        return IDNO;
    });
    prompts.QueueMessageBoxAnswer(IDNO); // keep Beta's PDF
    Click(1019);
    EXPECT_EQ(1, questionsWhileAsked) << "only the Stop question may be open";
    ASSERT_TRUE(WaitStatus(QStringLiteral("Complete!")));
    ASSERT_EQ(2, prompts.Questions().size());
    EXPECT_EQ(Pdf("Beta") + " already exists. Do you want to replace it?", prompts.Questions().at(1).text);
}

// A question already on its way to the window when Stop is pressed is not
// shown over the Stop question: it comes after the answer.
TEST_F(HeldPage, AQuestionOnItsWayWhenStopIsPressedWaitsForTheAnswer)
{
    QFile old(Pdf("Beta"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.close();
    List({"Alpha.xlsx", "Beta.xlsx"});
    server->HoldAt(QStringLiteral("Alpha.xlsx"), 3);
    ConvertUntilHeld();
    // The window thread serves nothing while the run reaches Beta's question.
    server->Release();
    std::this_thread::sleep_for(2s);
    int questionsWhileAsked = -1;
    prompts.QueueMessageBoxAnswer([&](const QString&) {
        QTest::qWait(700);
        questionsWhileAsked = prompts.Questions().size();
        return IDNO;
    });
    prompts.QueueMessageBoxAnswer(IDYES); // replace Beta's PDF
    page->OnBtnConvert();
    EXPECT_EQ(1, questionsWhileAsked) << "the replace question showed over the Stop question";
    ASSERT_TRUE(WaitStatus(QStringLiteral("Complete!")));
    ASSERT_EQ(2, prompts.Questions().size());
    EXPECT_EQ(kStopQuestion, prompts.Questions().at(0).text);
    EXPECT_EQ(Pdf("Beta") + " already exists. Do you want to replace it?", prompts.Questions().at(1).text);
}

// The run ends while the Stop question is open: it ends as usual, whatever the answer.
TEST_F(HeldPage, ARunThatEndsUnderTheStopQuestionEndsAsUsual)
{
    List({"Alpha.xlsx"});
    // Held once every sheet is printed: only the PDF is left to finish.
    GhostscriptHold gs(GhostscriptHold::AfterPages);
    auto held = std::async(std::launch::async, [&gs] { return gs.WaitHeld(); });
    Click(1019);
    ASSERT_TRUE(QTest::qWaitFor([&] { return held.wait_for(0s) == std::future_status::ready; }, kWaitMs));
    ASSERT_TRUE(held.get()) << "the run never reached Ghostscript";
    bool endedWhileAsked = false;
    prompts.QueueMessageBoxAnswer([&](const QString&) {
        gs.Release();
        endedWhileAsked = QTest::qWaitFor([&] { return page->Worker() && page->Worker()->Ended(); }, kWaitMs);
        return IDYES;
    });
    ExpectFinishDialog();
    Click(1019);
    EXPECT_TRUE(endedWhileAsked);
    ASSERT_TRUE(WaitStatus(QStringLiteral("Complete!")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !finishNames.isEmpty(); }, kWaitMs));
    EXPECT_EQ(QStringList{"Alpha.pdf"}, finishNames);
}

// A workbook that could not be converted is told in one box before the finish
// dialog, which lists only the complete PDFs.
TEST_F(HeldPage, FailuresAreToldBeforeTheFinishDialog)
{
    // A Ghostscript that fails for Beta's PDF and is the real one otherwise.
    QTemporaryDir bin;
    QFile script(bin.filePath(QStringLiteral("gs")));
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    // Ghostscript takes its jobs line by line: the line naming Beta's PDF ends it with an error.
    script.write(QStringLiteral("#!/bin/sh\nfifo=\"$TMPDIR/in.$$\"\nmkfifo \"$fifo\"\nexec 3<&0\n"
                                "sed -u '/Beta/s/^/(Error: \\/ioerror in --showpage--) = quit /' <&3 >\"$fifo\" 2>/dev/null &\n"
                                "exec '%1' \"$@\" <\"$fifo\" 3<&-\n")
                     .arg(QStandardPaths::findExecutable(QStringLiteral("gs")))
                     .toUtf8());
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(bin.path()) + ':' + path);

    List({"Alpha.xlsx", "Beta.xlsx"});
    bool boxBeforeDialog = false;
    dialogtest::ActWhenModal<CFinishDlg>([&](CFinishDlg& dlg) {
        boxBeforeDialog = PlainTexts().size() == 1;
        finishNames = dlg.m_lstPdfNames;
        dlg.OnCommand(IDCANCEL);
    });
    Click(1019);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !finishNames.isEmpty(); }, kWaitMs));
    qputenv("PATH", path);

    EXPECT_EQ(QStringLiteral("Complete!"), Status());
    EXPECT_EQ(QStringList{"Alpha.pdf"}, finishNames);
    EXPECT_TRUE(boxBeforeDialog);
    ASSERT_EQ(1, PlainTexts().size());
    EXPECT_TRUE(PlainTexts().at(0).contains(QStringLiteral("Beta"))) << PlainTexts().at(0).toStdString();
    EXPECT_EQ(QStringList{"Alpha.pdf"}, FilesBelow(out.path()));
}

// A workbook that lost sheets is told in the failure box as incomplete.
TEST_F(HeldPage, AnIncompleteWorkbookIsToldAsSuch)
{
    List({"Alpha.xlsx"});
    server->FailAt(QStringLiteral("Alpha.xlsx"), 2);
    Click(1019);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !PlainTexts().isEmpty(); }, kWaitMs));
    EXPECT_TRUE(PlainTexts().at(0).contains(QStringLiteral("Alpha.xlsx: incomplete PDF: printing sheet 2 of 3 failed")))
        << PlainTexts().at(0).toStdString();
}

// Closing the program mid-run: the page's end stops the run and waits for it
// while serving events; nothing is left running or half-written.
TEST_F(HeldPage, DestroyingThePageStopsTheRunAndRemovesItsFolder)
{
    List({"Alpha.xlsx", "Beta.xlsx"});
    server->HoldAt(QStringLiteral("Alpha.xlsx"), 2);
    ConvertUntilHeld();
    const QString runFolder = page->Worker()->RunFolderPath();
    QTimer::singleShot(200, [this] { server->Release(); }); // the held sheet ends while the page waits
    page.reset();
    EXPECT_FALSE(QFileInfo::exists(runFolder));
    EXPECT_EQ(2, server->PrintOuts());
    EXPECT_EQ(QStringList(), FilesBelow(out.path()));
}

// A run that outlasts the stop's patience is left to end on its own: it keeps
// what it uses until then, and its run folder goes when it ends.
TEST_F(HeldPage, ARunLeftToEndOnItsOwnRemovesItsFolderWhenItEnds)
{
    List({QStringLiteral("Alpha.xlsx"), QStringLiteral("Beta.xlsx")});
    server->HoldAt(QStringLiteral("Alpha.xlsx"), 2);
    ConvertUntilHeld();
    const QString runFolder = page->Worker()->RunFolderPath();
    CConversionWorker::SetStopPatience(200);
    page.reset(); // the held print outlasts the patience
    CConversionWorker::SetStopPatience(60000);
    EXPECT_TRUE(QFileInfo::exists(runFolder)) << "the run was not left running";
    server->Release();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !QFileInfo::exists(runFolder); }, kWaitMs));
    EXPECT_EQ(2, server->PrintOuts());
    EXPECT_EQ(QStringList(), FilesBelow(out.path()));
}

} // namespace
