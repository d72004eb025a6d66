#include "convert_page/ListBoxEx.h"

#include "framework/MessageBox.h"
#include "framework/SortedListItem.h"
#include "framework/WindowsCodes.h"

#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QSysInfo>
#include <QTimer>
#include <QUrl>

#include <algorithm>

namespace {
const QString kLocked = QStringLiteral("Working now,Hold for a moment!");
const QString kUnsupported = QStringLiteral("File format not support!");
const QString kExisting = QStringLiteral("Convert File existing.");
const QString kWarning = QStringLiteral("Warning");

// A file address of this machine: no host, "localhost" or this machine's name.
bool IsThisMachine(const QUrl& url)
{
    const QString host = url.host();
    return host.isEmpty() || host.compare(QStringLiteral("localhost"), Qt::CaseInsensitive) == 0 ||
           host.compare(QSysInfo::machineHostName(), Qt::CaseInsensitive) == 0;
}
} // namespace

CListBoxEx::CListBoxEx(QWidget* parent)
    : QListWidget(parent)
{
    setSortingEnabled(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    // Drops land on the viewport; the list takes them itself (no item moves).
    setDragDropMode(QAbstractItemView::NoDragDrop);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
}

bool CListBoxEx::AddDroppedFile(const QString& path)
{
    // A folder (or a link to one) and a name without an extension go unremarked.
    if (QFileInfo(path).isDir())
        return false;
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0)
        return false;
    const QString extension = path.mid(dot + 1).toLower();
    if (!m_lstExtensions.contains(extension)) {
        Warn(kUnsupported);
        return false;
    }
    if (FindStringExact(path) >= 0) {
        Warn(kExisting);
        return false;
    }
    AddString(path);
    return true;
}

void CListBoxEx::OnDropFiles(const QStringList& paths)
{
    if (m_bDropLocked) {
        AfxMessageBox(kLocked, MB_OK);
        return;
    }
    bool added = false;
    for (const QString& path : paths)
        added = AddDroppedFile(path) || added; // a refusal does not end the loop
    if (added && m_pNotifyWnd)
        m_pNotifyWnd->PostMessage(WM_FILES_ADDED, 0, 0);
}

int CListBoxEx::AddString(const QString& path)
{
    // The sorted place, also when the list is not (yet) sorting itself.
    const QStringList items = Items();
    const auto at = std::upper_bound(items.begin(), items.end(), path, CSortedListItem::Less);
    auto* item = new CSortedListItem(path);
    insertItem(int(at - items.begin()), item);
    return row(item);
}

int CListBoxEx::FindStringExact(const QString& path) const
{
    for (int i = 0; i < count(); ++i)
        if (item(i)->text() == path)
            return i;
    return -1;
}

int CListBoxEx::GetCount() const { return count(); }

QString CListBoxEx::GetText(int index) const
{
    const QListWidgetItem* it = item(index);
    return it ? it->text() : QString();
}

void CListBoxEx::DeleteString(int index) { delete takeItem(index); }

void CListBoxEx::ResetContent() { clear(); }

bool CListBoxEx::GetSel(int index) const
{
    const QListWidgetItem* it = item(index);
    return it && it->isSelected();
}

int CListBoxEx::GetSelCount() const { return int(selectedItems().size()); }

QStringList CListBoxEx::Items() const
{
    QStringList texts;
    texts.reserve(count());
    for (int i = 0; i < count(); ++i)
        texts << item(i)->text();
    return texts;
}

QStringList CListBoxEx::LocalFilesOf(const QMimeData* mime)
{
    QStringList paths;
    if (!mime || !mime->hasUrls())
        return paths;
    for (const QUrl& url : mime->urls()) {
        if (!url.isLocalFile() || !IsThisMachine(url))
            continue;
        const QString path = url.host().isEmpty() ? url.toLocalFile() : url.path(QUrl::FullyDecoded);
        if (!path.isEmpty())
            paths << path;
    }
    return paths;
}

void CListBoxEx::dragEnterEvent(QDragEnterEvent* event)
{
    if (LocalFilesOf(event->mimeData()).isEmpty()) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void CListBoxEx::dragMoveEvent(QDragMoveEvent* event)
{
    if (LocalFilesOf(event->mimeData()).isEmpty()) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void CListBoxEx::dropEvent(QDropEvent* event)
{
    const QStringList paths = LocalFilesOf(event->mimeData());
    if (paths.isEmpty()) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    // The drop ends first (the source is not held under a message box); the
    // checks and their messages follow from the event loop.
    QTimer::singleShot(0, this, [this, paths] { OnDropFiles(paths); });
}

void CListBoxEx::Warn(const QString& text)
{
    MessageBox(this, text, kWarning, MB_OK | MB_ICONINFORMATION);
}
