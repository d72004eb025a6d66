#include "options/ui/SecurityDlg.h"

#include "framework/DataExchange.h"

namespace {
constexpr int kEnableSecurity = 1005;
constexpr int kUserPasswordCheck = 1006;
constexpr int kOwnerPasswordCheck = 1007;
constexpr int kUserPasswordEdit = 1015;
constexpr int kOwnerPasswordEdit = 1022;
constexpr int kLow = 1012;
constexpr int kHigh = 1013;
} // namespace

CSecurityDlg::CSecurityDlg(QWidget* pParent)
    : COptionPage(IDD, pParent)
{
    ON_COMMAND(kEnableSecurity, &CSecurityDlg::OnCheckEnableSecurity);
    ON_COMMAND(kUserPasswordCheck, &CSecurityDlg::OnCheckUserPassword);
    ON_COMMAND(kOwnerPasswordCheck, &CSecurityDlg::OnCheckOwnerPassword);
}

void CSecurityDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Check(pDX, kEnableSecurity, m_bEnableSecurity);
    DDX_Check(pDX, kOwnerPasswordCheck, m_bOwnerPassword);
    DDX_Check(pDX, kUserPasswordCheck, m_bUserPassword);
    DDX_Check(pDX, 1008, m_bCopyExtract);
    DDX_Check(pDX, 1009, m_bFormFill);
    DDX_Check(pDX, 1010, m_bChangeDoc);
    DDX_Check(pDX, 1011, m_bPrinting);
    DDX_Radio(pDX, kLow, m_nEncryptionLevel);
    DDX_Text(pDX, kUserPasswordEdit, m_strUserPassword);
    DDX_Text(pDX, kOwnerPasswordEdit, m_strOwnerPassword);
    DDX_Control(pDX, 1048, m_gbPassword);
    DDX_Control(pDX, 1021, m_gbAllowedActions);
    DDX_Control(pDX, 1023, m_gbEncryptionLevel);
}

bool CSecurityDlg::OnInitDialog()
{
    COptionPage::OnInitDialog();
    // The group boxes draw their own frames with the captions the template gave them.
    m_gbPassword.Attach();
    m_gbAllowedActions.Attach();
    m_gbEncryptionLevel.Attach();
    ResetSecurityControls();
    return true;
}

void CSecurityDlg::EnableSecurityControls(bool enable)
{
    for (int id : {kOwnerPasswordEdit, kOwnerPasswordCheck, kUserPasswordEdit, kUserPasswordCheck, 1008, 1009, 1010,
                   1011, kHigh, kLow})
        EnableDlgItem(id, enable);
}

void CSecurityDlg::OnCheckEnableSecurity()
{
    if (!IsDlgButtonChecked(kEnableSecurity)) {
        EnableSecurityControls(false);
        return;
    }
    EnableSecurityControls(true);
    OnCheckUserPassword();
    OnCheckOwnerPassword();
}

void CSecurityDlg::OnCheckUserPassword()
{
    EnableDlgItem(kUserPasswordEdit, IsDlgButtonChecked(kUserPasswordCheck) == BST_CHECKED);
}

void CSecurityDlg::OnCheckOwnerPassword()
{
    EnableDlgItem(kOwnerPasswordEdit, IsDlgButtonChecked(kOwnerPasswordCheck) == BST_CHECKED);
}

void CSecurityDlg::ResetSecurityControls()
{
    // The members take the state the page shows, so that a close of the settings
    // window (members into controls) keeps what the user saw.
    m_strUserPassword.clear();
    m_strOwnerPassword.clear();
    m_bEnableSecurity = 0;
    m_bOwnerPassword = 1;
    m_bUserPassword = 1;
    m_nEncryptionLevel = 0;
    UpdateData(false);
    EnableSecurityControls(false);
}

