#pragma once

#include "framework/CDialog.h"
#include "skin/FontStatic.h"
#include "skin/HoverButton.h"
#include "skin/HyperLink.h"
#include "skin/SkinFrame.h"

// The about box: product name and version, a notice, the rights line and a
// link to the product's web site on a skinned background. Moved by its title
// line only; OK, Enter, Escape and the close button close it.
class CAboutDlg : public CDialog {
    Q_OBJECT
public:
    enum { IDD = 100 };
    static constexpr int kBitmap = 156;

    explicit CAboutDlg(QWidget* pParent = nullptr);

    CSkinFrame m_skin; // background 156 and shape; no drag band
    CFontStatic m_stTitle;
    CHoverButton m_btnClose;
    CHoverButton m_btnOK;
    CFontStatic m_stProduct;
    CFontStatic m_stNotice;
    CFontStatic m_stRights;
    CHyperLink m_linkWeb;

protected:
    bool OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;

private:
    void OnBtnClose();
    void OnWebLink() {} // the link opens its target itself
};
