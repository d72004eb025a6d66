#pragma once

#include "app/UiPrompts.h"
#include "convert_page/ConversionRuns.h"
#include "convert_page/FinishDlg.h"
#include "convert_page/ListBoxEx.h"
#include "convert_page/Progress.h"
#include "engine/ConversionRunObserver.h"
#include "framework/CDialog.h"
#include "options/ConversionOptions.h"
#include "options/ui/AdvancedDlg.h"
#include "options/ui/DescriptionDlg.h"
#include "options/ui/EnableEdit.h"
#include "options/ui/SecurityDlg.h"
#include "options/ui/SettingDlg.h"
#include "skin/FontStatic.h"
#include "skin/HoverButton.h"
#include "skin/SkinFrame.h"

#include <QString>
#include <QStringList>

class CConversionWorker;

// The working surface of the converter, a child page of the main window: the
// list of workbooks, the output folder, the status line, the progress bar and
// the commands around them. It owns the option pages, the settings window and
// the finish dialog, and runs each conversion on a worker thread of its own
// (its runs keep the bookkeeping).
class CConvertDlg : public CDialog {
    Q_OBJECT
public:
    enum { IDD = 130 };
    enum { IDT_STATUS = 1, IDT_FINISH = 2 };
    static constexpr int kStatusTickMs = 500;
    static constexpr int kFinishDelayMs = 1000;
    static constexpr int kBitmap = 161;

    // Builds the option pages and the hidden settings window.
    explicit CConvertDlg(QWidget* pParent = nullptr);
    // Stops every run, waits for them while serving events and removes what they
    // left in their run folders.
    ~CConvertDlg() override;

    bool IsConverting() const { return m_bConverting != 0; }
    // Enter and Escape do nothing on the page.
    bool PreTranslateMessage(QWidget* target, QKeyEvent* key) override;

    // Command handlers.
    void OnBtnAddFiles();
    void OnBtnRemove();
    void OnBtnRemoveAll();
    void OnBtnBrowse();
    void OnBtnSetting();
    void OnBtnConvert();
    void OnSelChangeFiles();

    // Enables or disables what may not change during a conversion.
    void EnablePageControls(bool enable);
    // The finish steps of the runs that ended: each in turn clears up after its
    // run, tells its failures and shows its finish dialog.
    void FinishConversion();
    // Window thread: a question asked over the runs (closing the program): the
    // run in hand pauses, its questions and earlier runs' finish steps wait.
    int AskOverRuns(const QString& text, int type);

    CSkinFrame m_skin; // background 161
    CProgress m_progress;
    CListBoxEx m_lbFiles;
    CDescriptionDlg m_dlgDescription;
    CSecurityDlg m_dlgSecurity;
    CAdvancedDlg m_dlgAdvanced;
    CSettingDlg m_dlgSetting;
    QString m_strOutputPath;
    int m_bConverting = 0;
    int m_nDotTicks = 0;
    CFinishDlg m_dlgFinish;
    CEnableEdit m_edStatus;
    CHoverButton m_btnAdd;
    CHoverButton m_btnRemove;
    CHoverButton m_btnRemoveAll;
    CHoverButton m_btnSetting;
    CHoverButton m_btnBrowse;
    CHoverButton m_btnConvert;
    CFontStatic m_stHeading;
    CFontStatic m_stStatusLabel;

    // The worker of the run in hand; null when no run is going.
    CConversionWorker* Worker() const { return m_runs.Current(); }

    // IDT_STATUS animates the status line; IDT_FINISH ends a run a second after it ended.
    void OnTimer(int id) override;

protected:
    bool OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override {}
    void OnCancel() override {}
    bool OnMessage(unsigned msg, quintptr wParam, qintptr lParam) override;

private:
    void ApplyColours();
    void OnFilesAdded();
    bool AddChosenFiles(const QStringList& files);
    void SetStatus(const QString& text);
    void SetConvertLook(bool stop);
    bool CheckCanStart();
    void OpenSettingsOnSecurity();
    void StartWorker();
    void AskStop();
    void StopConversion();
    CConversionRuns::Callbacks RunCallbacks();
    ConversionRun::OptionsProvider PageOptions();
    void OnRunEnded(const ConversionRunSummary& summary);
    void RunFinishStep(const QString& folder, const ConversionRunSummary& summary);
    void ShowFailures(const ConversionRunSummary& summary);
    void OnStatusTick();
    void WarnBusy();

    CUiPrompts m_prompts;
    CConversionRuns m_runs; // closed first thing in the page's end
};
