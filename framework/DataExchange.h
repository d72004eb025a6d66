#pragma once

#include <QString>

class CDialog;
class QWidget;

// One data exchange between a dialog's members and its controls: with
// m_bSaveAndValidate the controls' values go into the members, else the other way.
class CDataExchange {
public:
    CDataExchange(CDialog* pDlgWnd, bool bSaveAndValidate) : m_pDlgWnd(pDlgWnd), m_bSaveAndValidate(bSaveAndValidate) {}

    CDialog* m_pDlgWnd;
    bool m_bSaveAndValidate;
};

// Binds a window's own control object to id (see CDialog::AttachControl); moves no value.
void DDX_Control(CDataExchange* pDX, int id, QWidget& control);
// The control's text (edit, static, button).
void DDX_Text(CDataExchange* pDX, int id, QString& value);
// A check box: 0 unchecked, 1 checked, 2 indeterminate.
void DDX_Check(CDataExchange* pDX, int id, int& value);
// A radio group starting at id: the index of the checked button in template order,
// -1 when none is checked (and -1 unchecks all).
void DDX_Radio(CDataExchange* pDX, int id, int& value);
// The selected index of a drop-down list, -1 for none.
void DDX_CBIndex(CDataExchange* pDX, int id, int& index);
