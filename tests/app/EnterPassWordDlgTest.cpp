// The workbook password prompt: its message, the masked edit with the focus,
// results and password per button and key, placement over the main window,
// the blocked main window, and moving by the title line only.
#include "DialogDriver.h"

#include "framework/MainWnd.h"
#include "options/ui/EnterPassWordDlg.h"
#include "skin/WindowDrag.h"

#include <QLineEdit>
#include <QPushButton>
#include <QWindow>

#include <gtest/gtest.h>

using dialogtest::RunModal;

namespace {

struct Outcome {
    int result = 0;
    QString password;
};

Outcome Prompt(const std::function<void(CEnterPassWordDlg&)>& act, const QString& file = "Budget.xls")
{
    CEnterPassWordDlg dlg;
    dlg.m_strFileName = file;
    const int result = RunModal<CEnterPassWordDlg>(dlg, act);
    return {result, dlg.m_strPassword};
}

QLineEdit* Edit(CEnterPassWordDlg& dlg)
{
    return dlg.GetDlgItem<QLineEdit>(1031);
}

void Type(CEnterPassWordDlg& dlg, const QString& text)
{
    QTest::keyClicks(Edit(dlg), text);
}

TEST(EnterPassWordDlg, NamesTheFileAndFocusesTheMaskedEdit)
{
    Prompt([](CEnterPassWordDlg& dlg) {
        EXPECT_EQ(dlg.GetDlgItemText(1030),
                  QStringLiteral("The program has detected that file \"Budget.xls\"  is password protected. "
                                 "Please enter the password for the conversion."));
        EXPECT_EQ(dlg.m_stTitle.text(), QStringLiteral("Orvik Excel To PDF"));
        EXPECT_EQ(dlg.GetDlgItemText(1050), QStringLiteral("Enter Password:"));
        EXPECT_EQ(dlg.size(), QSize(499, 170));
        ASSERT_NE(Edit(dlg), nullptr);
        EXPECT_EQ(Edit(dlg)->echoMode(), QLineEdit::Password);
        EXPECT_EQ(dlg.focusWidget(), Edit(dlg));
        Type(dlg, "secret");
        dialogtest::Screenshot(dlg, "password_prompt");
        dlg.EndDialog(2);
    });
}

TEST(EnterPassWordDlg, OkButtonAndEnterReturnTheTypedPassword)
{
    Outcome o = Prompt([](CEnterPassWordDlg& dlg) {
        Type(dlg, "pa ss\"word");
        QTest::mouseClick(&dlg.m_btnOK, Qt::LeftButton);
    });
    EXPECT_EQ(o.result, 1);
    EXPECT_EQ(o.password, QStringLiteral("pa ss\"word"));

    o = Prompt([](CEnterPassWordDlg& dlg) {
        Type(dlg, "k3y");
        QTest::keyClick(Edit(dlg), Qt::Key_Return);
    });
    EXPECT_EQ(o.result, 1);
    EXPECT_EQ(o.password, QStringLiteral("k3y"));

    // OK with nothing typed is still OK, with an empty password.
    o = Prompt([](CEnterPassWordDlg& dlg) { QTest::keyClick(Edit(dlg), Qt::Key_Enter); });
    EXPECT_EQ(o.result, 1);
    EXPECT_TRUE(o.password.isEmpty());
}

TEST(EnterPassWordDlg, CancelEscapeAndCloseReturnTwoWithoutPassword)
{
    const std::function<void(CEnterPassWordDlg&)> endings[] = {
        [](CEnterPassWordDlg& d) { QTest::mouseClick(&d.m_btnCancel, Qt::LeftButton); },
        [](CEnterPassWordDlg& d) { QTest::keyClick(Edit(d), Qt::Key_Escape); },
        [](CEnterPassWordDlg& d) { QTest::mouseClick(&d.m_btnClose, Qt::LeftButton); },
        [](CEnterPassWordDlg& d) { d.close(); }, // the window system's close
    };
    for (const auto& end : endings) {
        const Outcome o = Prompt([&](CEnterPassWordDlg& dlg) {
            Type(dlg, "typed");
            end(dlg);
        });
        EXPECT_EQ(o.result, 2);
        EXPECT_TRUE(o.password.isEmpty());
    }
}

TEST(EnterPassWordDlg, CentredOverTheMainWindowWhichTakesNoInput)
{
    QWidget main;
    main.setGeometry(40, 30, 700, 522);
    auto* stop = new QPushButton("Stop", &main);
    stop->setGeometry(300, 400, 100, 30);
    int stopClicks = 0;
    QObject::connect(stop, &QPushButton::clicked, [&] { ++stopClicks; });
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    AfxSetMainWnd(&main);

    Prompt([&](CEnterPassWordDlg& dlg) {
        EXPECT_EQ(dlg.geometry().center(), main.frameGeometry().center());
        // A click that reaches the main window through the window system is refused.
        QTest::mouseClick(main.windowHandle(), Qt::LeftButton, {}, stop->geometry().center());
        EXPECT_EQ(stopClicks, 0);
        EXPECT_EQ(QApplication::activeModalWidget(), &dlg);
        dlg.EndDialog(2);
    });
    QTest::mouseClick(main.windowHandle(), Qt::LeftButton, {}, stop->geometry().center());
    EXPECT_EQ(stopClicks, 1) << "the main window takes input again";
    AfxSetMainWnd(nullptr);
}

TEST(EnterPassWordDlg, MovedByTheTitleLineOnly)
{
    std::vector<QWidget*> moved;
    CWindowDrag::SetObserver([&](QWidget* w) { moved.push_back(w); });
    Prompt([&](CEnterPassWordDlg& dlg) {
        QTest::mousePress(&dlg, Qt::LeftButton, {}, QPoint(460, 10)); // the band, between title and close button
        QTest::mouseRelease(&dlg, Qt::LeftButton, {}, QPoint(460, 10));
        EXPECT_TRUE(moved.empty());
        QTest::mousePress(&dlg.m_stTitle, Qt::LeftButton, {}, QPoint(10, 5));
        QTest::mouseRelease(&dlg.m_stTitle, Qt::LeftButton, {}, QPoint(10, 5));
        ASSERT_EQ(moved.size(), 1u);
        EXPECT_EQ(moved[0], &dlg);
        dlg.EndDialog(2);
    });
    CWindowDrag::SetObserver({});
}

} // namespace
