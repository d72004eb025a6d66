// Behaviour of dialogs: commands by id, modal runs and their end codes, the dialog
// keys and the windows that refuse them, ownership and centring, timers, posted
// messages and calls from another thread.
#include "framework/CDialog.h"
#include "framework/MainWnd.h"
#include "framework/UiThread.h"
#include "framework/WindowOps.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <map>
#include <thread>

namespace {
bool WaitUntil(const std::function<bool()>& done)
{
    for (int i = 0; i < 2000 && !done(); ++i)
        QTest::qWait(5);
    return done();
}

// Acts on the dialog that is running modally, once it runs.
void WhenModal(std::function<void(CDialog&)> action)
{
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [poll, action] {
        if (CDialog* dlg = CDialog::ActiveModal()) {
            poll->stop();
            poll->deleteLater();
            action(*dlg);
        }
    });
    poll->start(1);
}

void Press(QWidget* target, Qt::Key key) { QTest::keyClick(target, key); }

bool IsDialogKey(const QKeyEvent* key)
{
    return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || key->key() == Qt::Key_Escape;
}

class MessageBoxLike : public CDialog {
public:
    explicit MessageBoxLike(QWidget* owner = nullptr) : CDialog(184, owner)
    {
        ON_COMMAND(1049, [this] { EndDialog(IDNO); });
        ON_COMMAND(1033, [this] { EndDialog(IDCLOSE); });
    }
    bool showNo = false;
    bool toolWindow = false;
    int endInInit = 0;

protected:
    bool OnInitDialog() override
    {
        CDialog::OnInitDialog();
        if (showNo)
            ShowDlgItem(1049, SW_SHOW);
        if (toolWindow)
            SetToolWindow(true);
        if (endInInit)
            EndDialog(endInInit);
        return true;
    }
};

class FinishLike : public CDialog {
public:
    FinishLike() : CDialog(136) { ON_COMMAND(1026, [this] { EndDialog(1026); }); }
};

// A window that never closes on Enter or Escape.
class KeyFilteringDialog : public CDialog {
public:
    using CDialog::CDialog;
    int oks = 0;
    int cancels = 0;
    bool PreTranslateMessage(QWidget* target, QKeyEvent* key) override
    {
        if (IsDialogKey(key))
            return false;
        return CDialog::PreTranslateMessage(target, key);
    }

protected:
    void OnOK() override { ++oks; }
    void OnCancel() override { ++cancels; }
};

class MainLike : public KeyFilteringDialog {
public:
    MainLike() : KeyFilteringDialog(102) {}
    KeyFilteringDialog page{130};

protected:
    bool OnInitDialog() override
    {
        KeyFilteringDialog::OnInitDialog();
        page.Create(130, this);
        page.PlaceOver(GetDlgItem(1001));
        page.ShowWindow(SW_SHOW);
        return true;
    }
};

// An option page swallows commands 1 and 2.
class OptionPage : public CDialog {
public:
    OptionPage() : CDialog(135)
    {
        ON_COMMAND(IDOK, [this] { ++swallowed; });
        ON_COMMAND(IDCANCEL, [this] { ++swallowed; });
    }
    int swallowed = 0;
};

class SettingsLike : public CDialog {
public:
    SettingsLike() : CDialog(162) {}
    OptionPage page;

protected:
    bool OnInitDialog() override
    {
        CDialog::OnInitDialog();
        SetToolWindow(true);
        page.Create(135, this);
        page.PlaceOver(GetDlgItem(1038));
        page.ShowWindow(SW_SHOW);
        return true;
    }
};
} // namespace

TEST(DialogCommands, ClicksReachTheHandlerOfTheirId)
{
    class Page : public CDialog {
    public:
        Page() : CDialog(130)
        {
            ON_COMMAND(1009, &Page::OnAdd);
            ON_CONTROL(LBN_SELCHANGE, 1008, &Page::OnSelect);
        }
        int adds = 0;
        int selections = 0;
        void OnAdd() { ++adds; }
        void OnSelect() { ++selections; }
    };
    QWidget host;
    Page page;
    ASSERT_TRUE(page.Create(130, &host));
    page.GetDlgItem<QPushButton>(1009)->click();
    EXPECT_EQ(page.adds, 1);
    EXPECT_EQ(page.selections, 0);
    auto* list = page.GetDlgItem<QListWidget>(1008);
    list->addItem("/a.xls");
    list->item(0)->setSelected(true);
    EXPECT_EQ(page.selections, 1);
    EXPECT_TRUE(page.OnCommand(1009));
    EXPECT_EQ(page.adds, 2);
    EXPECT_FALSE(page.OnCommand(1010)); // nothing mapped
    page.GetDlgItem<QPushButton>(1010)->click();
    EXPECT_EQ(page.adds, 2);
}

TEST(DialogCreation, RefusesWhatCannotBeBuilt)
{
    CDialog unknown(4711);
    EXPECT_EQ(unknown.DoModal(), -1);
    EXPECT_FALSE(unknown.Create(4711));
    CDialog child(130);
    EXPECT_FALSE(child.Create(130)); // a child needs a parent
    EXPECT_EQ(child.GetDlgItem(1009), nullptr);
    CDialog box(184);
    EXPECT_TRUE(box.Create(184));
    EXPECT_FALSE(box.Create(184));
    EXPECT_EQ(box.DoModal(), -1); // already a modeless window
}

TEST(DialogModal, EndCodesOfButtonsAndKeys)
{
    {
        MessageBoxLike box;
        WhenModal([](CDialog& d) { d.GetDlgItem<QPushButton>(1)->click(); });
        EXPECT_EQ(box.DoModal(), IDOK);
    }
    {
        MessageBoxLike box;
        WhenModal([](CDialog& d) { Press(d.GetDlgItem(1033), Qt::Key_Escape); });
        EXPECT_EQ(box.DoModal(), IDCANCEL);
    }
    {
        MessageBoxLike box;
        WhenModal([](CDialog& d) { Press(d.GetDlgItem(1041), Qt::Key_Return); });
        EXPECT_EQ(box.DoModal(), IDOK); // the default button
    }
    {
        MessageBoxLike box;
        WhenModal([](CDialog& d) { d.GetDlgItem<QPushButton>(1033)->click(); });
        EXPECT_EQ(box.DoModal(), IDCLOSE);
    }
    {
        MessageBoxLike box;
        box.showNo = true;
        WhenModal([](CDialog& d) { Press(d.GetDlgItem(1049), Qt::Key_Enter); }); // a focused button is pressed
        EXPECT_EQ(box.DoModal(), IDNO);
    }
    {
        MessageBoxLike box;
        WhenModal([](CDialog& d) { d.close(); });
        EXPECT_EQ(box.DoModal(), IDCANCEL);
    }
}

TEST(DialogModal, EnterPressesTheTemplatesDefaultButton)
{
    FinishLike finish;
    WhenModal([](CDialog& d) { Press(d.GetDlgItem(1024), Qt::Key_Return); });
    EXPECT_EQ(finish.DoModal(), 1026);
}

TEST(DialogModal, EndedDuringInitialisationNeverRuns)
{
    MessageBoxLike box;
    box.endInInit = 42;
    EXPECT_EQ(box.DoModal(), 42);
    EXPECT_FALSE(box.IsCreated());
    EXPECT_FALSE(box.isVisible());
}

TEST(DialogModal, AWindowCanRunAgainAfterItsRun)
{
    MessageBoxLike box;
    for (int run = 0; run < 2; ++run) {
        WhenModal([](CDialog& d) {
            EXPECT_EQ(d.GetDlgItemText(1041), "Static"); // a fresh window each run
            d.SetDlgItemText(1041, "changed");
            d.GetDlgItem<QPushButton>(1)->click();
        });
        EXPECT_EQ(box.DoModal(), IDOK);
    }
}

TEST(DialogModal, OwnedByTheMainWindowAndCentredOverIt)
{
    QWidget owner;
    owner.setGeometry(120, 80, 560, 420);
    owner.show();
    AfxSetMainWnd(&owner);
    MessageBoxLike box;
    box.toolWindow = true; // turned into a tool window during its initialisation, still modal
    QPoint centre;
    bool modal = false;
    WhenModal([&](CDialog& d) {
        centre = d.geometry().center();
        modal = QApplication::activeModalWidget() == &d && d.windowModality() == Qt::ApplicationModal &&
                d.windowType() == Qt::Tool;
        d.GetDlgItem<QPushButton>(1)->click();
    });
    EXPECT_EQ(box.DoModal(), IDOK);
    AfxSetMainWnd(nullptr);
    EXPECT_TRUE(modal);
    EXPECT_LE((centre - owner.frameGeometry().center()).manhattanLength(), 2);
}

TEST(DialogModal, CentredOnTheWorkAreaWhenTheOwnerIsHidden)
{
    QWidget owner;
    owner.setGeometry(0, 0, 100, 100);
    MessageBoxLike box(&owner);
    QPoint centre;
    WhenModal([&](CDialog& d) {
        centre = d.geometry().center();
        d.EndDialog(IDOK);
    });
    EXPECT_EQ(box.DoModal(), IDOK);
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE((centre - area.center()).manhattanLength(), 2);
}

TEST(DialogKeys, MainWindowAndPageIgnoreEnterAndEscape)
{
    MainLike main;
    ASSERT_TRUE(main.Create(102));
    EXPECT_TRUE(main.isVisible()); // visible by its template, left at the top-left corner
    EXPECT_EQ(main.pos(), QPoint(0, 0));
    EXPECT_EQ(main.page.geometry(), main.GetDlgItem(1001)->geometry());
    auto* output = main.page.GetDlgItem<QLineEdit>(1017);
    output->setText("/tmp/");
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
        Press(output, key);
        Press(main.GetDlgItem(1022), key);
        Press(main.page.GetDlgItem(1019), key);
    }
    EXPECT_EQ(main.oks + main.cancels + main.page.oks + main.page.cancels, 0);
    EXPECT_TRUE(main.isVisible());
    EXPECT_TRUE(main.page.isVisible());
    EXPECT_EQ(output->text(), "/tmp/");
}

// The main window runs like a modal dialog (its run is the program's run) but
// leaves the owner-less settings window usable; a modal run would block it.
TEST(DialogModal, ARunWithoutModalityLeavesOtherWindowsUsable)
{
    SettingsLike settings;
    ASSERT_TRUE(settings.Create(162));
    int tabClicks = 0;
    QObject::connect(settings.GetDlgItem<QPushButton>(1044), &QPushButton::clicked, [&] { ++tabClicks; });
    settings.ShowWindow(SW_SHOW);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&settings));

    for (const bool modal : {false, true}) {
        MainLike main;
        const int before = tabClicks;
        bool listed = true;
        QTimer::singleShot(0, [&] {
            listed = CDialog::ActiveModal() == &main;
            EXPECT_TRUE(main.isVisible());
            EXPECT_EQ(main.pos(), QPoint(0, 0));
            // Through the window, as the platform delivers input (modality applies there).
            QWidget* tab = settings.GetDlgItem(1044);
            QTest::mouseClick(settings.windowHandle(), Qt::LeftButton, {}, tab->mapTo(&settings, tab->rect().center()));
            main.EndDialog(modal ? 5 : 4);
        });
        EXPECT_EQ(modal ? main.DoModal() : main.RunModeless(), modal ? 5 : 4);
        EXPECT_FALSE(main.IsCreated());
        if (modal) {
            EXPECT_EQ(tabClicks, before) << "a modal run let the settings window take a click";
            EXPECT_TRUE(listed);
        } else {
            EXPECT_EQ(tabClicks, before + 1) << "the settings window took no click during the run";
            EXPECT_FALSE(listed) << "a run without modality is not a modal run";
            EXPECT_EQ(main.windowModality(), Qt::NonModal);
        }
    }
}

TEST(DialogKeys, OptionPagesSwallowTheKeysInsideTheSettingsWindow)
{
    SettingsLike settings;
    ASSERT_TRUE(settings.Create(162));
    EXPECT_FALSE(settings.isVisible());
    EXPECT_TRUE(settings.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(settings.windowType(), Qt::Tool);
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE((settings.geometry().center() - area.center()).manhattanLength(), 2);
    settings.ShowWindow(SW_SHOW);
    ASSERT_TRUE(settings.isVisible());

    Press(settings.page.GetDlgItem(1021), Qt::Key_Escape);
    Press(settings.page.GetDlgItem(1021), Qt::Key_Return);
    EXPECT_EQ(settings.page.swallowed, 2);
    EXPECT_TRUE(settings.isVisible());
    auto* keywords = settings.page.GetDlgItem<QPlainTextEdit>(1024);
    Press(keywords, Qt::Key_Return); // the keywords take Enter as a line break
    EXPECT_EQ(keywords->toPlainText(), "\n");
    EXPECT_EQ(settings.page.swallowed, 2);

    // The settings window's own controls keep the default keys: Escape hides it.
    Press(settings.GetDlgItem(1047), Qt::Key_Escape);
    EXPECT_FALSE(settings.isVisible());
    EXPECT_TRUE(settings.IsCreated());
}

TEST(DialogTimers, FireByIdAndStopWhenKilled)
{
    class Ticker : public CDialog {
    public:
        Ticker() : CDialog(184) {}
        std::map<int, int> ticks;
        bool offThread = false;

    protected:
        void OnTimer(int id) override
        {
            ++ticks[id];
            offThread |= !IsUiThread();
        }
    };
    Ticker dlg;
    ASSERT_TRUE(dlg.Create(184));
    dlg.SetTimer(1, 3);
    dlg.SetTimer(2, 4);
    ASSERT_TRUE(WaitUntil([&] { return dlg.ticks[1] >= 2 && dlg.ticks[2] >= 2; }));
    EXPECT_TRUE(dlg.KillTimer(1));
    EXPECT_FALSE(dlg.KillTimer(1));
    const int stopped = dlg.ticks[1];
    const int other = dlg.ticks[2];
    ASSERT_TRUE(WaitUntil([&] { return dlg.ticks[2] >= other + 3; }));
    EXPECT_EQ(dlg.ticks[1], stopped);

    // Started and stopped from another thread, the timer still ticks on the window thread.
    std::thread([&] { dlg.SetTimer(3, 2); }).join();
    ASSERT_TRUE(WaitUntil([&] { return dlg.ticks[3] >= 2; }));
    std::thread([&] { dlg.KillTimer(3); }).join();
    QTest::qWait(1);
    const int killed = dlg.ticks[3];
    const int clock = dlg.ticks[2];
    ASSERT_TRUE(WaitUntil([&] { return dlg.ticks[2] >= clock + 3; }));
    EXPECT_EQ(dlg.ticks[3], killed);
    EXPECT_FALSE(dlg.offThread);
}

TEST(DialogMessages, PostedFromAnotherThreadReachTheWindowThread)
{
    class Page : public CDialog {
    public:
        Page() : CDialog(130) {}
        std::vector<unsigned> messages;
        bool onUiThread = false;

    protected:
        bool OnMessage(unsigned msg, quintptr, qintptr) override
        {
            messages.push_back(msg);
            onUiThread = IsUiThread();
            return true;
        }
    };
    QWidget host;
    Page page;
    ASSERT_TRUE(page.Create(130, &host));
    page.PostMessage(WM_FILES_ADDED);
    EXPECT_TRUE(page.messages.empty()); // posted, not sent
    std::thread([&] { page.PostMessage(WM_FILES_ADDED, 0, 0); }).join();
    ASSERT_TRUE(WaitUntil([&] { return page.messages.size() == 2; }));
    EXPECT_EQ(page.messages[1], 0x0465u);
    EXPECT_TRUE(page.onUiThread);
}

TEST(DialogThreads, AModalRunRequestedByTheWorker)
{
    std::atomic<int> result{-100};
    std::atomic<bool> builtOnUiThread{false};
    std::thread worker([&] {
        result = RunOnUiThread([&] {
            builtOnUiThread = IsUiThread();
            MessageBoxLike prompt;
            return prompt.DoModal();
        });
    });
    WhenModal([](CDialog& d) { d.GetDlgItem<QPushButton>(1)->click(); });
    const bool done = WaitUntil([&] { return result != -100; });
    worker.join();
    ASSERT_TRUE(done);
    EXPECT_EQ(result, IDOK);
    EXPECT_TRUE(builtOnUiThread);
}

TEST(DialogThreads, WindowTextFromTheWorker)
{
    QWidget host;
    CDialog page(130);
    ASSERT_TRUE(page.Create(130, &host));
    std::atomic<bool> done{false};
    QString seen;
    std::thread worker([&] {
        page.SetDlgItemText(1023, "Start to convert");
        page.EnableDlgItem(1019, false);
        seen = page.GetDlgItemText(1023); // waits for the window thread, after the queued setter
        done = true;
    });
    const bool finished = WaitUntil([&] { return done.load(); });
    worker.join();
    ASSERT_TRUE(finished);
    EXPECT_EQ(seen, "Start to convert");
    EXPECT_FALSE(page.GetDlgItem(1019)->isEnabled());
    EXPECT_EQ(Wnd::GetWindowText(page.GetDlgItem(1009)), "Add File(s)");
}
