#include "options/ui/EnterPassWordDlg.h"

#include "framework/DataExchange.h"

namespace {
constexpr int kPasswordEdit = 1031;
// "MS Sans Serif" is a bitmap face whose smallest cell is 13 pixels: the font
// mapper answers the statics' default height 8 with that size, so the message
// and the prompt ask for it outright (an outline face would shrink to 8).
constexpr int kSansSerifCell = 13;
} // namespace

CEnterPassWordDlg::CEnterPassWordDlg(QWidget* pParent)
    : CDialog(IDD, pParent)
{
    ON_COMMAND(1033, &CEnterPassWordDlg::OnBtnClose);
}

QString CEnterPassWordDlg::MessageFor(const QString& fileName)
{
    return QStringLiteral("The program has detected that file \"%1\"  is password protected. "
                          "Please enter the password for the conversion.")
        .arg(fileName);
}

void CEnterPassWordDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, 1032, m_stTitle);
    DDX_Control(pDX, 1033, m_btnClose);
    DDX_Control(pDX, IDOK, m_btnOK);
    DDX_Control(pDX, IDCANCEL, m_btnCancel);
    DDX_Control(pDX, 1030, m_stMessage);
    DDX_Control(pDX, 1050, m_stPrompt);
}

bool CEnterPassWordDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_skin.Attach(this, kBitmap, CSkinFrame::kFixedWindow);

    m_stTitle.SetTitleLine(QStringLiteral("Orvik Excel To PDF"));

    m_btnClose.SetPngImage(152);
    m_btnOK.SetPngImage(154);
    m_btnCancel.SetPngImage(153);

    m_stMessage.SetFontStyle(QStringLiteral("MS Sans Serif"), kSansSerifCell, 0, CFontStatic::Plain);
    m_stPrompt.SetFontStyle(QStringLiteral("MS Sans Serif"), kSansSerifCell, 0, CFontStatic::Plain);
    SetDlgItemText(1030, MessageFor(m_strFileName));
    return true; // the focus goes to the first tab stop, the password edit
}

void CEnterPassWordDlg::OnOK()
{
    m_strPassword = GetDlgItemText(kPasswordEdit);
    CDialog::OnOK();
}

void CEnterPassWordDlg::OnBtnClose() { OnCancel(); }
