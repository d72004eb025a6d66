#include "convert_page/FinishDlg.h"

#include "framework/DataExchange.h"
#include "framework/MessageBox.h"
#include "framework/SortedListItem.h"
#include "platform/FileManagerReveal.h"
#include "platform/LinkOpener.h"

#include <QSet>

namespace {
constexpr int kOpenFile = 1025;
constexpr int kOpenFolder = 1026;
constexpr int kCloseBox = 1033;
constexpr int kResults = 1024;
constexpr int kTitle = 1032;
constexpr int kMessage = 1027;
constexpr quint32 kTextColor = 0x3C3C3C;
} // namespace

CFinishDlg::CFinishDlg(QWidget* pParent)
    : CDialog(IDD, pParent)
{
    ON_COMMAND(kOpenFile, &CFinishDlg::OnBtnOpenFile);
    ON_COMMAND(kOpenFolder, &CFinishDlg::OnBtnOpenFolder);
    ON_COMMAND(IDCANCEL, &CFinishDlg::OnBtnClose);
    ON_COMMAND(kCloseBox, &CFinishDlg::OnBtnClose);
}

void CFinishDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, kTitle, m_stTitle);
    DDX_Control(pDX, kCloseBox, m_btnClose);
    DDX_Control(pDX, kMessage, m_stMessage);
    DDX_Control(pDX, kResults, m_lbResults);
    DDX_Control(pDX, kOpenFile, m_btnOpenFile);
    DDX_Control(pDX, kOpenFolder, m_btnOpenFolder);
    DDX_Control(pDX, IDCANCEL, m_btnCancel);
}

bool CFinishDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_skin.Attach(this, kBitmap, CSkinFrame::kDraggableWindow);

    m_stMessage.SetFontStyle(QStringLiteral("Tahoma"), 16, kTextColor, CFontStatic::Plain);
    m_stTitle.SetTitleLine(QStringLiteral("Orvik Excel To PDF"));

    m_btnOpenFile.SetPngImage(176);
    m_btnOpenFolder.SetPngImage(177);
    m_btnCancel.SetPngImage(175);

    FillResults();
    m_stMessage.setText(QStringLiteral("Conversion Completes!"));
    if (m_lbResults.count() > 0)
        m_lbResults.setCurrentRow(0);
    if (!m_strFolder.endsWith(QLatin1Char('/')))
        m_strFolder += QLatin1Char('/');
    return true;
}

// Each name once: a PDF replaced within one run was reported twice.
void CFinishDlg::FillResults()
{
    m_lbResults.clear();
    QSet<QString> listed;
    for (const QString& name : std::as_const(m_lstPdfNames)) {
        if (!listed.contains(name)) {
            listed.insert(name);
            m_lbResults.addItem(new CSortedListItem(name));
        }
    }
}

QString CFinishDlg::SelectedName() const
{
    const QList<QListWidgetItem*> selected = m_lbResults.selectedItems();
    return selected.isEmpty() ? QString() : selected.first()->text();
}

void CFinishDlg::OnBtnOpenFile()
{
    const QString name = SelectedName();
    if (name.isEmpty()) {
        MessageBox(this, QStringLiteral("Please choose one file !"), QStringLiteral("ERROR"), MB_OK | MB_ICONSTOP);
        return;
    }
    // xdg-open fails silently when nothing handles PDF; say so instead. The
    // lookup only reads the desktop's association lists, no program is run.
    if (CLinkOpener::DefaultHandlerId(QStringLiteral("application/pdf")).isEmpty()) {
        MessageBox(this,
                   QStringLiteral("No program on this computer opens PDF files.\n"
                                  "Please install a PDF viewer, then try again."),
                   QString::fromLatin1(kProgramTitle), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    CLinkOpener::StartDetached({QStringLiteral("xdg-open"), m_strFolder + name});
}

void CFinishDlg::OnBtnOpenFolder()
{
    QString name = SelectedName();
    if (name.isEmpty() && m_lbResults.count() > 0)
        name = m_lbResults.item(0)->text();
    if (name.isEmpty())
        return;
    CFileManagerReveal::ShowItem(m_strFolder + name);
}

void CFinishDlg::OnBtnClose()
{
    m_lstPdfNames.clear();
    OnCancel();
}
