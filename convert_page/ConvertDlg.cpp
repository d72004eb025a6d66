#include "convert_page/ConvertDlg.h"

#include "app/MessageBox.h"
#include "convert_page/ConversionWorker.h"
#include "framework/DataExchange.h"
#include "framework/FileDialog.h"
#include "framework/MainWnd.h"
#include "framework/MessageBox.h"
#include "framework/UiThread.h"
#include "options/ui/ReadConversionOptions.h"
#include "options/ui/SecurityProblem.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPointer>

namespace {
constexpr quint32 kPageColor = 0xF1F1F1;
constexpr quint32 kHeadingColor = 0x9C6923;
constexpr quint8 kPlainStyle = CFontStatic::Plain;
constexpr int kStopQuestionType = 68;
constexpr int kDotCycle = 7;

const QString kFilter = QStringLiteral("Excel Files(*.xls;*.xlsx) (*.xls *.xlsx)");
const QString kBusy = QStringLiteral("Working now,Hold for a moment!");
const QString kReady = QStringLiteral("Ready");
const QString kStartToConvert = QStringLiteral("Start to convert");
const QString kStopQuestion = QStringLiteral("Are you sure you want to stop the conversion? ");

enum Control {
    IDC_HEADING = 1003,
    IDC_STATUS_LABEL = 1004,
    IDC_FILES = 1008,
    IDC_ADD = 1009,
    IDC_REMOVE = 1010,
    IDC_REMOVE_ALL = 1011,
    IDC_OUTPUT = 1017,
    IDC_BROWSE = 1018,
    IDC_CONVERT = 1019,
    IDC_STATUS = 1023,
    IDC_PROGRESS = 1027,
    IDC_SETTING = 1037,
};

QColor FromColorRef(quint32 ref)
{
    return QColor(int(ref & 0xFF), int((ref >> 8) & 0xFF), int((ref >> 16) & 0xFF));
}

// The folder a workbook lies in, with a trailing separator.
QString FolderOf(const QString& path)
{
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : path.left(slash + 1);
}

QString ExtensionOf(const QString& path)
{
    const int dot = path.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : path.mid(dot + 1).toLower();
}
} // namespace

CConvertDlg::CConvertDlg(QWidget* pParent)
    : CDialog(IDD, pParent),
      m_dlgSetting(m_dlgDescription, m_dlgSecurity, m_dlgAdvanced),
      m_runs(&m_prompts, PageOptions(), RunCallbacks())
{
    ON_COMMAND(IDC_ADD, &CConvertDlg::OnBtnAddFiles);
    ON_COMMAND(IDC_REMOVE, &CConvertDlg::OnBtnRemove);
    ON_COMMAND(IDC_REMOVE_ALL, &CConvertDlg::OnBtnRemoveAll);
    ON_COMMAND(IDC_BROWSE, &CConvertDlg::OnBtnBrowse);
    ON_COMMAND(IDC_SETTING, &CConvertDlg::OnBtnSetting);
    ON_COMMAND(IDC_CONVERT, &CConvertDlg::OnBtnConvert);
    ON_CONTROL(LBN_SELCHANGE, IDC_FILES, &CConvertDlg::OnSelChangeFiles);
    // The one settings window: hidden, without a parent, until "Setting" shows it.
    m_dlgSetting.Create(CSettingDlg::IDD);
}

CConvertDlg::~CConvertDlg()
{
    KillTimer(IDT_STATUS);
    KillTimer(IDT_FINISH);
    m_runs.Close();
}

void CConvertDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_PROGRESS, m_progress);
    DDX_Control(pDX, IDC_FILES, m_lbFiles);
    DDX_Control(pDX, IDC_STATUS, m_edStatus);
    DDX_Control(pDX, IDC_ADD, m_btnAdd);
    DDX_Control(pDX, IDC_REMOVE, m_btnRemove);
    DDX_Control(pDX, IDC_REMOVE_ALL, m_btnRemoveAll);
    DDX_Control(pDX, IDC_SETTING, m_btnSetting);
    DDX_Control(pDX, IDC_BROWSE, m_btnBrowse);
    DDX_Control(pDX, IDC_CONVERT, m_btnConvert);
    DDX_Control(pDX, IDC_HEADING, m_stHeading);
    DDX_Control(pDX, IDC_STATUS_LABEL, m_stStatusLabel);
    DDX_Text(pDX, IDC_OUTPUT, m_strOutputPath);
}

bool CConvertDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_skin.Attach(this, kBitmap, CSkinFrame::kBackgroundOnly);
    ApplyColours();
    m_progress.SetRange(100);
    // The bar takes the size of its track bitmap, so its lower edge is not cut off.
    m_progress.resize(m_progress.Compose().size());

    const QString tahoma = QStringLiteral("Tahoma");
    m_stHeading.SetFontStyle(tahoma, 18, kHeadingColor, kPlainStyle);
    m_stStatusLabel.SetFontStyle(tahoma, 16, kHeadingColor, kPlainStyle);

    m_btnAdd.SetPngImage(165);
    m_btnRemove.SetPngImage(168);
    m_btnRemoveAll.SetPngImage(167);
    m_btnSetting.SetPngImage(164);
    m_btnConvert.SetPngImage(169);
    m_btnBrowse.SetPngImage(166);

    EnableDlgItem(IDC_REMOVE, false);
    EnableDlgItem(IDC_REMOVE_ALL, false);
    EnableDlgItem(IDC_CONVERT, false);

    // The status line reads on the line of its label.
    m_edStatus.setAlignment(Qt::AlignLeft | Qt::AlignTop);

    m_lbFiles.m_lstExtensions = {QStringLiteral("xls"), QStringLiteral("xlsx")};
    m_lbFiles.m_pNotifyWnd = this;
    return true;
}

// Labels and enabled edits stand on the page's grey; a disabled edit keeps the
// standard look, the list its white.
void CConvertDlg::ApplyColours()
{
    const QColor grey = FromColorRef(kPageColor);
    for (QLabel* label : findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
        if (qobject_cast<CFontStatic*>(label))
            continue;
        QPalette palette = label->palette();
        palette.setColor(QPalette::Window, grey);
        label->setPalette(palette);
        label->setAutoFillBackground(true);
    }
    for (int id : {IDC_OUTPUT, IDC_STATUS}) {
        QWidget* edit = GetDlgItem(id);
        if (!edit)
            continue;
        QPalette palette = edit->palette();
        palette.setColor(QPalette::Active, QPalette::Base, grey);
        palette.setColor(QPalette::Inactive, QPalette::Base, grey);
        edit->setPalette(palette);
    }
}

bool CConvertDlg::PreTranslateMessage(QWidget* target, QKeyEvent* key)
{
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        return false; // neither key ends or presses anything here
    default:
        return CDialog::PreTranslateMessage(target, key);
    }
}

void CConvertDlg::WarnBusy()
{
    AfxMessageBox(kBusy, MB_OK);
}

void CConvertDlg::SetStatus(const QString& text)
{
    m_edStatus.setText(text);
}

void CConvertDlg::SetConvertLook(bool stop)
{
    m_btnConvert.setText(stop ? QStringLiteral("Stop") : QStringLiteral("Convert"));
    m_btnConvert.SetPngImage(stop ? 183 : 169);
    m_btnConvert.update();
}

void CConvertDlg::OnBtnAddFiles()
{
    if (m_bConverting) {
        WarnBusy();
        return;
    }
    const QStringList files = CFileDialog::GetOpenFileNames(AfxGetMainWnd(), kFilter);
    if (!files.isEmpty()) {
        SetDlgItemText(IDC_OUTPUT, FolderOf(QFileInfo(files.first()).absoluteFilePath()));
        const bool complete = AddChosenFiles(files);
        // An addition ended by a bad file leaves status and bar; the buttons follow the list.
        const bool any = complete || m_lbFiles.GetCount() > 0;
        EnableDlgItem(IDC_REMOVE_ALL, any);
        EnableDlgItem(IDC_CONVERT, any);
        if (!complete)
            return;
    }
    m_progress.SetPos(0);
    SetStatus(kReady);
}

// False when a file ended the addition (missing, or not a workbook).
bool CConvertDlg::AddChosenFiles(const QStringList& files)
{
    for (const QString& file : files) {
        const QString extension = ExtensionOf(file);
        if (!QFileInfo::exists(file)) {
            ShowMessageBox(QStringLiteral("               File not existed!"), 0);
            return false;
        }
        if (!m_lbFiles.m_lstExtensions.contains(extension)) {
            ShowMessageBox(QStringLiteral("        File format not supported!"), 0);
            return false;
        }
        if (m_lbFiles.FindStringExact(file) >= 0) {
            ShowMessageBox(QStringLiteral("        Convert Excel file existing."), 0);
            continue;
        }
        m_lbFiles.AddString(file);
    }
    return true;
}

void CConvertDlg::OnBtnRemove()
{
    if (m_bConverting) {
        WarnBusy();
        return;
    }
    for (int i = 0; i < m_lbFiles.GetCount(); ++i) {
        if (m_lbFiles.GetSel(i)) {
            m_lbFiles.DeleteString(i);
            --i;
        }
    }
    if (m_lbFiles.GetCount() == 0) {
        EnableDlgItem(IDC_REMOVE_ALL, false);
        EnableDlgItem(IDC_CONVERT, false);
    }
    EnableDlgItem(IDC_REMOVE, false);
}

void CConvertDlg::OnBtnRemoveAll()
{
    if (m_bConverting) {
        WarnBusy();
        return;
    }
    m_lbFiles.ResetContent();
    EnableDlgItem(IDC_REMOVE_ALL, false);
    EnableDlgItem(IDC_REMOVE, false);
    EnableDlgItem(IDC_CONVERT, false);
}

void CConvertDlg::OnSelChangeFiles()
{
    if (!m_bConverting && m_lbFiles.GetSelCount() > 0)
        EnableDlgItem(IDC_REMOVE, true);
}

void CConvertDlg::OnBtnBrowse()
{
    if (m_bConverting) {
        WarnBusy();
        return;
    }
    QString folder = CFileDialog::GetExistingDirectory(this);
    if (folder.isEmpty())
        return;
    if (QFileInfo(folder).isDir() && !folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    SetDlgItemText(IDC_OUTPUT, folder);
}

bool CConvertDlg::OnMessage(unsigned msg, quintptr wParam, qintptr lParam)
{
    if (msg != WM_FILES_ADDED)
        return CDialog::OnMessage(msg, wParam, lParam);
    OnFilesAdded();
    return true;
}

void CConvertDlg::OnFilesAdded()
{
    if (m_lbFiles.GetCount() > 0)
        SetDlgItemText(IDC_OUTPUT, FolderOf(m_lbFiles.GetText(0)));
    SetStatus(kReady);
    EnableDlgItem(IDC_REMOVE_ALL, true);
    EnableDlgItem(IDC_CONVERT, true);
}

void CConvertDlg::OnBtnSetting()
{
    m_dlgSetting.ShowWindow(SW_SHOW);
    m_dlgSecurity.OnCheckEnableSecurity();
    m_dlgAdvanced.SaveSelections();
}

void CConvertDlg::EnablePageControls(bool enable)
{
    if (!enable) {
        EnableDlgItem(IDC_REMOVE, false);
        EnableDlgItem(IDC_REMOVE_ALL, false);
    }
    m_dlgSecurity.EnableWindow(enable);
    m_dlgDescription.EnableWindow(enable);
    m_dlgAdvanced.EnableWindow(enable);
    EnableDlgItem(IDC_ADD, enable);
    EnableDlgItem(IDC_BROWSE, enable);
    EnableDlgItem(IDC_OUTPUT, enable);
}

void CConvertDlg::OnBtnConvert()
{
    UpdateData(true);
    if (m_bConverting) {
        AskStop();
        return;
    }
    if (!CheckCanStart())
        return;
    SetStatus(kStartToConvert);
    SetConvertLook(true);
    m_lbFiles.m_bDropLocked = 1;
    SetTimer(IDT_STATUS, kStatusTickMs);
    StartWorker();
}

bool CConvertDlg::CheckCanStart()
{
    if (m_lbFiles.GetCount() == 0) {
        AfxMessageBox(QStringLiteral("No Excel File"), MB_OK);
        return false;
    }
    m_strOutputPath = GetDlgItemText(IDC_OUTPUT);
    // A relative folder would mean the program's own working folder.
    if (!QDir::isAbsolutePath(m_strOutputPath) || !QFileInfo(m_strOutputPath).isDir()) {
        ShowMessageBox(QStringLiteral("The output path is not existed, please input a valid path!"), 0);
        return false;
    }
    if (!SecurityProblem(m_dlgSecurity).isEmpty()) {
        OpenSettingsOnSecurity();
        return false;
    }
    return true;
}

// Settings that would give a PDF without the protection asked for: the settings
// window opens on its Security page and says what is missing.
void CConvertDlg::OpenSettingsOnSecurity()
{
    if (!m_dlgSetting.isVisible())
        OnBtnSetting();
    else
        m_dlgSetting.ShowWindow(SW_SHOW);
    m_dlgSetting.CheckSecurity();
}

void CConvertDlg::StartWorker()
{
    m_dlgAdvanced.UpdateData(true);
    m_dlgSecurity.UpdateData(true);
    m_dlgDescription.UpdateData(true);
    const QString folder = GetDlgItemText(IDC_OUTPUT);
    m_dlgFinish.m_strFolder = folder;
    EnablePageControls(false);
    m_bConverting = 1;
    m_runs.Start(m_lbFiles.Items(), folder);
}

CConversionRuns::Callbacks CConvertDlg::RunCallbacks()
{
    CConversionRuns::Callbacks callbacks;
    callbacks.progress = [this](int percent) { m_progress.SetPos(unsigned(percent)); };
    callbacks.ended = [this](const ConversionRunSummary& summary) { OnRunEnded(summary); };
    callbacks.finish = [this](const QString& folder, const ConversionRunSummary& summary) {
        RunFinishStep(folder, summary);
    };
    return callbacks;
}

// Asked on a run's thread, once per workbook: the pages are read on the window
// thread. A run left to end on its own may still ask once the page is gone.
ConversionRun::OptionsProvider CConvertDlg::PageOptions()
{
    return [page = QPointer<CConvertDlg>(this)] {
        QCoreApplication* app = QCoreApplication::instance();
        if (!app)
            return ConversionOptions();
        return CallOnObjectThread(app, [&page] {
            return page ? ReadConversionOptions(page->m_dlgDescription, page->m_dlgSecurity, page->m_dlgAdvanced)
                        : ConversionOptions();
        });
    };
}

void CConvertDlg::AskStop()
{
    if (m_runs.GetState() == CConversionRuns::State::Idle)
        return;
    m_runs.Hold();
    SetConvertLook(false);
    const int answer = ShowMessageBox(kStopQuestion, kStopQuestionType);
    // A run that ended under the question ends as usual, whatever the answer.
    if (answer == IDYES && m_runs.StopCurrent())
        StopConversion();
    else
        SetConvertLook(true);
    m_runs.Release();
}

int CConvertDlg::AskOverRuns(const QString& text, int type)
{
    Q_ASSERT(IsUiThread());
    m_runs.Hold();
    const int answer = ShowMessageBox(text, type);
    m_runs.Release();
    return answer;
}

void CConvertDlg::StopConversion()
{
    m_dlgFinish.m_lstPdfNames.clear();
    m_lbFiles.ResetContent();
    KillTimer(IDT_STATUS);
    m_bConverting = 0;
    m_lbFiles.m_bDropLocked = 0;
    SetStatus(ConversionRun::StoppedText());
    EnablePageControls(true);
    m_progress.SetPos(0);
    SetConvertLook(false);
    EnableDlgItem(IDC_CONVERT, false);
}

void CConvertDlg::OnRunEnded(const ConversionRunSummary& summary)
{
    m_lbFiles.ResetContent();
    KillTimer(IDT_STATUS);
    m_progress.SetPos(100);
    m_bConverting = 0;
    m_lbFiles.m_bDropLocked = 0;
    SetStatus(summary.pdfNames.isEmpty() ? ConversionRun::StoppedText() : ConversionRun::CompleteText());
    EnablePageControls(true);
    SetConvertLook(false);
    EnableDlgItem(IDC_CONVERT, false);
    SetTimer(IDT_FINISH, kFinishDelayMs);
}

void CConvertDlg::OnTimer(int id)
{
    if (id == IDT_STATUS) {
        OnStatusTick();
    } else if (id == IDT_FINISH) {
        KillTimer(IDT_FINISH);
        FinishConversion();
    }
}

void CConvertDlg::OnStatusTick()
{
    ++m_nDotTicks;
    if (m_nDotTicks == kDotCycle) {
        SetStatus(kStartToConvert);
        m_nDotTicks = 0;
    } else {
        SetStatus(m_edStatus.text() + QLatin1Char('.'));
    }
}

void CConvertDlg::FinishConversion()
{
    m_runs.FinishEnded();
}

// One ended run: its failures are told, then its PDFs are offered. A run
// started since is left alone.
void CConvertDlg::RunFinishStep(const QString& folder, const ConversionRunSummary& summary)
{
    ShowFailures(summary);
    if (!summary.pdfNames.isEmpty()) {
        m_dlgFinish.m_strFolder = folder;
        m_dlgFinish.m_lstPdfNames = summary.pdfNames;
        m_dlgFinish.DoModal();
    }
    if (m_runs.GetState() == CConversionRuns::State::Idle)
        m_progress.SetPos(0);
}

// One line per workbook that failed or lost sheets; kept, cancelled and stopped
// workbooks are no failures.
void CConvertDlg::ShowFailures(const ConversionRunSummary& summary)
{
    QStringList lines;
    for (const WorkbookReport& report : summary.workbooks) {
        const bool failed = report.result == WorkbookReport::Failed ||
                            report.result == WorkbookReport::Incomplete ||
                            (report.result == WorkbookReport::Converted && !report.message.isEmpty());
        if (failed && !report.message.isEmpty() && !lines.contains(report.message))
            lines << report.message;
    }
    if (!lines.isEmpty())
        AfxMessageBox(lines.join(QLatin1Char('\n')), MB_OK);
}
