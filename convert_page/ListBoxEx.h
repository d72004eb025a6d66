#pragma once

#include "framework/CDialog.h"

#include <QListWidget>
#include <QPointer>
#include <QStringList>

class QDragEnterEvent;
class QDragMoveEvent;
class QDropEvent;
class QMimeData;

// The workbook list of the conversion page: a sorted list of full paths with
// extended selection that also takes files dropped on it. Dropped paths are
// checked here (folders and names without an extension skipped, other
// extensions and paths already listed refused with a message) and the page is
// told by a posted WM_FILES_ADDED when anything was added. While a conversion
// runs, drops are refused.
class CListBoxEx : public QListWidget {
    Q_OBJECT
public:
    explicit CListBoxEx(QWidget* parent = nullptr);

    QStringList m_lstExtensions;    // accepted extensions, lower case, no dot
    int m_bDropLocked = 0;          // 1 while a conversion runs
    QPointer<CDialog> m_pNotifyWnd; // receives WM_FILES_ADDED

    // Checks one dropped path and adds it; true when it was added.
    bool AddDroppedFile(const QString& path);
    // Handles the paths of one drop: refused as a whole while locked, else each
    // path checked on its own; WM_FILES_ADDED posted when anything was added.
    void OnDropFiles(const QStringList& paths);

    // Adds a path at its sorted place; returns its index.
    int AddString(const QString& path);
    // The index of the item with exactly this text, -1 when there is none.
    int FindStringExact(const QString& path) const;
    int GetCount() const;
    QString GetText(int index) const;
    void DeleteString(int index);
    void ResetContent();
    bool GetSel(int index) const;
    int GetSelCount() const;
    // Every item, in list order.
    QStringList Items() const;

    // The local files a drop carries (other addresses left out), as paths.
    static QStringList LocalFilesOf(const QMimeData* mime);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void Warn(const QString& text);
};
