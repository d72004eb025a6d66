#pragma once

#include "options/ui/OptionPage.h"
#include "skin/SxGroupBox.h"

#include <QString>

// The Security page of the settings window: whether the PDF is protected, the
// owner and user passwords, the actions withdrawn and the encryption level. It
// keeps the enabled state of its controls in line with its check boxes. A white
// child page; Enter and Escape do nothing here.
class CSecurityDlg : public COptionPage {
    Q_OBJECT
public:
    enum { IDD = 133 };

    explicit CSecurityDlg(QWidget* pParent = nullptr);

    // Flags 0 or 1, as the check boxes show them. Both password boxes start
    // checked, so their members start at 1.
    int m_bEnableSecurity = 0; // 1005
    int m_bOwnerPassword = 1;  // 1007
    int m_bUserPassword = 1;   // 1006
    int m_bCopyExtract = 0;    // 1008
    int m_bFormFill = 0;       // 1009
    int m_bChangeDoc = 0;      // 1010
    int m_bPrinting = 0;       // 1011
    int m_nEncryptionLevel = 0; // radios 1012 (0, 40-bit) and 1013 (1, 128-bit)
    QString m_strUserPassword;  // 1015
    QString m_strOwnerPassword; // 1022
    CSxGroupBox m_gbPassword;        // 1048
    CSxGroupBox m_gbAllowedActions;  // 1021
    CSxGroupBox m_gbEncryptionLevel; // 1023

    // Enables or disables every control that depends on "Enable PDF Security".
    void EnableSecurityControls(bool enable);
    // Enables the controls as the check boxes say (also when the window opens).
    void OnCheckEnableSecurity();
    void OnCheckUserPassword();
    void OnCheckOwnerPassword();
    // The starting state, in the members and on the page: empty passwords, "Low"
    // picked, security off, both password boxes checked, everything but "Enable
    // PDF Security" disabled. The four permissions show their members.
    void ResetSecurityControls();

protected:
    bool OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
};
