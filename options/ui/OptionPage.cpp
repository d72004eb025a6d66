#include "options/ui/OptionPage.h"

#include "options/ui/FitTexts.h"

#include <QPainter>

bool COptionPage::OnInitDialog()
{
    CDialog::OnInitDialog();
    FitTexts(*this);
    return true;
}

void COptionPage::OnEraseBkgnd(QPainter& painter)
{
    painter.fillRect(rect(), m_brBackground);
}
