#include "options/ui/DescriptionDlg.h"

#include "framework/DataExchange.h"

CDescriptionDlg::CDescriptionDlg(QWidget* pParent)
    : COptionPage(IDD, pParent)
{
}

void CDescriptionDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, 1021, m_strDocTitle);
    DDX_Text(pDX, 1023, m_strDocSubject);
    DDX_Text(pDX, 1026, m_strDocAuthor);
    DDX_Text(pDX, 1024, m_strDocKeywords);
}

