#include "app/AboutDlg.h"

#include "app/ProductInfo.h"
#include "framework/DataExchange.h"

namespace {
const QString kTahoma = QStringLiteral("Tahoma");
constexpr quint32 kTextColor = 0x3C3C3C;
constexpr quint32 kProductColor = 0xB07D01;
constexpr quint32 kRightsColor = 0x505050;
} // namespace

CAboutDlg::CAboutDlg(QWidget* pParent)
    : CDialog(IDD, pParent)
{
    ON_COMMAND(1033, &CAboutDlg::OnBtnClose);
    ON_COMMAND(1029, &CAboutDlg::OnWebLink);
}

void CAboutDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, 1032, m_stTitle);
    DDX_Control(pDX, 1033, m_btnClose);
    DDX_Control(pDX, IDOK, m_btnOK);
    DDX_Control(pDX, 1034, m_stProduct);
    DDX_Control(pDX, 1041, m_stNotice);
    DDX_Control(pDX, 1043, m_stRights);
    DDX_Control(pDX, 1029, m_linkWeb);
}

bool CAboutDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    // The link shows and opens the product's one web address.
    m_linkWeb.setText(QString::fromLatin1(ProductInfo::kWebAddress));
    m_linkWeb.PreSubclassWindow();

    m_skin.Attach(this, kBitmap, CSkinFrame::kFixedWindow);

    m_stTitle.SetTitleLine(QString::fromLatin1(ProductInfo::kAboutTitle));
    m_stProduct.SetFontStyle(kTahoma, 24, kProductColor, CFontStatic::Plain);
    m_stProduct.setText(QString::fromLatin1(ProductInfo::kProductLine));
    m_stNotice.SetFontStyle(kTahoma, 16, kTextColor, CFontStatic::Plain);
    m_stNotice.setText(QString::fromLatin1(ProductInfo::kNotice));
    m_stRights.SetFontStyle(kTahoma, 13, kRightsColor, CFontStatic::RightAligned);
    m_stRights.setText(QString::fromLatin1(ProductInfo::kRights));

    m_btnClose.SetPngImage(152);
    m_btnOK.SetPngImage(154);
    return true;
}

void CAboutDlg::OnBtnClose() { OnCancel(); }
