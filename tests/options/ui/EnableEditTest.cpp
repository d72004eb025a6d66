// The status line edit: every way a user could change its text is refused;
// selecting, copying, the enabled look and the program's own text remain.
#include "engine/GhostscriptTestFiles.h" // prints QString values in failures
#include "framework/WindowOps.h"
#include "options/ui/DescriptionDlg.h"
#include "options/ui/EnableEdit.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <thread>

namespace {

const QString kStatus = QStringLiteral("Converting Book1.xlsx");

struct Shown {
    QWidget window;
    CEnableEdit edit{&window};
    Shown()
    {
        edit.setGeometry(10, 10, 300, 24);
        edit.setText(kStatus);
        window.resize(320, 44);
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
        edit.setFocus();
    }
};

TEST(EnableEdit, RefusesTypingAndEditingKeys)
{
    Shown s;
    QApplication::clipboard()->setText(QStringLiteral("pasted"));
    QTest::keyClicks(&s.edit, "abc 123");
    s.edit.setCursorPosition(5);
    QTest::keyClick(&s.edit, Qt::Key_Backspace);
    QTest::keyClick(&s.edit, Qt::Key_Delete);
    QTest::keyClick(&s.edit, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(&s.edit, Qt::Key_Insert, Qt::ShiftModifier);
    s.edit.selectAll();
    QTest::keyClick(&s.edit, Qt::Key_X, Qt::ControlModifier);
    QTest::keyClick(&s.edit, Qt::Key_K, Qt::ControlModifier); // delete to the end of the line
    QTest::keyClick(&s.edit, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(&s.edit, Qt::Key_Backspace);
    EXPECT_EQ(s.edit.text(), kStatus);
    // Cut took nothing to the clipboard either.
    EXPECT_EQ(QApplication::clipboard()->text(), "pasted");
}

TEST(EnableEdit, RefusesPasteByMouseMenuAndDrop)
{
    Shown s;
    if (QApplication::clipboard()->supportsSelection())
        QApplication::clipboard()->setText(QStringLiteral("selected"), QClipboard::Selection);
    QTest::mouseClick(&s.edit, Qt::MiddleButton, {}, QPoint(20, 12));
    EXPECT_EQ(s.edit.text(), kStatus);

    // The context menu offers no command that edits.
    std::unique_ptr<QMenu> menu(s.edit.createStandardContextMenu());
    for (QAction* action : menu->actions()) {
        const QString name = action->text().remove('&');
        if (name.startsWith("Undo") || name.startsWith("Redo") || name.startsWith("Cu") ||
            name.startsWith("Paste") || name.startsWith("Delete")) {
            EXPECT_FALSE(action->isEnabled() && action->isVisible()) << name.toStdString();
        }
    }

    // Dropped text is not taken.
    EXPECT_FALSE(s.edit.acceptDrops());
    QMimeData data;
    data.setText(QStringLiteral("dropped"));
    QDragEnterEvent enter(QPoint(20, 12), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&s.edit, &enter);
    EXPECT_FALSE(enter.isAccepted());
    QDropEvent drop(QPointF(20, 12), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&s.edit, &drop);
    EXPECT_EQ(s.edit.text(), kStatus);
}

TEST(EnableEdit, SelectsAndCopies)
{
    Shown s;
    s.edit.setSelection(11, 10);
    EXPECT_EQ(s.edit.selectedText(), "Book1.xlsx");
    QTest::keyClick(&s.edit, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "Book1.xlsx");
    QTest::keyClick(&s.edit, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(s.edit.selectedText(), kStatus);
}

// Enabled and drawn exactly as a plain edit with the same text.
TEST(EnableEdit, KeepsTheEnabledLook)
{
    QWidget window;
    CEnableEdit edit(&window);
    QLineEdit plain(&window);
    for (QLineEdit* e : {static_cast<QLineEdit*>(&edit), &plain}) {
        e->resize(300, 24);
        e->setText(kStatus);
    }
    plain.move(0, 30);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_TRUE(edit.isEnabled());
    // Each drawn while the other has the focus.
    plain.setFocus();
    const QImage shown = edit.grab().toImage();
    edit.setFocus();
    EXPECT_EQ(shown, plain.grab().toImage());
}

TEST(EnableEdit, TakesTheProgramsTextFromAWorkerThread)
{
    Shown s;
    std::thread worker([&s] { Wnd::SetWindowText(&s.edit, QStringLiteral("Complete!")); });
    worker.join();
    EXPECT_TRUE(QTest::qWaitFor([&s] { return s.edit.text() == "Complete!"; }));
    QTest::keyClicks(&s.edit, "x");
    EXPECT_EQ(s.edit.text(), "Complete!");
}

// Put in a dialog's edit, as the conversion page puts it on its status line,
// it takes the place and text of the edit and still refuses typing.
TEST(EnableEdit, AttachedToADialogEditStillRefuses)
{
    QWidget window;
    window.resize(500, 420);
    CDescriptionDlg page;
    ASSERT_TRUE(page.Create(CDescriptionDlg::IDD, &window));
    QWidget* old = page.GetDlgItem(1023);
    ASSERT_NE(old, nullptr);
    Wnd::SetWindowText(old, kStatus);
    const QRect place = old->geometry();
    CEnableEdit edit;
    ASSERT_TRUE(page.AttachControl(1023, edit));
    EXPECT_EQ(page.GetDlgItem(1023), &edit);
    EXPECT_EQ(edit.geometry(), place);
    EXPECT_EQ(edit.text(), kStatus);
    QTest::keyClicks(&edit, "typed");
    QTest::keyClick(&edit, Qt::Key_Backspace);
    EXPECT_EQ(page.GetDlgItemText(1023), kStatus);
    page.SetDlgItemText(1023, QStringLiteral("Stoped"));
    EXPECT_EQ(edit.text(), "Stoped");
}

} // namespace
