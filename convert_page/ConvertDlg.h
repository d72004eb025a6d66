#pragma once

#include "app/UiPrompts.h"
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

#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>

class CConversionWorker;

// The working surface of the converter, a child page of the main window: the
// list of workbooks, the output folder, the status line, the progress bar and
// the commands around them. It owns the option pages, the settings window and
// the finish dialog, and runs each conversion on a worker thread of its own.
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
    // Stops a running conversion, waits for it while serving events and removes
    // what it left in its run folder.
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
    // Shows the finish dialog of the run that ended and clears up after it.
    void FinishConversion();

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
    CConversionWorker* Worker() const { return m_pWorker; }

    // IDT_STATUS animates the status line; IDT_FINISH ends a run a second after it ended.
    void OnTimer(int id) override;

protected:
    bool OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override {}
    void OnCancel() override {}
    bool OnMessage(unsigned msg, quintptr wParam, qintptr lParam) override;

private:
    // The result of one run, kept for its finish step.
    struct FinishedRun {
        QString folder;
        ConversionRunSummary summary;
        CConversionWorker* worker = nullptr;
    };

    void ApplyColours();
    void OnFilesAdded();
    bool AddChosenFiles(const QStringList& files);
    void SetStatus(const QString& text);
    void SetConvertLook(bool stop);
    bool CheckCanStart();
    void OpenSettingsOnSecurity();
    void StartWorker();
    void LaunchWorker();
    void AskStop();
    void StopConversion();
    void OnRunProgress(int percent);
    void OnRunFinished(CConversionWorker* worker, const ConversionRunSummary& summary);
    void ShowFailures(const ConversionRunSummary& summary);
    void OnStatusTick();
    ConversionOptions ReadOptions() const;
    void WarnBusy();

    CUiPrompts m_prompts;
    CConversionWorker* m_pWorker = nullptr;     // the run in hand
    QList<QPointer<CConversionWorker>> m_abandoned; // stopped runs still ending
    QList<FinishedRun> m_finished;              // ended runs waiting for their finish step
    QString m_strRunFolder;                     // the output folder of the run in hand
};
