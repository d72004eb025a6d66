// Data exchange in both directions for texts, check boxes, radio groups and
// drop-down lists.
#include "framework/CDialog.h"
#include "framework/DataExchange.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>

#include <gtest/gtest.h>

namespace {
class SecurityLike : public CDialog {
public:
    SecurityLike() : CDialog(133) {}
    int m_bEnableSecurity = 0;
    int m_bPrinting = 1;
    int m_nEncryptionLevel = 1;
    QString m_strUserPassword = "secret";

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Check(pDX, 1005, m_bEnableSecurity);
        DDX_Check(pDX, 1011, m_bPrinting);
        DDX_Radio(pDX, 1012, m_nEncryptionLevel);
        DDX_Text(pDX, 1015, m_strUserPassword);
    }
};

class DescriptionLike : public CDialog {
public:
    DescriptionLike() : CDialog(135) {}
    QString m_strDocKeywords;

protected:
    void DoDataExchange(CDataExchange* pDX) override { DDX_Text(pDX, 1024, m_strDocKeywords); }
};

class AdvancedLike : public CDialog {
public:
    AdvancedLike() : CDialog(134) {}
    int m_nDocCompression = 0;

protected:
    bool OnInitDialog() override
    {
        auto* list = GetDlgItem<QComboBox>(1028);
        list->addItem("Flate");
        list->addItem("LZW");
        m_nDocCompression = 1;
        return CDialog::OnInitDialog();
    }
    void DoDataExchange(CDataExchange* pDX) override { DDX_CBIndex(pDX, 1028, m_nDocCompression); }
};
} // namespace

TEST(DataExchange, MembersGoIntoTheControlsAtInitialisation)
{
    QWidget host;
    SecurityLike dlg;
    ASSERT_TRUE(dlg.Create(133, &host));
    EXPECT_FALSE(dlg.GetDlgItem<QCheckBox>(1005)->isChecked());
    EXPECT_TRUE(dlg.GetDlgItem<QCheckBox>(1011)->isChecked());
    EXPECT_FALSE(dlg.GetDlgItem<QRadioButton>(1012)->isChecked());
    EXPECT_TRUE(dlg.GetDlgItem<QRadioButton>(1013)->isChecked());
    EXPECT_EQ(dlg.GetDlgItem<QLineEdit>(1015)->text(), "secret");
}

TEST(DataExchange, ControlsGoIntoTheMembersOnSave)
{
    QWidget host;
    SecurityLike dlg;
    ASSERT_TRUE(dlg.Create(133, &host));
    dlg.GetDlgItem<QCheckBox>(1005)->click();
    dlg.GetDlgItem<QCheckBox>(1011)->click();
    dlg.GetDlgItem<QRadioButton>(1012)->click(); // an auto radio button unchecks its group
    dlg.GetDlgItem<QLineEdit>(1015)->setText("other");
    EXPECT_FALSE(dlg.GetDlgItem<QRadioButton>(1013)->isChecked());
    ASSERT_TRUE(dlg.UpdateData(true));
    EXPECT_EQ(dlg.m_bEnableSecurity, 1);
    EXPECT_EQ(dlg.m_bPrinting, 0);
    EXPECT_EQ(dlg.m_nEncryptionLevel, 0);
    EXPECT_EQ(dlg.m_strUserPassword, "other");
}

TEST(DataExchange, RadioGroupWithNothingCheckedIsMinusOne)
{
    QWidget host;
    SecurityLike dlg;
    dlg.m_nEncryptionLevel = -1;
    ASSERT_TRUE(dlg.Create(133, &host));
    EXPECT_FALSE(dlg.GetDlgItem<QRadioButton>(1012)->isChecked());
    EXPECT_FALSE(dlg.GetDlgItem<QRadioButton>(1013)->isChecked());
    dlg.m_nEncryptionLevel = 5;
    dlg.UpdateData(true);
    EXPECT_EQ(dlg.m_nEncryptionLevel, -1);
    // A second click on a checked auto radio button leaves it checked.
    dlg.GetDlgItem<QRadioButton>(1013)->click();
    dlg.GetDlgItem<QRadioButton>(1013)->click();
    dlg.UpdateData(true);
    EXPECT_EQ(dlg.m_nEncryptionLevel, 1);
}

TEST(DataExchange, CheckBoxThirdState)
{
    QWidget host;
    SecurityLike dlg;
    dlg.m_bPrinting = 2;
    ASSERT_TRUE(dlg.Create(133, &host));
    EXPECT_EQ(dlg.GetDlgItem<QCheckBox>(1011)->checkState(), Qt::PartiallyChecked);
    dlg.m_bPrinting = 0;
    dlg.UpdateData(true);
    EXPECT_EQ(dlg.m_bPrinting, 2);
}

TEST(DataExchange, MultiLineTextKeepsItsLineBreaks)
{
    QWidget host;
    DescriptionLike dlg;
    dlg.m_strDocKeywords = "first\nsecond (x)\\y";
    ASSERT_TRUE(dlg.Create(135, &host));
    auto* keywords = dlg.GetDlgItem<QPlainTextEdit>(1024);
    EXPECT_EQ(keywords->toPlainText(), "first\nsecond (x)\\y");
    keywords->setPlainText(QString::fromUtf8("Übersicht\nÉté"));
    dlg.UpdateData(true);
    EXPECT_EQ(dlg.m_strDocKeywords, QString::fromUtf8("Übersicht\nÉté"));
}

TEST(DataExchange, DropDownListSelectionIndex)
{
    QWidget host;
    AdvancedLike dlg;
    ASSERT_TRUE(dlg.Create(134, &host));
    auto* list = dlg.GetDlgItem<QComboBox>(1028);
    EXPECT_EQ(list->currentIndex(), 1);
    list->setCurrentIndex(0);
    dlg.UpdateData(true);
    EXPECT_EQ(dlg.m_nDocCompression, 0);
    dlg.m_nDocCompression = -1;
    dlg.UpdateData(false);
    EXPECT_EQ(list->currentIndex(), -1);
}

TEST(DataExchange, NothingToExchangeBeforeCreation)
{
    SecurityLike dlg;
    EXPECT_FALSE(dlg.UpdateData(true));
    EXPECT_EQ(dlg.m_strUserPassword, "secret");
}
