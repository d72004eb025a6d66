// The settings window: how it is made, page switching and the buttons' looks,
// what OK, close and the conversion start keep or drop, the keys on every page,
// and screenshots of each page.
#include "SettingsFixture.h"

#include "res/Resources.h"
#include "skin/DibImage.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

#include <gtest/gtest.h>

using settingstest::Settings;

namespace {

// Share of the button's pixels that show frame 0 of the bitmap (the caption
// covers the rest).
double ShareOfFrame0(CBmpHoverButton& button, int bitmapId)
{
    const QImage strip = DibImage::FromBmp(Resources::Bitmap(bitmapId)).ToImage();
    const QImage frame = strip.copy(0, 0, strip.width() / 3, strip.height()).convertToFormat(QImage::Format_RGB32);
    const QImage shown = button.grab().toImage().convertToFormat(QImage::Format_RGB32);
    if (shown.size() != frame.size())
        return 0;
    int same = 0;
    for (int y = 0; y < frame.height(); ++y)
        for (int x = 0; x < frame.width(); ++x)
            same += shown.pixel(x, y) == frame.pixel(x, y);
    return double(same) / (frame.width() * frame.height());
}

// Which of the two looks a page button shows.
int LookOf(CBmpHoverButton& button)
{
    const double onShow = ShareOfFrame0(button, 181), other = ShareOfFrame0(button, 182);
    if (onShow > 0.7 && onShow > other)
        return 181;
    if (other > 0.7 && other > onShow)
        return 182;
    return 0;
}

void ExpectPageOnShow(Settings& s, int buttonId)
{
    EXPECT_EQ(s.window.PageOnShow(), buttonId);
    EXPECT_EQ(s.description.isVisibleTo(&s.window), buttonId == 1046);
    EXPECT_EQ(s.security.isVisibleTo(&s.window), buttonId == 1044);
    EXPECT_EQ(s.advanced.isVisibleTo(&s.window), buttonId == 1045);
    EXPECT_EQ(LookOf(s.window.m_btnDescription), buttonId == 1046 ? 181 : 182);
    EXPECT_EQ(LookOf(s.window.m_btnSecurity), buttonId == 1044 ? 181 : 182);
    EXPECT_EQ(LookOf(s.window.m_btnAdvanced), buttonId == 1045 ? 181 : 182);
}

TEST(SettingDlg, IsMadeHiddenOwnerlessOnTopWithoutTaskbarEntryAndCentred)
{
    Settings s;
    EXPECT_FALSE(s.window.isVisible());
    EXPECT_EQ(s.window.parentWidget(), nullptr);
    const Qt::WindowFlags flags = s.window.windowFlags();
    EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Tool);
    EXPECT_TRUE(flags & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(flags & Qt::FramelessWindowHint);
    EXPECT_EQ(s.window.size(), QSize(428, 497)); // the skin bitmap
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE((s.window.geometry().center() - area.center()).manhattanLength(), 2);

    s.Open();
    EXPECT_TRUE(s.window.isVisible());
    EXPECT_EQ(s.window.m_stTitle.text(), "Orvik Excel To PDF");
    EXPECT_TRUE(s.window.m_stTitle.m_bDragWindow);
    EXPECT_TRUE(s.window.m_btnClose.HasImage());
    EXPECT_TRUE(s.window.m_btnOK.HasImage());
    EXPECT_EQ(s.window.m_btnDescription.text(), "Description");
    EXPECT_EQ(s.window.m_btnSecurity.text(), "Security");
    EXPECT_EQ(s.window.m_btnAdvanced.text(), "Advanced");
}

// The pages lie on the host's rectangle; the host and the Advanced page's
// hidden check box and label are never seen.
TEST(SettingDlg, PagesTakeTheHostRectangleAndNoStrayControlShows)
{
    Settings s;
    s.Open();
    QWidget* host = s.window.GetDlgItem(1038);
    ASSERT_NE(host, nullptr);
    EXPECT_FALSE(host->isVisible());
    for (CDialog* page : {static_cast<CDialog*>(&s.description), static_cast<CDialog*>(&s.security),
                          static_cast<CDialog*>(&s.advanced)}) {
        EXPECT_EQ(page->parentWidget(), &s.window);
        EXPECT_EQ(page->geometry(), host->geometry());
    }
    for (int id : {1046, 1044, 1045}) {
        s.window.ShowPage(id);
        for (QLabel* label : s.window.findChildren<QLabel*>())
            if (label->isVisible()) {
                EXPECT_NE(label->text(), "Static");
            }
    }
    EXPECT_FALSE(s.advanced.GetDlgItem(1030)->isVisible());
}

// Every caption on the pages fits its control in this system's font: none
// wraps into a cut-off line or loses its end.
TEST(SettingDlg, NoCaptionOnThePagesIsCutOff)
{
    Settings s;
    s.Open();
    for (CDialog* page : {static_cast<CDialog*>(&s.description), static_cast<CDialog*>(&s.security),
                          static_cast<CDialog*>(&s.advanced)}) {
        for (QWidget* w : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (w->isHidden())
                continue;
            if (auto* label = qobject_cast<QLabel*>(w)) {
                EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width())
                    << label->text().toStdString();
                EXPECT_LE(label->fontMetrics().height(), label->height()) << label->text().toStdString();
            } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
                EXPECT_LE(button->sizeHint().width(), button->width()) << button->text().toStdString();
            }
            EXPECT_LE(w->geometry().right(), page->width()) << CDialog::GetDlgCtrlID(w);
        }
    }
}

TEST(SettingDlg, PageButtonsShowOnePageAndMarkItsButton)
{
    Settings s;
    s.Open();
    ExpectPageOnShow(s, 1046);
    QTest::mouseClick(&s.window.m_btnSecurity, Qt::LeftButton);
    ExpectPageOnShow(s, 1044);
    QTest::mouseClick(&s.window.m_btnAdvanced, Qt::LeftButton);
    ExpectPageOnShow(s, 1045);
    QTest::mouseClick(&s.window.m_btnDescription, Qt::LeftButton);
    ExpectPageOnShow(s, 1046);
    s.window.ShowPage(1044);
    ExpectPageOnShow(s, 1044);
    s.window.ShowPage(1047); // not a page button
    ExpectPageOnShow(s, 1044);
}

// The page on show stays across hiding, by OK and by close.
TEST(SettingDlg, PageOnShowIsKeptWhileHidden)
{
    Settings s;
    s.Open();
    QTest::mouseClick(&s.window.m_btnAdvanced, Qt::LeftButton);
    s.Ok();
    EXPECT_FALSE(s.window.isVisible());
    s.Open();
    ExpectPageOnShow(s, 1045);
    QTest::mouseClick(&s.window.m_btnSecurity, Qt::LeftButton);
    s.Close();
    s.Open();
    ExpectPageOnShow(s, 1044);
}

TEST(SettingDlg, OkKeepsTheEditsOfEveryPage)
{
    Settings s;
    s.Open();
    s.Type(s.Edit(s.description, 1021), "Budget");
    s.EnableSecurity("owner");
    s.Type(s.Edit(s.security, 1015), "user");
    s.Click(1013);
    s.Pick(1028, "LZW");
    s.Ok();
    EXPECT_FALSE(s.window.isVisible());
    EXPECT_EQ(s.description.m_strDocTitle, "Budget");
    EXPECT_EQ(s.security.m_bEnableSecurity, 1);
    EXPECT_EQ(s.security.m_strOwnerPassword, "owner");
    EXPECT_EQ(s.security.m_nEncryptionLevel, 1);
    // OK leaves the lists as they are; a later close goes back to this opening's snapshot only.
    EXPECT_EQ(s.advanced.SelectedText(1028), "LZW");
    s.Open();
    s.Close();
    EXPECT_EQ(s.advanced.SelectedText(1028), "LZW");
    EXPECT_EQ(s.Edit(s.description, 1021)->text(), "Budget");
}

// Close drops the title and the password typed since the last OK or
// conversion start, and puts the lists back to the opening's snapshot.
TEST(SettingDlg, CloseDropsEditsAndPutsTheListsBack)
{
    Settings s;
    s.Open();
    s.Type(s.Edit(s.description, 1021), "kept");
    s.Ok();
    s.Open();
    s.Edit(s.description, 1021)->setText("dropped");
    s.EnableSecurity("secret");
    s.Pick(1028, "LZW");
    s.Pick(1025, "V1.5");
    s.Close();
    EXPECT_FALSE(s.window.isVisible());
    EXPECT_EQ(s.Edit(s.description, 1021)->text(), "kept");
    EXPECT_EQ(s.description.m_strDocTitle, "kept");
    EXPECT_TRUE(s.Edit(s.security, 1022)->text().isEmpty());
    EXPECT_FALSE(s.security.IsDlgButtonChecked(1005));
    EXPECT_TRUE(s.security.m_strOwnerPassword.isEmpty());
    EXPECT_EQ(s.advanced.SelectedText(1028), "Flate");
    EXPECT_EQ(s.advanced.SelectedText(1025), "V1.3(Acrobat 4.xx)");
    const ConversionOptions o = s.Options();
    EXPECT_EQ(o.m_strDocTitle, "kept");
    EXPECT_EQ(o.m_bEnableSecurity, 0);
    EXPECT_EQ(o.m_strDocCompression, "Flate");
}

// A conversion started while the window is open uses what the pages show; a
// later close keeps the texts (the start stored them) but still restores the lists.
TEST(SettingDlg, ConversionStartKeepsTextsWhileCloseStillRestoresLists)
{
    Settings s;
    s.Open();
    s.Type(s.Edit(s.description, 1021), "edited");
    s.Pick(1028, "LZW");
    s.StartExchange();
    const ConversionOptions during = s.Options();
    EXPECT_EQ(during.m_strDocTitle, "edited");
    EXPECT_EQ(during.m_strDocCompression, "LZW");
    s.Close();
    EXPECT_EQ(s.Edit(s.description, 1021)->text(), "edited");
    EXPECT_EQ(s.Options().m_strDocTitle, "edited");
    EXPECT_EQ(s.advanced.SelectedText(1028), "Flate");
    EXPECT_EQ(s.Options().m_strDocCompression, "Flate");
}

// Pressing "Setting" again while open takes a new snapshot.
TEST(SettingDlg, OpeningAgainTakesANewSnapshot)
{
    Settings s;
    s.Open();
    s.Pick(1029, "JPEG");
    s.Pick(1024, "Medium");
    s.Open();
    s.Pick(1029, "Automatic");
    s.Pick(1024, "Maximum");
    s.Close();
    EXPECT_EQ(s.advanced.SelectedText(1029), "JPEG");
    EXPECT_EQ(s.advanced.SelectedText(1024), "Medium");
}

// The password boxes start checked in the members too, so a close before any
// OK or conversion leaves them checked.
TEST(SettingDlg, CloseBeforeAnyOkKeepsBothPasswordBoxesChecked)
{
    Settings s;
    EXPECT_EQ(s.security.m_bOwnerPassword, 1);
    EXPECT_EQ(s.security.m_bUserPassword, 1);
    s.Open();
    s.Close();
    EXPECT_EQ(s.security.IsDlgButtonChecked(1006), BST_CHECKED);
    EXPECT_EQ(s.security.IsDlgButtonChecked(1007), BST_CHECKED);
    EXPECT_EQ(s.security.IsDlgButtonChecked(1012), BST_CHECKED);
    EXPECT_EQ(s.security.IsDlgButtonChecked(1005), BST_UNCHECKED);
    // Opened again and enabled: both password edits are usable at once.
    s.Open();
    s.Click(1005);
    EXPECT_TRUE(s.Edit(s.security, 1015)->isEnabled());
    EXPECT_TRUE(s.Edit(s.security, 1022)->isEnabled());
}

// Enter and Escape on an edit, a password edit, a closed list and a check box
// of every page change nothing and leave the window shown.
TEST(SettingDlg, EnterAndEscapeOnThePagesChangeNothing)
{
    Settings s;
    s.Open();
    s.Type(s.Edit(s.description, 1021), "title");
    s.Click(1005);
    s.Type(s.Edit(s.security, 1022), "pw");
    s.Type(s.Edit(s.security, 1015), "user");
    s.Pick(1028, "LZW");
    QWidget* targets[] = {s.Edit(s.description, 1021), s.Edit(s.description, 1023), s.Edit(s.description, 1026),
                          s.Edit(s.security, 1022),    s.Edit(s.security, 1015),    s.Button(1005),
                          s.Button(1011),              s.List(1028),                s.List(1025)};
    for (QWidget* target : targets) {
        const QWidget* page = target->parentWidget();
        s.window.ShowPage(page == &s.description ? 1046 : page == &s.security ? 1044 : 1045);
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
            SCOPED_TRACE(CDialog::GetDlgCtrlID(target));
            SCOPED_TRACE(int(key));
            QTest::keyClick(target, key);
            EXPECT_TRUE(s.window.isVisible());
            EXPECT_TRUE(target->isVisibleTo(&s.window));
            EXPECT_EQ(s.Edit(s.description, 1021)->text(), "title");
            EXPECT_EQ(s.Edit(s.security, 1022)->text(), "pw");
            EXPECT_EQ(s.Edit(s.security, 1015)->text(), "user");
            EXPECT_EQ(s.security.IsDlgButtonChecked(1005), BST_CHECKED);
            EXPECT_EQ(s.security.IsDlgButtonChecked(1011), BST_UNCHECKED);
            EXPECT_EQ(s.advanced.SelectedText(1028), "LZW");
            EXPECT_EQ(s.advanced.SelectedText(1025), "V1.3(Acrobat 4.xx)");
            EXPECT_TRUE(s.description.m_strDocTitle.isEmpty()); // nothing committed
            EXPECT_EQ(s.security.m_bEnableSecurity, 0);
        }
    }
    EXPECT_TRUE(s.Keywords()->toPlainText().isEmpty());
    QTest::keyClick(s.Keywords(), Qt::Key_Escape);
    EXPECT_TRUE(s.window.isVisible());
}

// In Keywords, Enter breaks the line, and the break reaches the option.
TEST(SettingDlg, EnterInKeywordsBreaksTheLine)
{
    Settings s;
    s.Open();
    s.Type(s.Keywords(), "first");
    QTest::keyClick(s.Keywords(), Qt::Key_Return);
    s.Type(s.Keywords(), "second");
    EXPECT_TRUE(s.window.isVisible());
    s.Ok();
    EXPECT_EQ(s.description.m_strDocKeywords, "first\nsecond");
    EXPECT_EQ(s.Options().m_strDocKeywords, "first\nsecond");
    // Close writes the same text back into the edit.
    s.Open();
    s.Close();
    EXPECT_EQ(s.Keywords()->toPlainText(), "first\nsecond");
}

TEST(SettingDlg, TabGoesTitleSubjectAuthorKeywords)
{
    Settings s;
    s.Open();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&s.window));
    QLineEdit* title = s.Edit(s.description, 1021);
    title->setFocus(Qt::OtherFocusReason);
    ASSERT_EQ(QApplication::focusWidget(), title);
    const QWidget* expected[] = {s.Edit(s.description, 1023), s.Edit(s.description, 1026), s.Keywords()};
    for (const QWidget* next : expected) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), next) << CDialog::GetDlgCtrlID(next);
    }
}

// The window's own keys keep their standard meaning: Enter presses the focused
// button, Escape hides without exchange or restore.
TEST(SettingDlg, WindowKeysOnItsOwnButtons)
{
    Settings s;
    s.Open();
    s.Type(s.Edit(s.description, 1021), "by enter");
    QTest::keyClick(&s.window.m_btnOK, Qt::Key_Return);
    EXPECT_FALSE(s.window.isVisible());
    EXPECT_EQ(s.description.m_strDocTitle, "by enter");

    s.Open();
    s.Edit(s.description, 1021)->setText("not kept");
    s.Pick(1028, "LZW");
    QTest::keyClick(&s.window.m_btnAdvanced, Qt::Key_Escape);
    EXPECT_FALSE(s.window.isVisible());
    EXPECT_EQ(s.description.m_strDocTitle, "by enter");
    EXPECT_EQ(s.Edit(s.description, 1021)->text(), "not kept");
    EXPECT_EQ(s.advanced.SelectedText(1028), "LZW");

    // Enter on a page button shows its page and keeps the window open.
    s.Open();
    QTest::keyClick(&s.window.m_btnSecurity, Qt::Key_Return);
    EXPECT_TRUE(s.window.isVisible());
    EXPECT_EQ(s.window.PageOnShow(), 1044);
}

TEST(SettingDlg, ScreenshotsOfEveryPage)
{
    Settings s;
    s.Open();
    s.Type(s.Edit(s.description, 1021), "Quarterly report");
    s.Type(s.Edit(s.description, 1023), "Sales");
    s.Type(s.Edit(s.description, 1026), "Finance");
    s.Type(s.Keywords(), "sales");
    QTest::keyClick(s.Keywords(), Qt::Key_Return);
    s.Type(s.Keywords(), "2024");
    dialogtest::Screenshot(s.window, "settings_description");

    QTest::mouseClick(&s.window.m_btnSecurity, Qt::LeftButton);
    s.EnableSecurity("owner secret");
    s.Type(s.Edit(s.security, 1015), "user");
    s.Click(1011);
    s.Click(1013);
    dialogtest::Screenshot(s.window, "settings_security");
    s.Click(1005);
    dialogtest::Screenshot(s.window, "settings_security_off");

    QTest::mouseClick(&s.window.m_btnAdvanced, Qt::LeftButton);
    dialogtest::Screenshot(s.window, "settings_advanced");
}

} // namespace
