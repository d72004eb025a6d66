#pragma once

#include "convert_page/ConvertDlg.h"
#include "framework/CDialog.h"
#include "platform/LinkOpener.h"
#include "skin/FontStatic.h"
#include "skin/HoverButton.h"
#include "skin/SkinFrame.h"

#include <QIcon>
#include <QMenu>
#include <QPointer>

// The converter's main window: a skinned, frameless window with a title line,
// minimise and close buttons, the Help, About and Website buttons and the
// conversion page filling the rest. It converts nothing itself; it guards
// closing while the page converts. Its run (RunModeless) is the program's run.
class COrvikAllToPDFDlg : public CDialog {
    Q_OBJECT
public:
    enum { IDD = 102 };
    static constexpr int kBitmap = 157;
    static constexpr int kIcon = 128;
    // The window menu's about item; low bits are free for the menu's own use.
    static constexpr unsigned IDM_ABOUTBOX = 0x0010;
    // Decides whether the window menu gets its about item.
    static constexpr char kAboutBoxString[] = "&About OrvikExcelToPDF...";
    static constexpr char kHelpFileName[] = "Orvik Excel To PDF - Help.html";

    explicit COrvikAllToPDFDlg(QWidget* pParent = nullptr);
    ~COrvikAllToPDFDlg() override;

    CSkinFrame m_skin; // background 157, shape and drag band
    QIcon m_hIcon;
    CHoverButton m_btnHelp;
    CHoverButton m_btnAbout;
    CHoverButton m_btnWebsite;
    CConvertDlg m_dlgConvert;
    CFontStatic m_stTitle;
    CHoverButton m_btnMinimize;
    CHoverButton m_btnClose;
    // Opens the help and the web site off the window thread; tests replace
    // its desktop opener.
    CLinkOpener m_linkOpener;

    // Window menu items and every close the desktop asks for.
    void OnSysCommand(unsigned nID);
    // Opens the help file, whatever topic is asked for (Help button, F1).
    void WinHelp();
    // The help file beside the program.
    static QString HelpFilePath();

    // The window menu (Alt+Space, a right click in the top band or the title
    // line); null before the window is created.
    QMenu* SystemMenu() const { return m_pSysMenu; }
    void ShowSystemMenu(const QPoint& globalPos);

    // Enter and Escape never close the main window.
    bool PreTranslateMessage(QWidget* target, QKeyEvent* key) override;

protected:
    bool OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnClose() override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void OnBtnHelp() { WinHelp(); }
    void OnBtnAbout();
    void OnBtnWebsite();
    void OnBtnMinimize();
    void OnBtnClose();
    void BuildSystemMenu();
    void MoveToWorkArea();
    void OpenInBackground(const QString& target) const;

    QPointer<QMenu> m_pSysMenu;
};
