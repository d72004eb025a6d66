#include "options/ui/DescriptionDlg.h"

#include "framework/DataExchange.h"
#include "options/ui/FitTexts.h"

#include <QPainter>

CDescriptionDlg::CDescriptionDlg(QWidget* pParent)
    : CDialog(IDD, pParent)
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

bool CDescriptionDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    FitTexts(*this);
    return true;
}

void CDescriptionDlg::OnEraseBkgnd(QPainter& painter)
{
    // The labels draw straight onto the white page.
    painter.fillRect(rect(), m_brBackground);
}
