#pragma once

// The settings window with its three pages, made the way the conversion page
// makes them (pages first, the window created hidden without a parent), and
// the steps the conversion page takes with them.
#include "app/DialogDriver.h"
#include "engine/GhostscriptTestFiles.h" // also prints QString values in failures
#include "framework/MessageBoxSeam.h"
#include "options/ui/AdvancedDlg.h"
#include "options/ui/DescriptionDlg.h"
#include "options/ui/ReadConversionOptions.h"
#include "options/ui/SecurityDlg.h"
#include "options/ui/SettingDlg.h"
#include "skin/TahomaFace.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTest>

#include <optional>

namespace settingstest {

struct Settings {
    // Refusals are answered, never left waiting for a click, unless a test asks for the real box.
    std::optional<MessageBoxSeam> answers;
    CDescriptionDlg description;
    CSecurityDlg security;
    CAdvancedDlg advanced;
    CSettingDlg window{description, security, advanced};

    explicit Settings(bool realBoxes = false)
    {
        if (!realBoxes)
            answers.emplace();
        static bool faceInstalled = (InstallTahomaFace(), true);
        (void)faceInstalled;
        EXPECT_TRUE(window.Create(CSettingDlg::IDD));
    }

    // The conversion page's "Setting" button.
    void Open()
    {
        window.ShowWindow(SW_SHOW);
        security.OnCheckEnableSecurity();
        advanced.SaveSelections();
    }
    // The conversion page's exchange when a conversion starts.
    void StartExchange()
    {
        advanced.UpdateData(true);
        security.UpdateData(true);
        description.UpdateData(true);
    }
    void Ok() { QTest::mouseClick(&window.m_btnOK, Qt::LeftButton); }
    void Close() { QTest::mouseClick(&window.m_btnClose, Qt::LeftButton); }
    ConversionOptions Options() const { return ReadConversionOptions(description, security, advanced); }

    QLineEdit* Edit(CDialog& page, int id) { return page.GetDlgItem<QLineEdit>(id); }
    QPlainTextEdit* Keywords() { return description.GetDlgItem<QPlainTextEdit>(1024); }
    QComboBox* List(int id) { return advanced.GetDlgItem<QComboBox>(id); }
    QAbstractButton* Button(int id) { return security.GetDlgItem<QAbstractButton>(id); }

    // A click as the user makes it, on the box's mark (the handler runs after the box toggles).
    void Click(int securityId)
    {
        QAbstractButton* button = Button(securityId);
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
    }
    void Type(QWidget* edit, const QString& text) { QTest::keyClicks(edit, text); }
    void Pick(int listId, const QString& item)
    {
        QComboBox* list = List(listId);
        const int index = list->findText(item);
        ASSERT_GE(index, 0) << item.toStdString();
        list->setCurrentIndex(index);
    }
    // Security on, with an owner password typed.
    void EnableSecurity(const QString& owner)
    {
        if (!security.IsDlgButtonChecked(1005))
            Click(1005);
        Type(Edit(security, 1022), owner);
    }
};

} // namespace settingstest
