// The skinned message box: buttons and results per type, keys, the Yes/No
// layout, dragging, and ShowMessageBox with and without the seam.
#include "DialogDriver.h"

#include "app/MessageBox.h"
#include "app/PromptSeam.h"
#include "skin/WindowDrag.h"

#include <gtest/gtest.h>

using dialogtest::RunModal;

namespace {

int RunBox(int type, const std::function<void(CMessageBox&)>& act, const QString& text = "Some text")
{
    CMessageBox box;
    box.m_strTitle = "Orvik Excel To PDF";
    box.m_strText = text;
    box.m_nType = type;
    return RunModal<CMessageBox>(box, act);
}

QPoint TemplatePlace(const CMessageBox& box, int id)
{
    return box.MapDialogRect(box.Template()->Control(id)->rect).topLeft();
}

TEST(MessageBox, TypeZeroShowsOnlyOkAtItsTemplatePlace)
{
    const int result = RunBox(0, [](CMessageBox& box) {
        EXPECT_EQ(box.size(), QSize(286, 157));
        EXPECT_TRUE(box.windowFlags().testFlag(Qt::Tool)); // no taskbar entry
        EXPECT_EQ(box.m_stTitle.text(), QStringLiteral("Orvik Excel To PDF"));
        EXPECT_EQ(box.m_stText.text(), QStringLiteral("Some text"));
        EXPECT_TRUE(box.m_btnOK.isVisible());
        EXPECT_FALSE(box.m_btnNo.isVisible());
        EXPECT_EQ(box.m_btnOK.pos(), TemplatePlace(box, IDOK));
        EXPECT_EQ(box.m_btnOK.size(), QSize(98, 23)); // one frame of the OK strip
        dialogtest::Screenshot(box, "message_box_ok");
        QTest::mouseClick(&box.m_btnOK, Qt::LeftButton);
    });
    EXPECT_EQ(result, 6);
}

TEST(MessageBox, AskingTypeShowsYesLeftOfOkPlaceAndNoAtItsOwn)
{
    for (int type : {4, 68, -1}) {
        const int result = RunBox(type, [](CMessageBox& box) {
            EXPECT_TRUE(box.m_btnNo.isVisible());
            EXPECT_EQ(box.m_btnOK.pos(), TemplatePlace(box, IDOK) - QPoint(70, 0));
            EXPECT_EQ(box.m_btnNo.pos(), TemplatePlace(box, 1049));
            EXPECT_EQ(box.m_btnOK.size(), QSize(69, 23)); // the Yes strip
            EXPECT_EQ(box.m_btnNo.size(), QSize(69, 23));
            QTest::mouseClick(&box.m_btnNo, Qt::LeftButton);
        });
        EXPECT_EQ(result, 7) << "type " << type;
    }
    RunBox(68, [](CMessageBox& box) { dialogtest::Screenshot(box, "message_box_yes_no"); },
        " Are you sure you want to stop the conversion? ");
}

TEST(MessageBox, ResultPerButtonAndKey)
{
    EXPECT_EQ(RunBox(68, [](CMessageBox& b) { QTest::mouseClick(&b.m_btnOK, Qt::LeftButton); }), 6);
    EXPECT_EQ(RunBox(68, [](CMessageBox& b) { QTest::mouseClick(&b.m_btnClose, Qt::LeftButton); }), 8);
    EXPECT_EQ(RunBox(0, [](CMessageBox& b) { QTest::mouseClick(&b.m_btnClose, Qt::LeftButton); }), 8);
    // Enter presses the default button 1, whatever has the focus.
    EXPECT_EQ(RunBox(68, [](CMessageBox& b) { QTest::keyClick(&b, Qt::Key_Return); }), 6);
    EXPECT_EQ(RunBox(4, [](CMessageBox& b) {
                  b.m_btnNo.setFocus();
                  QTest::keyClick(b.focusWidget() ? b.focusWidget() : &b, Qt::Key_Enter);
              }),
              7); // a focused push button takes Enter itself
    EXPECT_EQ(RunBox(0, [](CMessageBox& b) { QTest::keyClick(&b, Qt::Key_Escape); }), 2);
    EXPECT_EQ(RunBox(68, [](CMessageBox& b) { QTest::keyClick(&b, Qt::Key_Escape); }), 2);
}

TEST(MessageBox, MovedByTopBandAndTitleLine)
{
    std::vector<QWidget*> moved;
    CWindowDrag::SetObserver([&](QWidget* w) { moved.push_back(w); });
    RunBox(0, [&](CMessageBox& box) {
        const auto pressAt = [&](QWidget* w, QPoint p) {
            QTest::mousePress(w, Qt::LeftButton, {}, p);
            QTest::mouseRelease(w, Qt::LeftButton, {}, p);
        };
        pressAt(&box, QPoint(200, 26));
        EXPECT_TRUE(moved.empty()) << "row 26 is below the band";
        pressAt(&box, QPoint(200, 25));
        ASSERT_EQ(moved.size(), 1u);
        EXPECT_EQ(moved[0], &box);
        pressAt(&box.m_stTitle, QPoint(5, 5));
        EXPECT_EQ(moved.size(), 2u);
        box.EndDialog(6);
    });
    CWindowDrag::SetObserver({});
}

TEST(ShowMessageBox, RunsTheSkinnedBoxWithTheProductTitle)
{
    QString title, text;
    QTimer::singleShot(0, [&] {
        auto* box = dynamic_cast<CMessageBox*>(CDialog::ActiveModal());
        ASSERT_NE(box, nullptr);
        title = box->m_stTitle.text();
        text = box->m_stText.text();
        QTest::mouseClick(&box->m_btnNo, Qt::LeftButton);
    });
    EXPECT_EQ(ShowMessageBox("        File format not supported!", 4), 7);
    EXPECT_EQ(title, QStringLiteral("Orvik Excel To PDF"));
    EXPECT_EQ(text, QStringLiteral("        File format not supported!")); // leading blanks kept
}

TEST(ShowMessageBox, SeamAnswersAndRecordsInsteadOfShowing)
{
    CPromptSeam seam;
    seam.QueueMessageBoxAnswer(7);
    EXPECT_EQ(ShowMessageBox("a.pdf already exists. Do you want to replace it?", 4), 7);
    EXPECT_EQ(ShowMessageBox("Conversion is in progress, please wait for a moment.", 0), 6); // unqueued
    EXPECT_EQ(CDialog::ActiveModal(), nullptr);
    const auto asked = seam.Questions();
    ASSERT_EQ(asked.size(), 2);
    EXPECT_EQ(asked[0].text, QStringLiteral("a.pdf already exists. Do you want to replace it?"));
    EXPECT_EQ(asked[0].type, 4);
    EXPECT_EQ(asked[1].type, 0);
    EXPECT_TRUE(asked[1].answeredOnUiThread);
    {
        CPromptSeam inner; // the newest seam is in force, the outer one again afterwards
        ShowMessageBox("inner", 0);
        EXPECT_EQ(inner.Questions().size(), 1);
    }
    ShowMessageBox("outer", 0);
    EXPECT_EQ(seam.Questions().size(), 3);
}

} // namespace
