#include "app/shell/OrvikAllToPDFDlg.h"

#include "app/AboutDlg.h"
#include "app/MessageBox.h"
#include "app/ProductInfo.h"
#include "framework/DataExchange.h"
#include "platform/InstallationFolder.h"
#include "res/Resources.h"

#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPixmap>
#include <QScreen>
#include <QShortcut>
#include <QThreadPool>

namespace {
enum Control {
    IDC_PAGE_PLACE = 1001,
    IDC_HELP = 1022,
    IDC_ABOUT = 1023,
    IDC_WEBSITE = 1025,
    IDC_TITLE = 1032,
    IDC_CLOSE = 1033,
    IDC_MINIMIZE = 1036,
};

const QString kBusyText = QStringLiteral("Conversion is in progress, please wait for a moment.");
const QString kStopQuestion = QStringLiteral(" Are you sure you want to stop the conversion? ");
constexpr int kYesNoQuestion = 68;

QIcon ApplicationIcon()
{
    QPixmap pixmap;
    pixmap.loadFromData(Resources::Icon(COrvikAllToPDFDlg::kIcon), "PNG");
    return QIcon(pixmap);
}
} // namespace

COrvikAllToPDFDlg::COrvikAllToPDFDlg(QWidget* pParent)
    : CDialog(IDD, pParent), m_hIcon(ApplicationIcon())
{
    ON_COMMAND(IDC_HELP, &COrvikAllToPDFDlg::OnBtnHelp);
    ON_COMMAND(IDC_ABOUT, &COrvikAllToPDFDlg::OnBtnAbout);
    ON_COMMAND(IDC_WEBSITE, &COrvikAllToPDFDlg::OnBtnWebsite);
    ON_COMMAND(IDC_MINIMIZE, &COrvikAllToPDFDlg::OnBtnMinimize);
    ON_COMMAND(IDC_CLOSE, &COrvikAllToPDFDlg::OnBtnClose);
    ON_COMMAND(ID_HELP, &COrvikAllToPDFDlg::WinHelp);

    // F1 asks for help from any window of the program (the settings window
    // too); Qt holds it back while a modal box is up.
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    help->setContext(Qt::ApplicationShortcut);
    connect(help, &QShortcut::activated, this, [this] { OnCommand(ID_HELP); });
    auto* menu = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Space), this);
    connect(menu, &QShortcut::activated, this, [this] {
        ShowSystemMenu(mapToGlobal(m_stTitle.geometry().bottomLeft()));
    });
    // Where the desktop leaves Alt+F4 to the window (no window manager).
    auto* close = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_F4), this);
    connect(close, &QShortcut::activated, this, [this] { OnSysCommand(SC_CLOSE); });
}

COrvikAllToPDFDlg::~COrvikAllToPDFDlg()
{
    // Nothing of this window may react while the page's teardown waits for a
    // run and serves events meanwhile.
    DestroyWindow();
}

void COrvikAllToPDFDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_HELP, m_btnHelp);
    DDX_Control(pDX, IDC_ABOUT, m_btnAbout);
    DDX_Control(pDX, IDC_WEBSITE, m_btnWebsite);
    DDX_Control(pDX, IDC_TITLE, m_stTitle);
    DDX_Control(pDX, IDC_MINIMIZE, m_btnMinimize);
    DDX_Control(pDX, IDC_CLOSE, m_btnClose);
}

bool COrvikAllToPDFDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    BuildSystemMenu();
    setWindowIcon(m_hIcon);
    m_skin.Attach(this, kBitmap, CSkinFrame::kDraggableWindow);

    m_stTitle.SetTitleLine(QString::fromLatin1(ProductInfo::kProductName));
    m_btnClose.SetPngImage(160);
    m_btnMinimize.SetPngImage(158);
    m_btnHelp.SetPngImage(172);
    m_btnAbout.SetPngImage(171);
    m_btnWebsite.SetPngImage(170);

    m_dlgConvert.Create(CConvertDlg::IDD, this);
    m_dlgConvert.PlaceOver(GetDlgItem(IDC_PAGE_PLACE));
    m_dlgConvert.ShowWindow(SW_SHOW);

    SetWindowText(QString::fromLatin1(ProductInfo::kProductName));
    MoveToWorkArea();
    return true;
}

// The top-left corner of the work area: where no panel covers the drag band.
void COrvikAllToPDFDlg::MoveToWorkArea()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    move(screen ? screen->availableGeometry().topLeft() : QPoint(0, 0));
}

void COrvikAllToPDFDlg::BuildSystemMenu()
{
    if (m_pSysMenu || !Template()->Has(WindowStyle::SysMenu))
        return;
    m_pSysMenu = new QMenu(this);
    m_pSysMenu->addAction(QStringLiteral("Minimize"), this, [this] { OnSysCommand(SC_MINIMIZE); });
    // The key after the tab is shown as a hint; the window's own shortcut acts.
    m_pSysMenu->addAction(QStringLiteral("Close\tAlt+F4"), this, [this] { OnSysCommand(SC_CLOSE); });
    if (!QString::fromLatin1(kAboutBoxString).isEmpty()) {
        m_pSysMenu->addSeparator();
        m_pSysMenu->addAction(QStringLiteral("About Orvik Excel To PDF"), this,
                              [this] { OnSysCommand(IDM_ABOUTBOX); });
    }
}

void COrvikAllToPDFDlg::ShowSystemMenu(const QPoint& globalPos)
{
    if (m_pSysMenu && IsCreated())
        m_pSysMenu->popup(globalPos);
}

void COrvikAllToPDFDlg::contextMenuEvent(QContextMenuEvent* event)
{
    const bool inBand = event->pos().y() < CSkinFrame::kDragBandHeight;
    if (inBand || m_stTitle.geometry().contains(event->pos()))
        ShowSystemMenu(event->globalPos());
    event->accept();
}

void COrvikAllToPDFDlg::OnSysCommand(unsigned nID)
{
    if ((nID & SC_MASK) == IDM_ABOUTBOX) {
        OnBtnAbout();
        return;
    }
    if (nID == SC_CLOSE && m_dlgConvert.IsConverting() &&
        m_dlgConvert.AskOverRuns(kStopQuestion, kYesNoQuestion) != IDYES)
        return;
    if (nID == SC_CLOSE)
        OnCancel(); // ends the run; the page stops the conversion when it goes
    else if (nID == SC_MINIMIZE)
        showMinimized();
}

// The desktop's close (window menu of the desktop, Alt+F4): the same path as
// the window menu's Close.
void COrvikAllToPDFDlg::OnClose() { OnSysCommand(SC_CLOSE); }

bool COrvikAllToPDFDlg::PreTranslateMessage(QWidget* target, QKeyEvent* key)
{
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || key->key() == Qt::Key_Escape)
        return false;
    return CDialog::PreTranslateMessage(target, key);
}

void COrvikAllToPDFDlg::OnBtnAbout()
{
    CAboutDlg dlg(this);
    dlg.DoModal();
}

QString COrvikAllToPDFDlg::HelpFilePath()
{
    return InstallationFolder() + QLatin1Char('/') + QLatin1String(kHelpFileName);
}

void COrvikAllToPDFDlg::WinHelp() { OpenInBackground(HelpFilePath()); }

void COrvikAllToPDFDlg::OnBtnWebsite() { OpenInBackground(QString::fromLatin1(ProductInfo::kWebAddress)); }

// The opener may wait seconds for the desktop's verdict; the window must not.
// A failure shows nothing.
void COrvikAllToPDFDlg::OpenInBackground(const QString& target) const
{
    const CLinkOpener opener = m_linkOpener;
    QThreadPool::globalInstance()->start([opener, target] { (void)opener.Open(target); });
}

void COrvikAllToPDFDlg::OnBtnMinimize() { OnSysCommand(SC_MINIMIZE); }

void COrvikAllToPDFDlg::OnBtnClose()
{
    if (m_dlgConvert.IsConverting()) {
        ShowMessageBox(kBusyText, 0);
        return;
    }
    OnCancel();
}
