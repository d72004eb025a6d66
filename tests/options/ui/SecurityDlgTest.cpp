// The Security page's enabled states, and the settings that OK refuses: no
// owner password, an empty user password, passwords a PDF cannot hold; the
// same rules without widgets.
#include "SettingsFixture.h"

#include "engine/GhostscriptCommand.h"
#include "framework/MessageBox.h"
#include "options/SecurityCheck.h"
#include "options/ui/SecurityProblem.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

using settingstest::Settings;

namespace {

const QString kNoOwner =
    QStringLiteral("Security needs an owner password: check \"Enable Owner Password\" and type one.");
const QString kEmptyUser = QStringLiteral("\"Enable User Password\" is checked but the user password is empty.");

const int kDependents[] = {1006, 1007, 1015, 1022, 1008, 1009, 1010, 1011, 1012, 1013};

// Which controls can be used, as far as the page itself decides.
std::vector<int> EnabledOf(CSecurityDlg& page, std::initializer_list<int> ids)
{
    std::vector<int> enabled;
    for (int id : ids)
        if (page.GetDlgItem(id)->isEnabledTo(&page))
            enabled.push_back(id);
    return enabled;
}

std::vector<int> EnabledDependents(CSecurityDlg& page)
{
    return EnabledOf(page, {1006, 1007, 1015, 1022, 1008, 1009, 1010, 1011, 1012, 1013});
}

const std::vector<int> kAll(std::begin(kDependents), std::end(kDependents));

TEST(SecurityDlg, StartsWithOnlyEnableSecurityUsable)
{
    Settings s;
    s.Open();
    s.window.ShowPage(1044);
    EXPECT_TRUE(s.Button(1005)->isEnabled());
    EXPECT_EQ(s.security.IsDlgButtonChecked(1005), BST_UNCHECKED);
    EXPECT_TRUE(EnabledDependents(s.security).empty());
    EXPECT_EQ(s.security.IsDlgButtonChecked(1006), BST_CHECKED);
    EXPECT_EQ(s.security.IsDlgButtonChecked(1007), BST_CHECKED);
    EXPECT_EQ(s.security.IsDlgButtonChecked(1012), BST_CHECKED);
    EXPECT_EQ(s.security.IsDlgButtonChecked(1013), BST_UNCHECKED);
    for (int id : {1008, 1009, 1010, 1011})
        EXPECT_EQ(s.security.IsDlgButtonChecked(id), BST_UNCHECKED) << id;
    for (int id : {1015, 1022}) {
        EXPECT_TRUE(s.Edit(s.security, id)->text().isEmpty());
        EXPECT_EQ(s.Edit(s.security, id)->echoMode(), QLineEdit::Password);
    }
    // The group boxes are the page's own frames, never disabled.
    EXPECT_EQ(s.security.GetDlgItem(1048), &s.security.m_gbPassword);
    EXPECT_EQ(s.security.m_gbPassword.CaptionText(), " Password ");
    EXPECT_EQ(s.security.m_gbAllowedActions.CaptionText(), " Allowed Actions ");
    EXPECT_EQ(s.security.m_gbEncryptionLevel.CaptionText(), " Encryption Level ");
    for (CSxGroupBox* box : {&s.security.m_gbPassword, &s.security.m_gbAllowedActions, &s.security.m_gbEncryptionLevel})
        EXPECT_TRUE(box->isEnabled());
    // A click on a disabled control does nothing.
    s.Click(1011);
    EXPECT_EQ(s.security.IsDlgButtonChecked(1011), BST_UNCHECKED);
}

TEST(SecurityDlg, EnableSecurityTogglesEveryDependentControl)
{
    Settings s;
    s.Open();
    s.Click(1005);
    EXPECT_EQ(EnabledDependents(s.security), kAll);
    s.Click(1005);
    EXPECT_TRUE(EnabledDependents(s.security).empty());
    EXPECT_TRUE(s.Button(1005)->isEnabled());
    for (CSxGroupBox* box : {&s.security.m_gbPassword, &s.security.m_gbAllowedActions, &s.security.m_gbEncryptionLevel})
        EXPECT_TRUE(box->isEnabled());
}

TEST(SecurityDlg, PasswordBoxesGovernTheirEditsAndKeepTheText)
{
    Settings s;
    s.Open();
    s.Click(1005);
    s.Type(s.Edit(s.security, 1015), "user text");
    s.Type(s.Edit(s.security, 1022), "owner text");
    s.Click(1006);
    EXPECT_FALSE(s.Edit(s.security, 1015)->isEnabled());
    EXPECT_TRUE(s.Edit(s.security, 1022)->isEnabled());
    EXPECT_EQ(s.Edit(s.security, 1015)->text(), "user text");
    s.Click(1007);
    EXPECT_FALSE(s.Edit(s.security, 1022)->isEnabled());
    EXPECT_EQ(s.Edit(s.security, 1022)->text(), "owner text");

    // Off and on again: each edit follows its box.
    s.Click(1005);
    s.Click(1005);
    EXPECT_FALSE(s.Edit(s.security, 1015)->isEnabled());
    EXPECT_FALSE(s.Edit(s.security, 1022)->isEnabled());
    s.Click(1007);
    EXPECT_TRUE(s.Edit(s.security, 1022)->isEnabled());
    EXPECT_FALSE(s.Edit(s.security, 1015)->isEnabled());
}

// While a conversion runs the page window is disabled: opening the settings
// window must not make its controls usable; enabled again, they are right.
TEST(SecurityDlg, DisabledPageStaysUnusableWhenTheWindowOpens)
{
    Settings s;
    s.Open();
    s.EnableSecurity("owner");
    s.Click(1006);
    s.Ok();
    ASSERT_FALSE(s.window.isVisible());
    s.security.EnableWindow(false);
    s.Open();
    for (int id : kAll)
        EXPECT_FALSE(s.security.GetDlgItem(id)->isEnabled()) << id;
    EXPECT_FALSE(s.Button(1005)->isEnabled());
    s.Click(1005);
    EXPECT_EQ(s.security.IsDlgButtonChecked(1005), BST_CHECKED);

    s.security.EnableWindow(true);
    for (int id : kAll)
        EXPECT_EQ(s.security.GetDlgItem(id)->isEnabled(), id != 1015) << id;
}

// Close reloads the boxes from the members without recomputing the enabled
// states; the next opening does.
TEST(SecurityDlg, NextOpeningMatchesEnabledStatesToTheBoxes)
{
    Settings s;
    s.Open();
    s.Click(1005);
    s.Close();
    EXPECT_EQ(s.security.IsDlgButtonChecked(1005), BST_UNCHECKED);
    s.Open();
    EXPECT_TRUE(EnabledDependents(s.security).empty());
}

struct Refusal {
    const char* name;
    bool ownerBox;
    const char* owner;
    bool userBox;
    const char* user;
    QString text; // empty: accepted
};

// What is typed on the Security page with security on; every other page edited too.
void Enter(Settings& s, const Refusal& r)
{
    s.Type(s.Edit(s.description, 1021), "new title");
    s.Click(1005);
    if (!r.ownerBox)
        s.Click(1007);
    if (!r.userBox)
        s.Click(1006);
    s.Edit(s.security, 1022)->setText(QString::fromUtf8(r.owner));
    s.Edit(s.security, 1015)->setText(QString::fromUtf8(r.user));
    s.Click(1011);
}

TEST(SecurityDlg, OkRefusesUnusableSecurityAndCommitsNothing)
{
    ConversionOptions wide;
    wide.m_bEnableSecurity = wide.m_bOwnerPassword = 1;
    wide.m_strOwnerPassword = QStringLiteral("密码");
    const QString unencodable = GhostscriptCommand::CheckPasswords(wide);
    ASSERT_FALSE(unencodable.isEmpty());
    const QString tooLong = QStringLiteral("The owner password is 33 characters long; a PDF password can have at most 32.");
    const Refusal refusals[] = {
        {"owner box unchecked", false, "owner", true, "user", kNoOwner},
        {"owner password empty", true, "", false, "", kNoOwner},
        {"user password empty", true, "owner", true, "", kEmptyUser},
        {"owner password not in a PDF's alphabet", true, "密码", false, "", unencodable},
        {"owner password longer than a PDF keeps", true, "0123456789abcdefghijklmnopqrstuvw", false, "", tooLong},
    };
    for (const Refusal& r : refusals) {
        SCOPED_TRACE(r.name);
        Settings s;
        s.Open();
        Enter(s, r);
        s.window.ShowPage(1046);
        MessageBoxSeam seam;
        s.Ok();
        ASSERT_EQ(seam.Questions().size(), 1);
        EXPECT_EQ(seam.Questions()[0].text, r.text);
        EXPECT_EQ(seam.Questions()[0].caption, "Orvik Excel To PDF");
        EXPECT_EQ(seam.Questions()[0].type, MB_OK | MB_ICONEXCLAMATION);
        EXPECT_TRUE(s.window.isVisible());
        EXPECT_EQ(s.window.PageOnShow(), 1044);
        EXPECT_TRUE(s.security.isVisibleTo(&s.window));
        // Nothing committed, on any page; the page still shows what was typed.
        EXPECT_TRUE(s.description.m_strDocTitle.isEmpty());
        EXPECT_EQ(s.security.m_bEnableSecurity, 0);
        EXPECT_EQ(s.security.m_bPrinting, 0);
        EXPECT_EQ(s.security.m_bOwnerPassword, 1);
        EXPECT_TRUE(s.security.m_strOwnerPassword.isEmpty());
        EXPECT_EQ(s.Edit(s.security, 1022)->text(), QString::fromUtf8(r.owner));
        EXPECT_EQ(SecurityProblem(s.security), r.text);
        EXPECT_FALSE(s.window.CheckSecurity());
    }
}

TEST(SecurityDlg, UsableOrDisabledSecurityPassesSilently)
{
    const Refusal accepted[] = {
        {"owner only", true, "owner", false, "", {}},
        {"owner and user", true, "owner", true, "user", {}},
        {"user box unchecked, its text empty", true, "é-owner", false, "", {}},
    };
    for (const Refusal& r : accepted) {
        SCOPED_TRACE(r.name);
        Settings s;
        s.Open();
        Enter(s, r);
        MessageBoxSeam seam;
        s.Ok();
        EXPECT_TRUE(seam.Questions().isEmpty());
        EXPECT_FALSE(s.window.isVisible());
        EXPECT_EQ(s.security.m_bEnableSecurity, 1);
        EXPECT_EQ(s.security.m_strOwnerPassword, QString::fromUtf8(r.owner));
        EXPECT_EQ(s.security.m_bPrinting, 1);
        EXPECT_EQ(s.description.m_strDocTitle, "new title");
    }

    // Security off: whatever the rest shows, no check.
    Settings s;
    s.Open();
    Enter(s, {"off", false, "", true, "", {}});
    s.Click(1005);
    MessageBoxSeam seam;
    EXPECT_TRUE(s.window.CheckSecurity());
    s.Ok();
    EXPECT_TRUE(seam.Questions().isEmpty());
    EXPECT_FALSE(s.window.isVisible());
    EXPECT_EQ(s.security.m_bEnableSecurity, 0);
    EXPECT_EQ(s.security.m_bOwnerPassword, 0);
}

// At a conversion start the page asks the window; with the window hidden
// (edits made, then Escape), the refusal opens it on the Security page.
TEST(SecurityDlg, RefusalAtConversionStartOpensTheHiddenWindow)
{
    Settings s;
    s.Open();
    s.Click(1005);
    s.Pick(1028, "LZW");
    QTest::keyClick(&s.window.m_btnOK, Qt::Key_Escape);
    ASSERT_FALSE(s.window.isVisible());
    MessageBoxSeam seam;
    EXPECT_FALSE(s.window.CheckSecurity());
    EXPECT_TRUE(s.window.isVisible());
    EXPECT_EQ(s.window.PageOnShow(), 1044);
    ASSERT_EQ(seam.Questions().size(), 1);
    EXPECT_EQ(seam.Questions()[0].text, kNoOwner);
    // Opened as the "Setting" button opens it: the snapshot is the lists of now.
    s.Pick(1028, "Flate");
    s.Close();
    EXPECT_EQ(s.advanced.SelectedText(1028), "LZW");
}

// The refusal is a real box owned by the settings window, so that it stacks
// above that topmost window; the window stays open behind it.
TEST(SecurityDlg, RefusalBoxIsOwnedByTheSettingsWindow)
{
    Settings s(true);
    s.Open();
    s.Click(1005);
    QString text;
    QWidget* owner = nullptr;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        poll.stop();
        text = box->text();
        owner = box->parentWidget();
        box->accept();
    });
    poll.start(5);
    s.Ok();
    EXPECT_EQ(text, kNoOwner);
    EXPECT_EQ(owner, &s.window);
    EXPECT_TRUE(s.window.isVisible());
}

// The same rules on option values, as the program checks them without pages.
TEST(SecurityCheck, RefusesWhatWouldGiveAnUnprotectedOrUnopenablePdf)
{
    struct Case {
        int enable, ownerBox;
        const char* owner;
        int userBox;
        const char* user;
        QString text;
    };
    ConversionOptions wide;
    wide.m_bEnableSecurity = wide.m_bOwnerPassword = wide.m_bUserPassword = 1;
    wide.m_strOwnerPassword = QStringLiteral("owner");
    wide.m_strUserPassword = QStringLiteral("пароль");
    const QString badUser = GhostscriptCommand::CheckPasswords(wide);
    ASSERT_TRUE(badUser.contains("user"));
    const Case cases[] = {
        {0, 0, "", 1, "", {}},
        {0, 1, "", 1, "", {}},
        {1, 0, "owner", 0, "", kNoOwner},
        {1, 1, "", 0, "", kNoOwner},
        {1, 1, "owner", 1, "", kEmptyUser},
        {1, 1, "owner", 0, "", {}},
        {1, 1, "owner", 1, "user", {}},
        {1, 1, "owner", 1, "пароль", badUser},
        {1, 1, " ", 0, "", {}}, // a blank is a password
    };
    for (const Case& c : cases) {
        ConversionOptions o;
        o.m_bEnableSecurity = c.enable;
        o.m_bOwnerPassword = c.ownerBox;
        o.m_strOwnerPassword = QString::fromUtf8(c.owner);
        o.m_bUserPassword = c.userBox;
        o.m_strUserPassword = QString::fromUtf8(c.user);
        EXPECT_EQ(SecurityProblem(o), c.text)
            << c.enable << c.ownerBox << " '" << c.owner << "' " << c.userBox << " '" << c.user << "'";
    }
}

} // namespace
