#include "options/ui/SecurityProblem.h"

#include "options/ConversionOptions.h"
#include "options/SecurityCheck.h"
#include "options/ui/SecurityDlg.h"

QString SecurityProblem(const CSecurityDlg& security)
{
    ConversionOptions shown;
    shown.m_bEnableSecurity = security.IsDlgButtonChecked(1005);
    shown.m_bOwnerPassword = security.IsDlgButtonChecked(1007);
    shown.m_bUserPassword = security.IsDlgButtonChecked(1006);
    shown.m_strUserPassword = security.GetDlgItemText(1015);
    shown.m_strOwnerPassword = security.GetDlgItemText(1022);
    return SecurityProblem(shown);
}
