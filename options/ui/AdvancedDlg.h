#pragma once

#include "options/ui/OptionPage.h"

#include <QComboBox>
#include <QString>

// The Advanced page of the settings window: six drop-down lists whose selected
// items are the output settings, and a snapshot of the six selections taken
// when the window opens, so that its close button can put them back. A white
// child page; Enter and Escape do nothing here.
class CAdvancedDlg : public COptionPage {
    Q_OBJECT
public:
    enum { IDD = 134 };

    explicit CAdvancedDlg(QWidget* pParent = nullptr);

    // The snapshot, one index per list in the order of the lists below.
    int m_nPageLayout = 0;
    int m_nPageMode = 0;
    int m_nDocCompression = 0;
    int m_nImageCompression = 0;
    int m_nJpegQuality = 0;
    int m_nPdfVersion = 0;
    QComboBox m_cbPageLayout;       // 1026
    QComboBox m_cbPageMode;         // 1027
    QComboBox m_cbDocCompression;   // 1028
    QComboBox m_cbImageCompression; // 1029
    QComboBox m_cbJpegQuality;      // 1024
    QComboBox m_cbPdfVersion;       // 1025

    // Fills the lists with their items and selects the first of each.
    void InitComboItems();
    // Takes the snapshot of the six selections.
    void SaveSelections();
    // Selects the items of the snapshot again.
    void RestoreSelections();
    // The text of the item selected in list id (1024 to 1029); empty for another id.
    QString SelectedText(int id) const;

protected:
    bool OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;

private:
    struct ListSlot {
        QComboBox CAdvancedDlg::*list;
        int CAdvancedDlg::*saved;
    };
    static const ListSlot kLists[6];
    const QComboBox* List(int id) const;
};
