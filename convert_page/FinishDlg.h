#pragma once

#include "framework/CDialog.h"
#include "skin/FontStatic.h"
#include "skin/HoverButton.h"
#include "skin/SkinFrame.h"

#include <QListWidget>
#include <QString>
#include <QStringList>

// Shown after a conversion that made PDFs: lists their names (sorted) and opens
// the chosen PDF in the desktop's viewer (or tells that no PDF viewer is
// installed), or shows it selected in the output folder. The page fills
// m_strFolder and m_lstPdfNames before running it modally; closing empties the
// names for the next conversion. Moved by its top band and title line.
class CFinishDlg : public CDialog {
    Q_OBJECT
public:
    enum { IDD = 136 };
    static constexpr int kBitmap = 174;

    explicit CFinishDlg(QWidget* pParent = nullptr);

    QString m_strFolder;       // output folder of the run
    QStringList m_lstPdfNames; // produced PDFs, names only, in the order produced

    CSkinFrame m_skin; // background 174, shape and drag band
    QListWidget m_lbResults;
    CFontStatic m_stTitle;
    CFontStatic m_stMessage;
    CHoverButton m_btnClose;
    CHoverButton m_btnOpenFile;
    CHoverButton m_btnOpenFolder;
    CHoverButton m_btnCancel;

protected:
    bool OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;

private:
    void FillResults();
    // The name of the selected PDF, empty when none is selected.
    QString SelectedName() const;
    void OnBtnOpenFile();
    void OnBtnOpenFolder();
    void OnBtnClose();
};
