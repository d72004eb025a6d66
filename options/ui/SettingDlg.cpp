#include "options/ui/SettingDlg.h"

#include "framework/DataExchange.h"
#include "framework/MessageBox.h"
#include "options/ui/AdvancedDlg.h"
#include "options/ui/DescriptionDlg.h"
#include "options/ui/SecurityDlg.h"
#include "options/ui/SecurityProblem.h"

namespace {
constexpr int kPageHost = 1038;
constexpr int kDescriptionButton = 1046;
constexpr int kSecurityButton = 1044;
constexpr int kAdvancedButton = 1045;
} // namespace

CSettingDlg::CSettingDlg(CDescriptionDlg& description, CSecurityDlg& security, CAdvancedDlg& advanced)
    : CDialog(IDD, nullptr), m_description(description), m_security(security), m_advanced(advanced)
{
    ON_COMMAND(kDescriptionButton, &CSettingDlg::OnBtnDescription);
    ON_COMMAND(kSecurityButton, &CSettingDlg::OnBtnSecurity);
    ON_COMMAND(kAdvancedButton, &CSettingDlg::OnBtnAdvanced);
    ON_COMMAND(1047, &CSettingDlg::OnBtnOK);
    ON_COMMAND(1033, &CSettingDlg::OnBtnClose);
}

void CSettingDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, 1032, m_stTitle);
    DDX_Control(pDX, 1033, m_btnClose);
    DDX_Control(pDX, 1047, m_btnOK);
    DDX_Control(pDX, kDescriptionButton, m_btnDescription);
    DDX_Control(pDX, kSecurityButton, m_btnSecurity);
    DDX_Control(pDX, kAdvancedButton, m_btnAdvanced);
}

bool CSettingDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetToolWindow(true); // no taskbar entry; stays on top as the template says
    m_skin.Attach(this, kBitmap, CSkinFrame::kDraggableWindow);
    m_stTitle.SetTitleLine(QString::fromLatin1(kProgramTitle));
    m_btnClose.SetPngImage(152);
    m_btnOK.SetPngImage(154);
    m_btnDescription.SetBitmapImage(kPageOnShowBitmap);
    m_btnSecurity.SetBitmapImage(kOtherPageBitmap);
    m_btnAdvanced.SetBitmapImage(kOtherPageBitmap);
    CreatePages();
    return true;
}

void CSettingDlg::CreatePages()
{
    m_description.Create(CDescriptionDlg::IDD, this);
    m_security.Create(CSecurityDlg::IDD, this);
    m_advanced.Create(CAdvancedDlg::IDD, this);
    // The host label only lends its rectangle to the pages.
    QWidget* host = GetDlgItem(kPageHost);
    for (CDialog* page : {static_cast<CDialog*>(&m_description), static_cast<CDialog*>(&m_security),
                          static_cast<CDialog*>(&m_advanced)})
        page->PlaceOver(host);
    ShowDlgItem(kPageHost, SW_HIDE);
    ShowPage(kDescriptionButton);
}

void CSettingDlg::ShowPage(int buttonId)
{
    struct Page {
        int buttonId;
        CDialog& page;
        CBmpHoverButton& button;
    };
    const Page pages[] = {{kDescriptionButton, m_description, m_btnDescription},
                          {kSecurityButton, m_security, m_btnSecurity},
                          {kAdvancedButton, m_advanced, m_btnAdvanced}};
    if (buttonId != kDescriptionButton && buttonId != kSecurityButton && buttonId != kAdvancedButton)
        return;
    m_nPageOnShow = buttonId;
    for (const Page& p : pages)
        p.page.ShowWindow(p.buttonId == buttonId ? SW_SHOW : SW_HIDE);
    for (const Page& p : pages)
        p.button.SetBitmapImage(p.buttonId == buttonId ? kPageOnShowBitmap : kOtherPageBitmap);
    for (const Page& p : pages)
        p.button.update();
}

void CSettingDlg::Open()
{
    ShowWindow(SW_SHOW);
    m_security.OnCheckEnableSecurity();
    m_advanced.SaveSelections();
}

bool CSettingDlg::CheckSecurity()
{
    const QString problem = SecurityProblem(m_security);
    if (problem.isEmpty())
        return true;
    if (!isVisible())
        Open(); // the box stacks above this window, which the user must reach to mend it
    ShowPage(kSecurityButton);
    MessageBox(this, problem, QString::fromLatin1(kProgramTitle), MB_OK | MB_ICONEXCLAMATION);
    return false;
}

void CSettingDlg::OnBtnOK()
{
    if (!CheckSecurity())
        return;
    m_description.UpdateData(true);
    m_security.UpdateData(true);
    m_advanced.UpdateData(true);
    CDialog::OnOK();
}

void CSettingDlg::OnBtnClose()
{
    m_description.UpdateData(false);
    m_security.UpdateData(false);
    m_advanced.UpdateData(false);
    m_advanced.RestoreSelections();
    CDialog::OnCancel();
}
