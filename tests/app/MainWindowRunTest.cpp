// Closing the main window around a real conversion (a spreadsheet server that
// holds a sheet's printing, the real Ghostscript): Alt+F4 with Yes ends the
// program only after the run has ended and cleaned up, No lets the run go on,
// and a close just after a run, before its finish step, leaves no run folder.
#include "app/DialogDriver.h"
#include "app/PromptSeam.h"
#include "app/shell/OrvikAllToPDFDlg.h"
#include "convert_page/ConversionWorker.h"
#include "engine/RunTestSupport.h"
#include "framework/FileDialogSeam.h"
#include "framework/MainWnd.h"
#include "skin/TahomaFace.h"
#include "support/RealTools.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <atomic>
#include <future>
#include <thread>

#include <gtest/gtest.h>

using namespace runtest;

namespace {
constexpr int kWaitMs = 120000;
const QString kStopQuestion = QStringLiteral(" Are you sure you want to stop the conversion? ");

class HeldMainWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ORVIK_REQUIRE_TOOL(testsupport::HaveProgram("gs"), "Ghostscript (gs)");
        ORVIK_REQUIRE_TOOL(QueueReady(), "CUPS with the printer queue OrvikExcelToPDF");
        static const bool faceInstalled = (InstallTahomaFace(), true);
        (void)faceInstalled;
        server = std::make_unique<HoldingServer>(OnePagePdf(scratch.path()));
        server->Register();
        ConversionRun::SetDefaultLanes(1); // the exact calls of one lane
        dlg = std::make_unique<COrvikAllToPDFDlg>();
        AfxSetMainWnd(dlg.get());
    }
    void TearDown() override
    {
        if (server)
            server->Release();
        dlg.reset();
        AfxSetMainWnd(nullptr);
        HoldingServer::Unregister();
        ConversionRun::SetDefaultLanes(0);
    }

    CConvertDlg& Page() { return dlg->m_dlgConvert; }
    // Lists the workbooks, sets the output folder and converts until the held sheet prints.
    void ConvertUntilHeld(const QStringList& names, const QString& holdBook, int sheet)
    {
        QStringList paths;
        QDir().mkpath(in.path());
        for (const QString& name : names) {
            QFile file(in.filePath(name));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            paths << file.fileName();
        }
        dialogs.QueueFiles(paths);
        Page().OnCommand(1009);
        Page().SetDlgItemText(1017, out.path());
        if (!holdBook.isEmpty())
            server->HoldAt(holdBook, sheet);
        auto held = std::async(std::launch::async, [this] { return server->WaitHeld(); });
        Page().OnCommand(1019);
        ASSERT_TRUE(Page().IsConverting());
        ASSERT_TRUE(QTest::qWaitFor([&] { return held.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
                                    kWaitMs));
        ASSERT_TRUE(held.get());
        runFolder = Page().Worker()->RunFolderPath();
        ASSERT_TRUE(QFileInfo::exists(runFolder));
    }
    QStringList SkinnedTexts() const
    {
        QStringList texts;
        for (const CPromptSeam::Question& q : prompts.Questions())
            texts << q.text;
        return texts;
    }
    void AltF4()
    {
        dlg->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dlg.get()));
        QTest::keyClick(Page().GetDlgItem(1008), Qt::Key_F4, Qt::AltModifier);
    }

    QTemporaryDir scratch, in, out;
    CPromptSeam prompts;
    FileDialogSeam dialogs;
    std::unique_ptr<HoldingServer> server;
    std::unique_ptr<COrvikAllToPDFDlg> dlg;
    QString runFolder;
};
} // namespace

// Yes ends the window's run at once; the window's teardown then stops the
// conversion and waits for it while serving events (the held print is
// released by a timer during that wait), and leaves nothing behind.
TEST_F(HeldMainWindow, AltF4YesDuringAConversionEndsAfterTheRunAndLeavesNothing)
{
    int result = 0;
    QTimer::singleShot(0, [&] {
        ConvertUntilHeld({"Alpha.xlsx", "Beta.xlsx"}, "Alpha.xlsx", 2);
        prompts.QueueMessageBoxAnswer(IDYES);
        AltF4();
    });
    result = dlg->RunModeless();
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(SkinnedTexts(), QStringList{kStopQuestion});

    // A watchdog, so a teardown that blocks the window thread fails instead of hanging.
    std::atomic<bool> done{false};
    std::atomic<bool> rescued{false};
    std::thread watchdog([&] {
        for (int i = 0; i < kWaitMs / 100 && !done; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        if (!done) {
            rescued = true;
            server->Release();
        }
    });
    QTimer::singleShot(200, [&] { server->Release(); }); // fires only while events are served
    dlg.reset();
    done = true;
    watchdog.join();
    EXPECT_FALSE(rescued) << "the teardown did not serve events while it waited";
    EXPECT_FALSE(QFileInfo::exists(runFolder)) << "the run folder stayed";
    EXPECT_EQ(QDir(out.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList())
        << "a PDF or a partial file in the output folder";
    EXPECT_LE(server->PrintOuts(), 2) << "the run went on printing after the stop";
    EXPECT_EQ(SkinnedTexts(), QStringList{kStopQuestion}) << "no question after the stop";
    EXPECT_EQ(CDialog::ActiveModal(), nullptr);
}

TEST_F(HeldMainWindow, AltF4NoLetsTheRunGoOn)
{
    QStringList finished;
    QTimer::singleShot(0, [&] {
        ConvertUntilHeld({"Alpha.xlsx"}, "Alpha.xlsx", 2);
        prompts.QueueMessageBoxAnswer(IDNO);
        AltF4();
        EXPECT_TRUE(dlg->isVisible());
        EXPECT_TRUE(Page().IsConverting());
        dialogtest::ActWhenModal<CFinishDlg>([&](CFinishDlg& finish) {
            finished = finish.m_lstPdfNames;
            finish.OnCommand(IDCANCEL);
        });
        server->Release();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !finished.isEmpty(); }, kWaitMs));
        dlg->OnCommand(1033);
    });
    EXPECT_EQ(dlg->RunModeless(), IDCANCEL);
    EXPECT_EQ(finished, QStringList{"Alpha.pdf"});
    EXPECT_TRUE(QFileInfo::exists(out.filePath("Alpha.pdf")));
    EXPECT_FALSE(QFileInfo::exists(runFolder));
}

// The print files go in the finish step, a second after the run; a close in
// that second must not leave them.
TEST_F(HeldMainWindow, ACloseBeforeTheFinishStepLeavesNoRunFolder)
{
    QTimer::singleShot(0, [&] {
        ConvertUntilHeld({"Alpha.xlsx"}, "Alpha.xlsx", 3);
        server->Release();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !Page().IsConverting(); }, kWaitMs));
        EXPECT_EQ(CDialog::ActiveModal(), nullptr) << "the finish step came before the close";
        dlg->OnSysCommand(SC_CLOSE);
    });
    EXPECT_EQ(dlg->RunModeless(), IDCANCEL);
    dlg.reset();
    EXPECT_FALSE(QFileInfo::exists(runFolder));
    EXPECT_TRUE(prompts.Questions().isEmpty());
}
