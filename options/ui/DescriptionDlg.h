#pragma once

#include "options/ui/OptionPage.h"

#include <QString>

// The Description page of the settings window: title, subject, author and
// keywords of the PDF, as typed. A white child page; Enter and Escape do nothing
// here (Enter still breaks a line in Keywords).
class CDescriptionDlg : public COptionPage {
    Q_OBJECT
public:
    enum { IDD = 135 };

    explicit CDescriptionDlg(QWidget* pParent = nullptr);

    QString m_strDocTitle;    // edit 1021
    QString m_strDocSubject;  // edit 1023
    QString m_strDocAuthor;   // edit 1026
    QString m_strDocKeywords; // multi-line edit 1024, lines broken by "\n"

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};
