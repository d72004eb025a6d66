// The converter's main window, offscreen: its shape, place and title, the page
// on its placeholder, the header and caption buttons, F1, the window menu, the
// keys that must not close it, the settings window usable during its run, and
// every way of closing it, idle and while converting.
#include "app/AboutDlg.h"
#include "app/DialogDriver.h"
#include "app/ProductInfo.h"
#include "app/PromptSeam.h"
#include "app/shell/OrvikAllToPDFApp.h"
#include "app/shell/OrvikAllToPDFDlg.h"
#include "framework/FileDialogSeam.h"
#include "framework/MainWnd.h"
#include "platform/InstallationFolder.h"
#include "skin/TahomaFace.h"

#include <QAbstractButton>
#include <QContextMenuEvent>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QThreadPool>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <future>
#include <mutex>

namespace {

// Records what the window asked the desktop to open, and on which thread.
class OpenerLog {
public:
    CLinkOpener::DesktopOpener Opener()
    {
        return [this](const QString& target) {
            std::lock_guard lock(m_mutex);
            m_targets << target;
            m_onWindowThread = m_onWindowThread || QThread::currentThread() == qApp->thread();
            return CLinkOpener::kOpened;
        };
    }
    QStringList Targets()
    {
        std::lock_guard lock(m_mutex);
        return m_targets;
    }
    bool OnWindowThread()
    {
        std::lock_guard lock(m_mutex);
        return m_onWindowThread;
    }
    // Waits until `count` targets came in.
    bool WaitFor(int count)
    {
        return QTest::qWaitFor([&] { return Targets().size() >= count; }, 10000);
    }

private:
    std::mutex m_mutex;
    QStringList m_targets;
    bool m_onWindowThread = false;
};

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        static const bool faceInstalled = (InstallTahomaFace(), true);
        (void)faceInstalled;
        dlg = std::make_unique<COrvikAllToPDFDlg>();
        dlg->m_linkOpener.SetDesktopOpener(opener.Opener());
        AfxSetMainWnd(dlg.get());
    }
    void TearDown() override
    {
        dlg->m_dlgConvert.m_bConverting = 0; // a forced flag, no run behind it
        dlg.reset();
        AfxSetMainWnd(nullptr);
    }

    // Runs the window; `act` runs once it is up. A window the action leaves
    // open is ended with -99, so a test never hangs.
    int Run(const std::function<void()>& act)
    {
        QTimer::singleShot(0, [this, act] {
            EXPECT_TRUE(QTest::qWaitForWindowExposed(dlg.get()));
            act();
            if (dlg && dlg->isVisible()) // EndDialog hides it; the run then destroys it
                dlg->EndDialog(-99);
        });
        return dlg->RunModeless();
    }
    QStringList Asked() const
    {
        QStringList texts;
        for (const CPromptSeam::Question& q : prompts.Questions())
            texts << QString::number(q.type) + QLatin1Char(':') + q.text;
        return texts;
    }
    QWidget* Item(int id) const { return dlg->GetDlgItem(id); }
    QWidget* PageItem(int id) const { return dlg->m_dlgConvert.GetDlgItem(id); }
    void Click(int id) { qobject_cast<QAbstractButton*>(Item(id))->click(); }
    // Lists workbooks through the page's Add File(s).
    void ListWorkbooks(const QStringList& names)
    {
        QStringList paths;
        for (const QString& name : names) {
            QFile file(books.filePath(name));
            EXPECT_TRUE(file.open(QIODevice::WriteOnly));
            paths << file.fileName();
        }
        dialogs.QueueFiles(paths);
        dlg->m_dlgConvert.OnCommand(1009);
    }

    QTemporaryDir books;
    CPromptSeam prompts;
    FileDialogSeam dialogs;
    OpenerLog opener;
    std::unique_ptr<COrvikAllToPDFDlg> dlg;
};

const QString kHelp = QStringLiteral("Orvik Excel To PDF - Help.html");
const QString kBusy = QStringLiteral("0:Conversion is in progress, please wait for a moment.");
const QString kStopQuestion = QStringLiteral("68: Are you sure you want to stop the conversion? ");

} // namespace

TEST_F(MainWindow, ShapePlaceTitleAndPage)
{
    Run([&] {
        EXPECT_EQ(dlg->size(), QSize(700, 522));
        EXPECT_FALSE(dlg->mask().isEmpty());
        EXPECT_LT(dlg->mask().boundingRect().width() * dlg->mask().boundingRect().height(), 700 * 522 + 1);
        EXPECT_EQ(dlg->pos(), QGuiApplication::primaryScreen()->availableGeometry().topLeft());
        EXPECT_EQ(dlg->windowTitle(), "Orvik Excel To PDF");
        EXPECT_EQ(dlg->m_stTitle.text(), "Orvik Excel To PDF");
        EXPECT_TRUE(dlg->m_stTitle.m_bDragWindow);
        EXPECT_FALSE(dlg->windowIcon().isNull());
        EXPECT_EQ(dlg->windowType(), Qt::Window) << "the main window has a taskbar entry";
        EXPECT_EQ(dlg->windowModality(), Qt::NonModal);
        EXPECT_EQ(CDialog::ActiveModal(), nullptr);
        EXPECT_EQ(dlg->m_skin.ActiveFeatures(), CSkinFrame::kDraggableWindow);
        for (CHoverButton* button : {&dlg->m_btnHelp, &dlg->m_btnAbout, &dlg->m_btnWebsite, &dlg->m_btnMinimize,
                                     &dlg->m_btnClose})
            EXPECT_TRUE(button->HasImage());
        ASSERT_TRUE(dlg->m_dlgConvert.IsCreated());
        EXPECT_EQ(dlg->m_dlgConvert.parentWidget(), dlg.get());
        EXPECT_EQ(dlg->m_dlgConvert.geometry(), Item(1001)->geometry());
        EXPECT_TRUE(dlg->m_dlgConvert.isVisible());
        EXPECT_FALSE(Item(1001)->isVisible());
        EXPECT_TRUE(dlg->m_dlgConvert.m_dlgSetting.IsCreated()) << "the settings window exists, hidden";
        EXPECT_FALSE(dlg->m_dlgConvert.m_dlgSetting.isVisible());

        // The help and the README show this picture: a user's workbooks, dropped
        // on the list (a drop takes paths as they come, so none need exist here).
        const QString folder = QStringLiteral("/home/dana/Documents/Reports/");
        QStringList reports;
        for (const char* name : {"Quarterly sales 2026.xlsx", "Budget 2026.xlsx", "Inventory March.xls",
                                 "Staff rota Q2.xlsx", "Travel expenses.xlsx"})
            reports << folder + QString::fromUtf8(name);
        dlg->m_dlgConvert.m_lbFiles.OnDropFiles(reports);
        EXPECT_TRUE(QTest::qWaitFor([&] { return PageItem(1019)->isEnabled(); }, 5000)) << "the page took the drop";
        dlg->m_dlgConvert.m_lbFiles.setCurrentRow(2);
        dialogtest::Screenshot(*dlg, "main-window");
    });
}

TEST_F(MainWindow, HeaderButtonsOpenHelpWebsiteAboutAndMinimise)
{
    bool aboutShown = false;
    Run([&] {
        Click(1022);
        ASSERT_TRUE(opener.WaitFor(1));
        EXPECT_EQ(opener.Targets().at(0), InstallationFolder() + "/" + kHelp);
        EXPECT_EQ(COrvikAllToPDFDlg::HelpFilePath(), InstallationFolder() + "/" + kHelp);
        Click(1025);
        ASSERT_TRUE(opener.WaitFor(2));
        EXPECT_EQ(opener.Targets().at(1), QString::fromLatin1(ProductInfo::kWebAddress));
        EXPECT_FALSE(opener.OnWindowThread()) << "the desktop opener ran on the window thread";

        dialogtest::ActWhenModal<CAboutDlg>([&](CAboutDlg& about) {
            aboutShown = about.isVisible();
            about.OnCommand(IDOK);
        });
        Click(1023);
        EXPECT_TRUE(dlg->isVisible());

        Click(1036);
        EXPECT_TRUE(dlg->isMinimized());
        EXPECT_TRUE(dlg->isVisible());
    });
    EXPECT_TRUE(aboutShown);
    EXPECT_TRUE(Asked().isEmpty());
}

// The opener may wait seconds for the desktop; the window keeps serving meanwhile.
TEST_F(MainWindow, ASlowOpenerDoesNotHoldTheWindow)
{
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::atomic<bool> entered{false};
    std::atomic<bool> timedOut{false};
    dlg->m_linkOpener.SetDesktopOpener([&, released](const QString&) {
        entered = true;
        timedOut = released.wait_for(std::chrono::seconds(20)) != std::future_status::ready;
        return CLinkOpener::kOpened;
    });
    Run([&] {
        Click(1022);
        bool served = false;
        QTimer::singleShot(0, [&] { served = true; });
        EXPECT_TRUE(QTest::qWaitFor([&] { return served && entered; }, 10000));
        release.set_value();
    });
    QThreadPool::globalInstance()->waitForDone();
    EXPECT_FALSE(timedOut) << "the help was opened on the window thread";
}

TEST_F(MainWindow, F1OpensTheHelpFromTheMainAndTheSettingsWindow)
{
    Run([&] {
        dlg->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dlg.get()));
        QTest::keyClick(PageItem(1017), Qt::Key_F1);
        ASSERT_TRUE(opener.WaitFor(1));

        CSettingDlg& settings = dlg->m_dlgConvert.m_dlgSetting;
        settings.ShowWindow(SW_SHOW);
        settings.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&settings));
        QTest::keyClick(settings.GetDlgItem(1047), Qt::Key_F1);
        ASSERT_TRUE(opener.WaitFor(2));
        settings.ShowWindow(SW_HIDE);
    });
    for (const QString& target : opener.Targets())
        EXPECT_TRUE(target.endsWith("/" + kHelp)) << target.toStdString();
}

namespace {
QStringList MenuTexts(const QMenu* menu)
{
    QStringList texts;
    for (const QAction* action : menu->actions())
        texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return texts;
}

QAction* MenuItem(const QMenu* menu, const QString& text)
{
    for (QAction* action : menu->actions())
        if (action->text() == text)
            return action;
    return nullptr;
}

void RightClick(QWidget* widget, const QPoint& pos)
{
    QContextMenuEvent event(QContextMenuEvent::Mouse, pos, widget->mapToGlobal(pos));
    QApplication::sendEvent(widget, &event);
}
} // namespace

TEST_F(MainWindow, WindowMenuOnAltSpaceAndARightClickInTheTopBand)
{
    int abouts = 0;
    const int result = Run([&] {
        QMenu* menu = dlg->SystemMenu();
        ASSERT_NE(menu, nullptr);
        EXPECT_EQ(MenuTexts(menu),
                  QStringList({"Minimize", "Close\tAlt+F4", "-", "About Orvik Excel To PDF"}));

        dlg->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dlg.get()));
        QTest::keyClick(PageItem(1008), Qt::Key_Space, Qt::AltModifier);
        ASSERT_TRUE(QTest::qWaitFor([&] { return menu->isVisible(); }, 5000)) << "Alt+Space";
        // The window with its menu open, as one picture.
        QImage shot = dlg->grab().toImage();
        {
            QPainter painter(&shot);
            painter.drawPixmap(dlg->mapFromGlobal(menu->pos()), menu->grab());
        }
        QDir().mkpath(ORVIK_BINARY_DIR "/screenshots");
        EXPECT_TRUE(shot.save(ORVIK_BINARY_DIR "/screenshots/main-window-menu.png"));
        menu->hide();

        RightClick(&dlg->m_dlgConvert, QPoint(40, 40));
        EXPECT_FALSE(menu->isVisible()) << "a right click on the page";
        RightClick(&dlg->m_stTitle, QPoint(10, 5));
        EXPECT_TRUE(menu->isVisible()) << "a right click on the title line";
        menu->hide();
        RightClick(dlg.get(), QPoint(600, 10));
        EXPECT_TRUE(menu->isVisible()) << "a right click in the top band";
        menu->hide();
        RightClick(dlg.get(), QPoint(600, CSkinFrame::kDragBandHeight + 2));
        EXPECT_FALSE(menu->isVisible()) << "a right click below the band";

        dialogtest::ActWhenModal<CAboutDlg>([&](CAboutDlg& about) {
            ++abouts;
            about.OnCommand(IDOK);
        });
        MenuItem(menu, "About Orvik Excel To PDF")->trigger();
        dialogtest::ActWhenModal<CAboutDlg>([&](CAboutDlg& about) {
            ++abouts;
            about.OnCommand(IDOK);
        });
        dlg->OnSysCommand(COrvikAllToPDFDlg::IDM_ABOUTBOX | 0x3); // the low bits are the menu's own
        MenuItem(menu, "Minimize")->trigger();
        EXPECT_TRUE(dlg->isMinimized());
        EXPECT_TRUE(dlg->isVisible());
        MenuItem(menu, "Close\tAlt+F4")->trigger();
        EXPECT_FALSE(dlg->isVisible()) << "menu Close, idle";
    });
    EXPECT_EQ(abouts, 2);
    EXPECT_EQ(result, IDCANCEL);
}

TEST_F(MainWindow, EnterAndEscapeCloseNothing)
{
    Run([&] {
        ListWorkbooks({"Book.xlsx"});
        auto* output = qobject_cast<QLineEdit*>(PageItem(1017));
        output->setText("/tmp/");
        for (QWidget* target : {Item(1022), Item(1033), PageItem(1008), PageItem(1017), PageItem(1023)})
            for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape})
                QTest::keyClick(target, key);
        EXPECT_TRUE(dlg->isVisible());
        EXPECT_TRUE(dlg->isVisible());
        EXPECT_EQ(output->text(), "/tmp/");
        EXPECT_EQ(dlg->m_dlgConvert.m_lbFiles.GetCount(), 1);
    });
    EXPECT_TRUE(Asked().isEmpty()) << Asked().join(" | ").toStdString();
    EXPECT_TRUE(prompts.PlainQuestions().isEmpty());
}

// The settings window has no owner: the main window's run leaves it usable.
TEST_F(MainWindow, TheSettingsWindowTakesClicksDuringTheRun)
{
    Run([&] {
        CSettingDlg& settings = dlg->m_dlgConvert.m_dlgSetting;
        settings.ShowWindow(SW_SHOW);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&settings));
        QWidget* ok = settings.GetDlgItem(1047);
        QTest::mouseClick(settings.windowHandle(), Qt::LeftButton, {}, ok->mapTo(&settings, ok->rect().center()));
        EXPECT_TRUE(QTest::qWaitFor([&] { return !settings.isVisible(); }, 5000)) << "OK did not reach it";
        EXPECT_TRUE(dlg->isVisible());
    });
}

TEST_F(MainWindow, IdleEveryCloseEndsTheRun)
{
    const std::vector<std::pair<const char*, std::function<void()>>> closes = {
        {"close button", [&] { Click(1033); }},
        {"Alt+F4", [&] { QTest::keyClick(PageItem(1008), Qt::Key_F4, Qt::AltModifier); }},
        {"the desktop's close", [&] { dlg->close(); }},
        {"menu Close", [&] { dlg->OnSysCommand(SC_CLOSE); }},
    };
    for (const auto& [name, close] : closes) {
        SCOPED_TRACE(name);
        dlg = std::make_unique<COrvikAllToPDFDlg>();
        AfxSetMainWnd(dlg.get());
        EXPECT_EQ(Run([&] {
                      dlg->activateWindow();
                      ASSERT_TRUE(QTest::qWaitForWindowActive(dlg.get()));
                      close();
                  }),
                  IDCANCEL);
        EXPECT_FALSE(dlg->isVisible());
    }
    EXPECT_TRUE(Asked().isEmpty()) << Asked().join(" | ").toStdString();
}

TEST_F(MainWindow, ConvertingTheCloseButtonWarnsAndAltF4Asks)
{
    const int result = Run([&] {
        dlg->m_dlgConvert.m_bConverting = 1;
        Click(1033);
        EXPECT_TRUE(dlg->isVisible()) << "the close button during a conversion";
        EXPECT_EQ(Asked(), QStringList{kBusy});

        dlg->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dlg.get()));
        prompts.QueueMessageBoxAnswer(IDNO);
        QTest::keyClick(PageItem(1008), Qt::Key_F4, Qt::AltModifier);
        EXPECT_TRUE(dlg->isVisible()) << "No";
        prompts.QueueMessageBoxAnswer(IDCLOSE);
        dlg->close();
        EXPECT_TRUE(dlg->isVisible()) << "the question's close button";
        EXPECT_EQ(Asked(), QStringList({kBusy, kStopQuestion, kStopQuestion}));

        dlg->OnSysCommand(SC_MINIMIZE);
        EXPECT_EQ(Asked().size(), 3) << "only a close asks";
        prompts.QueueMessageBoxAnswer(IDYES);
        dlg->OnSysCommand(SC_CLOSE);
        EXPECT_FALSE(dlg->isVisible()) << "Yes";
    });
    EXPECT_EQ(Asked().size(), 4);
    EXPECT_EQ(result, IDCANCEL);
}

// The program's run: the window is the main window while it runs and is gone,
// page and all, when the run returns.
TEST(MainWindowRun, TheProgramEndsWithTheMainWindow)
{
    QPointer<QWidget> main;
    QPointer<QWidget> page;
    QTimer::singleShot(0, [&] {
        main = AfxGetMainWnd();
        ASSERT_TRUE(main);
        page = static_cast<COrvikAllToPDFDlg*>(main.data())->m_dlgConvert.GetDlgItem(1008);
        static_cast<CDialog*>(main.data())->OnCommand(1033);
    });
    EXPECT_EQ(COrvikAllToPDFApp::RunMainWindow(), 0);
    EXPECT_FALSE(main) << "the main window outlived its run";
    EXPECT_FALSE(page);
    EXPECT_EQ(AfxGetMainWnd(), nullptr);
}
