#pragma once

#include "framework/CDialog.h"
#include "skin/BmpHoverButton.h"
#include "skin/FontStatic.h"
#include "skin/HoverButton.h"
#include "skin/SkinFrame.h"

class CAdvancedDlg;
class CDescriptionDlg;
class CSecurityDlg;

// The settings window: a skinned, topmost tool window without a parent that
// shows one of the three option pages at a time. OK keeps the edits of the
// pages (after refusing unusable security settings), the close button drops
// them and puts the lists back to the selections they had when the window was
// opened. Created once, hidden; shown and hidden, never destroyed, while the
// program runs. The pages belong to the caller and must outlive the window.
class CSettingDlg : public CDialog {
    Q_OBJECT
public:
    enum { IDD = 162 };
    static constexpr int kBitmap = 163;
    static constexpr int kPageOnShowBitmap = 181;
    static constexpr int kOtherPageBitmap = 182;

    CSettingDlg(CDescriptionDlg& description, CSecurityDlg& security, CAdvancedDlg& advanced);

    // Shows the page of page button 1046 (Description), 1044 (Security) or 1045
    // (Advanced) and gives the buttons their looks; other ids change nothing.
    void ShowPage(int buttonId);
    // The page button whose page is on show.
    int PageOnShow() const { return m_nPageOnShow; }
    // What the conversion page's "Setting" button does: shows the window, matches
    // the Security page's enabled states to its boxes and takes the snapshot of
    // the Advanced page's lists.
    void Open();
    // False, after showing the Security page (opening the window when hidden) and
    // a message box owned by this window with the reason, when the Security page
    // shows settings that cannot be used; else true without a word.
    bool CheckSecurity();

    CSkinFrame m_skin; // background 163, shape and drag band
    CFontStatic m_stTitle;            // 1032
    CHoverButton m_btnClose;          // 1033
    CHoverButton m_btnOK;             // 1047
    CBmpHoverButton m_btnDescription; // 1046
    CBmpHoverButton m_btnSecurity;    // 1044
    CBmpHoverButton m_btnAdvanced;    // 1045

protected:
    bool OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;

private:
    void OnBtnDescription() { ShowPage(1046); }
    void OnBtnSecurity() { ShowPage(1044); }
    void OnBtnAdvanced() { ShowPage(1045); }
    void OnBtnOK();
    void OnBtnClose();
    void CreatePages();

    CDescriptionDlg& m_description;
    CSecurityDlg& m_security;
    CAdvancedDlg& m_advanced;
    int m_nPageOnShow = 1046;
};
