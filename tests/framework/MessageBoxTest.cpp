// The plain message box: the real box's buttons and texts, and the seam that
// answers it in tests.
#include "framework/MessageBox.h"
#include "framework/MessageBoxSeam.h"
#include "framework/WindowsCodes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <thread>

namespace {
// Acts on the next message box once it is up.
void WhenBoxShown(std::function<void(QMessageBox&)> action)
{
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [poll, action] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            action(*box);
        }
    });
    poll->start(1);
}
} // namespace

TEST(MessageBoxSeam, AnswersFromTheQueueAndRecordsTheQuestions)
{
    MessageBoxSeam seam;
    seam.QueueAnswer(IDNO);
    EXPECT_EQ(AfxMessageBox("Stop now?", MB_YESNO), IDNO);
    EXPECT_EQ(MessageBox(nullptr, "Please choose one file !", "ERROR", MB_ICONSTOP), IDOK);
    const QList<MessageBoxSeam::Question> asked = seam.Questions();
    ASSERT_EQ(asked.size(), 2);
    EXPECT_EQ(asked[0].text, "Stop now?");
    EXPECT_EQ(asked[0].caption, "Orvik Excel To PDF");
    EXPECT_EQ(asked[0].type, MB_YESNO);
    EXPECT_EQ(asked[1].text, "Please choose one file !");
    EXPECT_EQ(asked[1].caption, "ERROR");
    EXPECT_EQ(asked[1].type, 16u);
}

TEST(MessageBoxSeam, WithoutQueuedAnswersTheDefaultButtonAnswers)
{
    MessageBoxSeam seam;
    EXPECT_EQ(AfxMessageBox("No Excel File"), IDOK);
    EXPECT_EQ(AfxMessageBox("Replace?", MB_YESNO), IDYES);
    EXPECT_EQ(AfxMessageBox("Replace?", MB_YESNO | MB_DEFBUTTON2), IDNO);
    EXPECT_EQ(AfxMessageBox("Again?", MB_RETRYCANCEL), IDRETRY);
}

TEST(MessageBoxSeam, AnswersTheWorkerThreadToo)
{
    MessageBoxSeam seam;
    seam.QueueAnswer(IDYES);
    int answer = 0;
    std::thread([&] { answer = AfxMessageBox("From the worker", MB_YESNO); }).join();
    EXPECT_EQ(answer, IDYES);
    EXPECT_EQ(seam.Questions().size(), 1);
}

TEST(MessageBoxSeam, TheNewestSeamAnswersAndTheOlderOneReturns)
{
    MessageBoxSeam outer;
    outer.QueueAnswer(IDNO);
    {
        MessageBoxSeam inner;
        inner.QueueAnswer(IDCANCEL);
        EXPECT_EQ(AfxMessageBox("inner", MB_YESNOCANCEL), IDCANCEL);
        EXPECT_EQ(inner.Questions().size(), 1);
    }
    EXPECT_EQ(AfxMessageBox("outer", MB_YESNO), IDNO);
    EXPECT_EQ(outer.Questions().size(), 1);
}

TEST(MessageBox, TheRealBoxShowsTextCaptionButtonsAndIcon)
{
    QString caption, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    int buttons = 0;
    WhenBoxShown([&](QMessageBox& box) {
        caption = box.windowTitle();
        text = box.text();
        icon = box.icon();
        buttons = box.buttons().size();
        box.button(QMessageBox::No)->click();
    });
    EXPECT_EQ(AfxMessageBox("Working now,Hold for a moment!", MB_YESNO), IDNO);
    EXPECT_EQ(caption, "Orvik Excel To PDF");
    EXPECT_EQ(text, "Working now,Hold for a moment!");
    EXPECT_EQ(icon, QMessageBox::Question); // the customary icon of a question
    EXPECT_EQ(buttons, 2);

    WhenBoxShown([&](QMessageBox& box) {
        icon = box.icon();
        caption = box.windowTitle();
        box.button(QMessageBox::Ok)->click();
    });
    EXPECT_EQ(MessageBox(nullptr, "File format not support!", "Warning", MB_ICONINFORMATION), IDOK);
    EXPECT_EQ(icon, QMessageBox::Information);
    EXPECT_EQ(caption, "Warning");
}
