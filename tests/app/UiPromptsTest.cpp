// The engine's questions asked from a worker thread: the windows run on the
// window thread while the worker waits, and the answers reach the worker.
#include "DialogDriver.h"

#include "app/MessageBox.h"
#include "app/PromptSeam.h"
#include "app/UiPrompts.h"
#include "options/ui/EnterPassWordDlg.h"

#include <QLineEdit>

#include <atomic>
#include <thread>

#include <gtest/gtest.h>

namespace {

// Runs `ask` on a worker thread; the window thread keeps serving events.
class Worker {
public:
    explicit Worker(std::function<void()> ask)
        : m_thread([this, ask] {
            ask();
            m_done = true;
        })
    {
    }
    ~Worker() { Finish(); }
    bool Done() const { return m_done; }
    void Finish()
    {
        EXPECT_TRUE(QTest::qWaitFor([this] { return Done(); }, 20000));
        if (m_thread.joinable())
            m_thread.join();
    }

private:
    std::atomic<bool> m_done{false};
    std::thread m_thread;
};

TEST(UiPrompts, PasswordAskedByWorkerIsAnsweredOnWindowThread)
{
    CUiPrompts prompts;
    int result = 0;
    QString password = "stale";
    std::atomic<bool> returned{false};
    bool workerWaited = false;
    QThread* promptThread = nullptr;
    QString message;
    dialogtest::ActWhenModal<CEnterPassWordDlg>([&](CEnterPassWordDlg& dlg) {
        workerWaited = !returned;
        promptThread = QThread::currentThread();
        message = dlg.GetDlgItemText(1030);
        QTest::keyClicks(dlg.GetDlgItem<QLineEdit>(1031), "s3cret");
        QTest::mouseClick(&dlg.m_btnOK, Qt::LeftButton);
    });
    Worker worker([&] {
        result = prompts.AskWorkbookPassword("/data/Budget.xls", &password);
        returned = true;
    });
    worker.Finish();
    EXPECT_TRUE(workerWaited) << "the worker waits for the answer";
    EXPECT_EQ(promptThread, qApp->thread());
    EXPECT_TRUE(message.contains("file \"Budget.xls\"  is password")) << message.toStdString();
    EXPECT_EQ(result, 1);
    EXPECT_EQ(password, QStringLiteral("s3cret"));
}

TEST(UiPrompts, CancelledPromptLeavesThePasswordEmpty)
{
    CUiPrompts prompts;
    int result = 0;
    QString password = "stale";
    dialogtest::ActWhenModal<CEnterPassWordDlg>([](CEnterPassWordDlg& dlg) {
        QTest::keyClicks(dlg.GetDlgItem<QLineEdit>(1031), "typed");
        QTest::keyClick(dlg.GetDlgItem<QLineEdit>(1031), Qt::Key_Escape);
    });
    Worker worker([&] { result = prompts.AskWorkbookPassword("Budget.xls", &password); });
    worker.Finish();
    EXPECT_EQ(result, 2);
    EXPECT_TRUE(password.isEmpty());
}

TEST(UiPrompts, MessageBoxAskedByWorkerReturnsTheButton)
{
    CUiPrompts prompts;
    int result = 0;
    bool asking = false;
    dialogtest::ActWhenModal<CMessageBox>([&](CMessageBox& box) {
        asking = box.m_btnNo.isVisible();
        QTest::mouseClick(&box.m_btnOK, Qt::LeftButton);
    });
    Worker worker([&] { result = prompts.ShowMessageBox("/out/a.pdf already exists. Do you want to replace it?", 4); });
    worker.Finish();
    EXPECT_TRUE(asking);
    EXPECT_EQ(result, 6);
}

TEST(UiPrompts, SeamAnswersEveryKindFromTheWorkerAndRecordsIt)
{
    CPromptSeam seam;
    seam.QueueMessageBoxAnswer(7);
    seam.QueuePasswordAnswer(1, "from seam");
    seam.QueuePlainAnswer(1);
    CUiPrompts prompts;
    int box = 0, first = 0, second = 0;
    QString pw1, pw2 = "stale";
    Worker worker([&] {
        box = prompts.ShowMessageBox("Stop?", 68);
        first = prompts.AskWorkbookPassword("/data/Budget.xls", &pw1);
        second = prompts.AskWorkbookPassword("Budget.xls", &pw2); // nothing queued: cancelled
        prompts.ShowPlainMessage("Couldn't get Excel object.");
    });
    worker.Finish();
    EXPECT_EQ(box, 7);
    EXPECT_EQ(first, 1);
    EXPECT_EQ(pw1, QStringLiteral("from seam"));
    EXPECT_EQ(second, 2);
    EXPECT_TRUE(pw2.isEmpty());

    const auto asked = seam.Questions();
    ASSERT_EQ(asked.size(), 3);
    EXPECT_EQ(asked[0].kind, CPromptSeam::Kind::MessageBox);
    EXPECT_EQ(asked[0].type, 68);
    EXPECT_EQ(asked[1].kind, CPromptSeam::Kind::Password);
    EXPECT_EQ(asked[1].text, QStringLiteral("Budget.xls"));
    for (const auto& q : asked)
        EXPECT_TRUE(q.answeredOnUiThread);
    const auto plain = seam.PlainQuestions();
    ASSERT_EQ(plain.size(), 1);
    EXPECT_EQ(plain[0].text, QStringLiteral("Couldn't get Excel object."));
    EXPECT_EQ(plain[0].caption, QStringLiteral("Orvik Excel To PDF"));
}

} // namespace
