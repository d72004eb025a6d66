#include "app/MessageBox.h"

#include "app/ProductInfo.h"
#include "app/PromptSeam.h"
#include "framework/DataExchange.h"
#include "framework/UiThread.h"

namespace {
constexpr int kTitleColor = 0x3C3C3C;
constexpr quint8 kPlainStyle = CFontStatic::Plain;
} // namespace

CMessageBox::CMessageBox(QWidget* pParent)
    : CDialog(IDD, pParent)
{
    ON_COMMAND(1033, &CMessageBox::OnBtnClose);
    ON_COMMAND(IDOK, &CMessageBox::OnBtnOK);
    ON_COMMAND(1049, &CMessageBox::OnBtnNo);
}

void CMessageBox::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, 1032, m_stTitle);
    DDX_Control(pDX, 1041, m_stText);
    DDX_Control(pDX, 1033, m_btnClose);
    DDX_Control(pDX, IDOK, m_btnOK);
    DDX_Control(pDX, 1049, m_btnNo);
}

bool CMessageBox::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetToolWindow(true); // no taskbar entry
    m_skin.Attach(this, kBitmap, CSkinFrame::kDraggableWindow);

    m_stTitle.SetTitleLine(m_strTitle);
    m_stText.SetFontStyle(QStringLiteral("Tahoma"), 16, kTitleColor, kPlainStyle);
    m_stText.setText(m_strText);

    m_btnClose.SetPngImage(152);
    if (m_nType == 0) {
        m_btnOK.SetPngImage(154);
        return true;
    }
    m_btnOK.SetPngImage(186);
    m_btnNo.SetPngImage(185);
    m_btnOK.move(m_btnOK.x() - kYesShift, m_btnOK.y());
    ShowDlgItem(1049, SW_SHOW);
    return true;
}

void CMessageBox::OnBtnClose() { EndDialog(IDCLOSE); }

void CMessageBox::OnBtnOK() { EndDialog(IDYES); }

void CMessageBox::OnBtnNo() { EndDialog(IDNO); }

int ShowMessageBox(const QString& text, int type)
{
    return RunOnUiThread([&] {
        if (const std::optional<int> answer = CPromptSeam::InterceptMessageBox(text, type))
            return *answer;
        CMessageBox box;
        box.m_strTitle = QString::fromLatin1(ProductInfo::kProductName);
        box.m_strText = text;
        box.m_nType = type;
        return box.DoModal();
    });
}
