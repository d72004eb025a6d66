#pragma once

#include "framework/CDialog.h"
#include "skin/FontStatic.h"
#include "skin/HoverButton.h"
#include "skin/SkinFrame.h"

#include <QString>

// The program's own message box: a small skinned window with the product name
// as its title, a text, and one OK button (type 0) or Yes and No (any other
// type). Ends with 6 for OK or Yes, 7 for No, 8 for the close button and 2 for
// Escape.
class CMessageBox : public CDialog {
    Q_OBJECT
public:
    enum { IDD = 184 };
    static constexpr int kBitmap = 187;
    static constexpr int kYesShift = 70; // Yes stands this far left of the OK place

    explicit CMessageBox(QWidget* pParent = nullptr);

    CSkinFrame m_skin; // background 187, shape and drag band
    CFontStatic m_stTitle;
    CFontStatic m_stText;
    CHoverButton m_btnClose;
    CHoverButton m_btnOK; // OK, or Yes when the box asks
    CHoverButton m_btnNo;
    int m_nType = 0;
    QString m_strTitle;
    QString m_strText;

protected:
    bool OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;

private:
    void OnBtnClose();
    void OnBtnOK();
    void OnBtnNo();
};

// Runs the skinned box modally over the main window and returns its result.
// Any thread: from another thread the box runs on the window thread while the
// caller waits.
int ShowMessageBox(const QString& text, int type);
