#include "framework/DataExchange.h"

#include "framework/CDialog.h"
#include "framework/WindowOps.h"

#include <QAbstractButton>
#include <QComboBox>

void DDX_Control(CDataExchange* pDX, int id, QWidget& control)
{
    pDX->m_pDlgWnd->AttachControl(id, control);
}

void DDX_Text(CDataExchange* pDX, int id, QString& value)
{
    QWidget* control = pDX->m_pDlgWnd->GetDlgItem(id);
    if (!control)
        return;
    if (pDX->m_bSaveAndValidate)
        value = Wnd::GetWindowText(control);
    else
        Wnd::SetWindowText(control, value);
}

void DDX_Check(CDataExchange* pDX, int id, int& value)
{
    if (pDX->m_bSaveAndValidate)
        value = pDX->m_pDlgWnd->IsDlgButtonChecked(id);
    else
        pDX->m_pDlgWnd->CheckDlgButton(id, value);
}

void DDX_Radio(CDataExchange* pDX, int id, int& value)
{
    CDialog* dlg = pDX->m_pDlgWnd;
    const std::vector<int> group = dlg->RadioGroup(id);
    if (pDX->m_bSaveAndValidate) {
        value = -1;
        for (size_t i = 0; i < group.size(); ++i)
            if (dlg->IsDlgButtonChecked(group[i]))
                value = static_cast<int>(i);
    } else {
        for (size_t i = 0; i < group.size(); ++i)
            dlg->CheckDlgButton(group[i], static_cast<int>(i) == value ? 1 : 0);
    }
}

void DDX_CBIndex(CDataExchange* pDX, int id, int& index)
{
    auto* combo = pDX->m_pDlgWnd->GetDlgItem<QComboBox>(id);
    if (!combo)
        return;
    if (pDX->m_bSaveAndValidate)
        index = combo->currentIndex();
    else
        combo->setCurrentIndex(index);
}
