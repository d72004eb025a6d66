// The workbook list: its order, and files dropped on it (synthetic drops):
// what is added, refused with which box, skipped silently, and what the page
// is told.
#include "convert_page/ListBoxEx.h"
#include "framework/MessageBox.h"
#include "framework/MessageBoxSeam.h"

#include <QCoreApplication>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

// Stands for the page: records the private messages posted to it.
class NotifyWindow : public CDialog {
public:
    QList<unsigned> messages;

protected:
    bool OnMessage(unsigned msg, quintptr, qintptr) override
    {
        messages << msg;
        return true;
    }
};

void Settle()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

class ListDrops : public ::testing::Test {
protected:
    QTemporaryDir dir;
    CListBoxEx list;
    NotifyWindow page;
    MessageBoxSeam boxes;

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        list.m_lstExtensions = {QStringLiteral("xls"), QStringLiteral("xlsx")};
        list.m_pNotifyWnd = &page;
    }

    QString Path(const QString& name) const { return dir.path() + QLatin1Char('/') + name; }

    QString File(const QString& name)
    {
        const QString path = Path(name);
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
        return path;
    }

    QString Folder(const QString& name)
    {
        EXPECT_TRUE(QDir().mkpath(Path(name)));
        return Path(name);
    }

    // Delivers a drag of this uri-list to the list's viewport, and its drop when
    // the list took the drag (the application routes a drop to the widget that
    // accepted the drag's entry); checks that the drop ends before any check
    // runs, then lets the checks run. True when the drop was taken.
    bool Drop(const QByteArray& uriList)
    {
        QMimeData mime;
        mime.setData(QStringLiteral("text/uri-list"), uriList);
        const Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
        QDragEnterEvent enter(QPoint(5, 5), offered, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(list.viewport(), &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent event(QPointF(5, 5), offered, &mime, Qt::LeftButton, Qt::NoModifier);
        const int itemsBefore = list.GetCount();
        const qsizetype boxesBefore = boxes.Questions().size();
        QCoreApplication::sendEvent(list.viewport(), &event);
        EXPECT_EQ(event.dropAction(), Qt::CopyAction);
        EXPECT_EQ(list.GetCount(), itemsBefore) << "checked inside the drop event";
        EXPECT_EQ(boxes.Questions().size(), boxesBefore) << "a box inside the drop event";
        Settle();
        return event.isAccepted();
    }

    bool Drop(const QStringList& paths)
    {
        QByteArray uris;
        for (const QString& p : paths)
            uris += QUrl::fromLocalFile(p).toEncoded() + "\r\n";
        return Drop(uris);
    }

    QStringList Texts() const
    {
        QStringList texts;
        for (const MessageBoxSeam::Question& q : boxes.Questions())
            texts << q.text;
        return texts;
    }
};

const QString kUnsupported = QStringLiteral("File format not support!");
const QString kExisting = QStringLiteral("Convert File existing.");

TEST(ListBoxEx, SortsWithoutRegardToCaseTiesByExactText)
{
    CListBoxEx list;
    EXPECT_EQ(list.selectionMode(), QAbstractItemView::ExtendedSelection);
    for (const char* p : {"/d/Zeta.xls", "/d/book.xlsx", "/d/alpha.xls", "/d/Book.xls", "/d/book.xls", "/d/Book.xlsx"})
        list.AddString(QString::fromLatin1(p));
    EXPECT_EQ(list.Items(), QStringList({"/d/alpha.xls", "/d/Book.xls", "/d/book.xls", "/d/Book.xlsx", "/d/book.xlsx",
                                         "/d/Zeta.xls"}));
    // AddString answers where the item went.
    EXPECT_EQ(list.AddString("/d/BOOK.xls"), 1);
    EXPECT_EQ(list.AddString("/d/zz.xls"), 7);
    EXPECT_EQ(list.FindStringExact("/d/book.xls"), 3);
    EXPECT_EQ(list.FindStringExact("/d/book.xl"), -1);
    EXPECT_EQ(list.FindStringExact("/d/BOOK.XLS"), -1);
}

TEST(ListBoxEx, KeepsItsOrderUnderTheTemplatesSortedStyle)
{
    // The page's template sorts the list; items added both ways stay in one order.
    CListBoxEx list;
    list.setSortingEnabled(false);
    list.AddString("/d/b.xls");
    list.AddString("/d/A.xls");
    list.setSortingEnabled(true);
    list.AddString("/d/a.xls");
    list.AddString("/d/C.xls");
    EXPECT_EQ(list.Items(), QStringList({"/d/A.xls", "/d/a.xls", "/d/b.xls", "/d/C.xls"}));
}

TEST_F(ListDrops, AddsWorkbooksSortedRefusesOtherFormatsAndPostsOnce)
{
    const QString upper = File("Book.xls");
    const QString lower = File("book.xlsx");
    const QString doc = File("notes.doc");
    const QString capitals = File("REPORT.XLSX");
    EXPECT_TRUE(Drop(QStringList{lower, doc, upper, capitals}));

    EXPECT_EQ(list.Items(), QStringList({upper, lower, capitals}));
    ASSERT_EQ(boxes.Questions().size(), 1);
    const MessageBoxSeam::Question q = boxes.Questions().front();
    EXPECT_EQ(q.text, kUnsupported);
    EXPECT_EQ(q.caption, QStringLiteral("Warning"));
    EXPECT_EQ(q.type, MB_OK | MB_ICONINFORMATION);
    EXPECT_EQ(page.messages, QList<unsigned>({WM_FILES_ADDED}));
}

TEST_F(ListDrops, DuplicatesAreExactPathsNotPrefixesNorOtherCase)
{
    const QString xls = File("Book.xls");
    const QString xlsx = File("Book.xlsx");
    const QString otherCase = File("BOOK.xls");

    // Either order of Book.xls and Book.xlsx: both are listed.
    Drop(QStringList{xlsx});
    Drop(QStringList{xls});
    list.ResetContent();
    Drop(QStringList{xls});
    Drop(QStringList{xlsx});
    Drop(QStringList{otherCase});
    EXPECT_EQ(list.Items(), QStringList({otherCase, xls, xlsx}));
    EXPECT_TRUE(boxes.Questions().isEmpty()) << Texts().join('|').toStdString();

    // The same path again: refused with its box; a drop that added nothing posts nothing.
    page.messages.clear();
    Drop(QStringList{xls});
    ASSERT_EQ(Texts(), QStringList({kExisting}));
    EXPECT_EQ(boxes.Questions().front().caption, QStringLiteral("Warning"));
    EXPECT_EQ(boxes.Questions().front().type, MB_OK | MB_ICONINFORMATION);
    EXPECT_TRUE(page.messages.isEmpty());
    EXPECT_EQ(list.GetCount(), 3);
}

TEST_F(ListDrops, ARefusalDoesNotEndTheDrop)
{
    const QString listed = File("a.xls");
    list.AddString(listed);
    const QString doc = File("b.doc");
    const QString good = File("c.xlsx");
    Drop(QStringList{listed, doc, good});
    EXPECT_EQ(Texts(), QStringList({kExisting, kUnsupported}));
    EXPECT_EQ(list.Items(), QStringList({listed, good}));
    EXPECT_EQ(page.messages.size(), 1);
}

TEST_F(ListDrops, FoldersAndNamesWithoutExtensionAreSkippedSilently)
{
    const QString folder = Folder("Reports.xls");
    const QString link = Path("Link.xlsx");
    ASSERT_TRUE(QFile::link(folder, link));
    const QString noDot = File("README");
    Drop(QStringList{folder, link, noDot});
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_TRUE(boxes.Questions().isEmpty()) << Texts().join('|').toStdString();
    EXPECT_TRUE(page.messages.isEmpty());

    // A dot that is the path's first character is no extension.
    EXPECT_FALSE(list.AddDroppedFile(".xls"));
    EXPECT_FALSE(list.AddDroppedFile(QString()));
    EXPECT_TRUE(boxes.Questions().isEmpty());
    EXPECT_EQ(list.GetCount(), 0);
}

TEST_F(ListDrops, ADotInAFolderNameMakesTheRestTheExtension)
{
    const QString book = File("my.data/book");
    Drop(QStringList{book});
    EXPECT_EQ(Texts(), QStringList({kUnsupported}));
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_TRUE(page.messages.isEmpty());
}

TEST_F(ListDrops, OnlyLocalFilesAreTaken)
{
    const QString good = File("a.xls");
    // A real drag reaches the viewport only when it takes drops.
    EXPECT_TRUE(list.viewport()->acceptDrops());
    // Nothing local: the drop is not taken and nothing happens.
    EXPECT_FALSE(Drop(QByteArray("https://example.com/a.xls\r\nsmb://server/share/b.xls\r\n")));
    EXPECT_FALSE(Drop(QByteArray("file://otherhost/share/c.xls\r\n")));
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_TRUE(boxes.Questions().isEmpty());
    EXPECT_TRUE(page.messages.isEmpty());

    // Mixed with a local file: the local file only, silently for the rest.
    EXPECT_TRUE(Drop("https://example.com/b.xls\r\n" + QUrl::fromLocalFile(good).toEncoded() + "\r\n"));
    EXPECT_EQ(list.Items(), QStringList({good}));
    EXPECT_TRUE(boxes.Questions().isEmpty());
    EXPECT_EQ(page.messages.size(), 1);
}

TEST_F(ListDrops, BlanksAndNonAsciiArePreservedExactly)
{
    const QString odd = File(QStringLiteral("  Qu\u00e4rtal \u6708\u5831  2024 .xls"));
    const QString upper = File(QStringLiteral("\u00c4rger.XLS"));
    // As a file manager sends them: percent-encoded UTF-8, a comment line.
    Drop("# dropped\r\n" + QUrl::fromLocalFile(odd).toEncoded() + "\r\n" + QUrl::fromLocalFile(upper).toEncoded());
    EXPECT_EQ(list.Items(), QStringList({odd, upper}));
    EXPECT_TRUE(QFileInfo::exists(list.GetText(0)));
    EXPECT_TRUE(QFileInfo::exists(list.GetText(1)));
    EXPECT_TRUE(boxes.Questions().isEmpty());
}

TEST_F(ListDrops, LockedDropsAddNothingAndSayWhy)
{
    const QString good = File("a.xls");
    const QString doc = File("b.doc");
    list.m_bDropLocked = 1;
    EXPECT_TRUE(Drop(QStringList{good, doc}));
    ASSERT_EQ(boxes.Questions().size(), 1);
    const MessageBoxSeam::Question q = boxes.Questions().front();
    EXPECT_EQ(q.text, QStringLiteral("Working now,Hold for a moment!"));
    EXPECT_EQ(q.caption, QString::fromLatin1(kProgramTitle));
    EXPECT_EQ(q.type & MB_TYPEMASK, MB_OK);
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_TRUE(page.messages.isEmpty());

    list.m_bDropLocked = 0;
    Drop(QStringList{good});
    EXPECT_EQ(list.Items(), QStringList({good}));
}

TEST_F(ListDrops, NoNotifyWindowNoMessage)
{
    list.m_pNotifyWnd = nullptr;
    Drop(QStringList{File("a.xls")});
    EXPECT_EQ(list.GetCount(), 1);
    EXPECT_TRUE(page.messages.isEmpty());
}

} // namespace
