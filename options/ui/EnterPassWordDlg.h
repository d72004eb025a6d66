#pragma once

#include "framework/CDialog.h"
#include "skin/FontStatic.h"
#include "skin/HoverButton.h"
#include "skin/SkinFrame.h"

#include <QString>

// Asks for the password of a workbook that would not open. The caller sets
// m_strFileName and runs it modally: 1 (OK) with m_strPassword, or 2 (Cancel,
// Escape, close button) with m_strPassword empty. Moved by its title line only.
class CEnterPassWordDlg : public CDialog {
    Q_OBJECT
public:
    enum { IDD = 148 };
    static constexpr int kBitmap = 145;

    explicit CEnterPassWordDlg(QWidget* pParent = nullptr);

    // The message naming the file, as the prompt shows it.
    static QString MessageFor(const QString& fileName);

    CSkinFrame m_skin; // background 145 and shape; no drag band
    QString m_strPassword; // out
    QString m_strFileName; // in
    CFontStatic m_stTitle;
    CHoverButton m_btnClose;
    CHoverButton m_btnOK;
    CHoverButton m_btnCancel;
    CFontStatic m_stMessage;
    CFontStatic m_stPrompt;

protected:
    bool OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;

private:
    void OnBtnClose();
};
