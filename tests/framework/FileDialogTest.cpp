// The open-file dialog and the folder browser: the seam that answers them in
// tests, and the real Qt dialogs driven offscreen (found among the top-level
// windows, typed into and accepted).
#include "framework/FileDialog.h"
#include "framework/FileDialogSeam.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <thread>

void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace {

const QString kExcelFilter = QStringLiteral("Excel Files(*.xls;*.xlsx) (*.xls *.xlsx)");

// The visible top-level widget of type T, if any.
template <class T>
T* ShownTopLevel()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* found = qobject_cast<T*>(w); found && found->isVisible())
            return found;
    return nullptr;
}

// Acts on the next visible top-level widget of type T once it is up.
template <class T>
void WhenShown(std::function<void(T&)> action)
{
    auto* poll = new QTimer;
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, action] {
        T* shown = ShownTopLevel<T>();
        if (!shown)
            return;
        poll->stop();
        poll->deleteLater();
        action(*shown);
    });
    poll->start();
}

// Presses a button of the file dialog once the current event has been handled
// (a press may open a nested box).
void PressLater(QFileDialog& dialog, QDialogButtonBox::StandardButton which)
{
    QPushButton* button = dialog.findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"))->button(which);
    ASSERT_NE(nullptr, button);
    QTimer::singleShot(0, button, &QPushButton::click);
}

// Shows folder in the dialog and waits until its entries are listed; the names listed.
QStringList ListedNames(QFileDialog& dialog, const QString& folder, const QString& alwaysListed)
{
    auto* model = dialog.findChild<QFileSystemModel*>();
    if (!model)
        return {QStringLiteral("<no model>")};
    dialog.setDirectory(folder);
    const QModelIndex root = model->index(folder);
    auto names = [&] {
        QStringList listed;
        for (int row = 0; row < model->rowCount(root); ++row)
            listed << model->fileName(model->index(row, 0, root));
        listed.sort();
        return listed;
    };
    (void)QTest::qWaitFor([&] { return names().contains(alwaysListed); }, 60000);
    return names();
}

void Touch(const QString& path)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << qPrintable(path);
}

class RealFileDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        for (const char* name : {"a.xls", "Book.XLSX", "c.xlsm", "d.XLS", "e.xlsx", "notes.txt"})
            Touch(folder.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("sub")));
        window.resize(300, 200);
        window.show();
        child = new QWidget(&window);
        // A dialog a failed step leaves open is ended, so the test fails rather than hangs.
        watchdog.setSingleShot(true);
        QObject::connect(&watchdog, &QTimer::timeout, [] {
            ADD_FAILURE() << "a dialog was left open";
            while (QWidget* modal = QApplication::activeModalWidget())
                modal->close();
        });
        watchdog.start(120000);
    }

    QTimer watchdog;
    QTemporaryDir folder;
    QWidget window;
    QWidget* child = nullptr;
};

} // namespace

TEST(FileDialogSeam, AnswersInOrderAndRecordsEveryCall)
{
    FileDialogSeam seam;
    QWidget owner;
    seam.QueueFiles({QStringLiteral("/in/b.xls"), QStringLiteral("/in/a b.XLSX")});
    seam.QueueFolder(QStringLiteral("/out"));
    seam.QueueCancel();

    EXPECT_EQ((QStringList{"/in/b.xls", "/in/a b.XLSX"}), CFileDialog::GetOpenFileNames(&owner, kExcelFilter));
    EXPECT_EQ(QStringLiteral("/out"), CFileDialog::GetExistingDirectory(nullptr));
    EXPECT_EQ(QString(), CFileDialog::GetExistingDirectory(&owner));
    EXPECT_EQ(QStringList(), CFileDialog::GetOpenFileNames(&owner, kExcelFilter)) << "an empty queue cancels";

    const QList<FileDialogSeam::Call> calls = seam.Calls();
    ASSERT_EQ(4, calls.size());
    EXPECT_EQ(FileDialogSeam::Call::OpenFiles, calls[0].kind);
    EXPECT_EQ(kExcelFilter, calls[0].filter);
    EXPECT_EQ(&owner, calls[0].owner);
    EXPECT_EQ(FileDialogSeam::Call::Folder, calls[1].kind);
    EXPECT_EQ(nullptr, calls[1].owner);
    EXPECT_EQ(QString(), calls[1].filter);
    EXPECT_EQ(FileDialogSeam::Call::Folder, calls[2].kind);
    EXPECT_EQ(&owner, calls[2].owner);
    EXPECT_EQ(FileDialogSeam::Call::OpenFiles, calls[3].kind);
    EXPECT_EQ(nullptr, ShownTopLevel<QFileDialog>()) << "no dialog is shown while a seam exists";
}

// An answer meant for the other dialog is a test's mistake: it cancels rather
// than passing files off as a folder, and it is used up.
TEST(FileDialogSeam, AnAnswerOfTheOtherKindCancels)
{
    FileDialogSeam seam;
    seam.QueueFolder(QStringLiteral("/out"));
    seam.QueueFiles({QStringLiteral("/in/a.xls")});
    seam.QueueFolder(QStringLiteral("/out2"));
    EXPECT_EQ(QStringList(), CFileDialog::GetOpenFileNames(nullptr, kExcelFilter));
    EXPECT_EQ(QString(), CFileDialog::GetExistingDirectory(nullptr));
    EXPECT_EQ(QStringLiteral("/out2"), CFileDialog::GetExistingDirectory(nullptr));
}

TEST(FileDialogSeam, TheNewestSeamAnswersFromAnyThread)
{
    FileDialogSeam outer;
    outer.QueueFolder(QStringLiteral("/outer"));
    {
        FileDialogSeam inner;
        inner.QueueFiles({QStringLiteral("/in/x.xlsx")});
        QStringList files;
        std::thread([&] { files = CFileDialog::GetOpenFileNames(nullptr, kExcelFilter); }).join();
        EXPECT_EQ(QStringList{QStringLiteral("/in/x.xlsx")}, files);
        EXPECT_EQ(1, inner.Calls().size());
    }
    EXPECT_EQ(QStringLiteral("/outer"), CFileDialog::GetExistingDirectory(nullptr));
    EXPECT_EQ(1, outer.Calls().size());
}

TEST_F(RealFileDialog, OpenDialogListsExcelFilesInAnyCaseAndReturnsTheTypedOnes)
{
    bool shown = false;
    QStringList listed;
    WhenShown<QFileDialog>([&](QFileDialog& dialog) {
        shown = true;
        EXPECT_TRUE(dialog.isModal());
        EXPECT_EQ(&window, dialog.parentWidget()) << "owned by the owner's window";
        EXPECT_EQ(QFileDialog::ExistingFiles, dialog.fileMode());
        EXPECT_EQ(QFileDialog::AcceptOpen, dialog.acceptMode());
        EXPECT_EQ(QStringList{kExcelFilter}, dialog.nameFilters());
        listed = ListedNames(dialog, folder.path(), QStringLiteral("a.xls"));
        auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(nullptr, edit);
        QTest::keyClicks(edit, QStringLiteral("\"d.XLS\" \"a.xls\" \"Book.XLSX\""));
        PressLater(dialog, QDialogButtonBox::Open);
    });
    const QStringList chosen = CFileDialog::GetOpenFileNames(child, kExcelFilter);

    EXPECT_TRUE(shown);
    EXPECT_EQ((QStringList{"Book.XLSX", "a.xls", "d.XLS", "e.xlsx", "sub"}), listed)
        << "xls and xlsx in any case and folders show; xlsm and txt do not";
    const QString dir = folder.path() + QLatin1Char('/');
    QStringList sorted = chosen;
    sorted.sort();
    EXPECT_EQ((QStringList{dir + "Book.XLSX", dir + "a.xls", dir + "d.XLS"}), sorted);
    EXPECT_EQ(nullptr, ShownTopLevel<QFileDialog>());
}

TEST_F(RealFileDialog, OpenDialogRefusesAMissingFileAndCancelReturnsNothing)
{
    bool openEnabled = true;
    bool warned = false;
    bool stillOpen = false;
    WhenShown<QFileDialog>([&](QFileDialog& dialog) {
        dialog.setDirectory(folder.path());
        auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(nullptr, edit);
        QTest::keyClicks(edit, QStringLiteral("missing.xls"));
        openEnabled = dialog.findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"))
                          ->button(QDialogButtonBox::Open)->isEnabled();
        // Accepting anyway (as Enter may) is refused with a warning too.
        WhenShown<QMessageBox>([&, dlg = &dialog](QMessageBox& box) {
            warned = true;
            box.reject();
            QTimer::singleShot(0, dlg, [&, dlg] {
                stillOpen = dlg->isVisible();
                PressLater(*dlg, QDialogButtonBox::Cancel);
            });
        });
        QMetaObject::invokeMethod(&dialog, "accept", Qt::QueuedConnection);
    });
    EXPECT_EQ(QStringList(), CFileDialog::GetOpenFileNames(&window, kExcelFilter));
    EXPECT_FALSE(openEnabled) << "Open stays disabled for a file that does not exist";
    EXPECT_TRUE(warned) << "a missing file is refused with a warning";
    EXPECT_TRUE(stillOpen) << "the dialog stays open after refusing a missing file";
}

// The dialog serves a worker thread too: it runs on the window thread while the worker waits.
TEST_F(RealFileDialog, FolderBrowserShowsFoldersOnlyAndReturnsTheChosenFolder)
{
    QStringList listed;
    bool onWindowThread = false;
    WhenShown<QFileDialog>([&](QFileDialog& dialog) {
        onWindowThread = dialog.thread() == QApplication::instance()->thread();
        EXPECT_TRUE(dialog.isModal());
        EXPECT_EQ(&window, dialog.parentWidget());
        EXPECT_EQ(QFileDialog::Directory, dialog.fileMode());
        EXPECT_TRUE(dialog.testOption(QFileDialog::ShowDirsOnly));
        listed = ListedNames(dialog, folder.path(), QStringLiteral("sub"));
        auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(nullptr, edit);
        edit->clear();
        QTest::keyClicks(edit, QStringLiteral("sub"));
        PressLater(dialog, QDialogButtonBox::Open);
    });
    QString chosen;
    bool done = false;
    std::thread worker([&] {
        chosen = CFileDialog::GetExistingDirectory(child);
        done = true;
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return done; }, 120000));
    worker.join();

    EXPECT_TRUE(onWindowThread);
    EXPECT_EQ(QStringList{QStringLiteral("sub")}, listed);
    EXPECT_EQ(folder.filePath(QStringLiteral("sub")), chosen);
}

TEST_F(RealFileDialog, CancelledFolderBrowserReturnsNothing)
{
    WhenShown<QFileDialog>([&](QFileDialog& dialog) { PressLater(dialog, QDialogButtonBox::Cancel); });
    EXPECT_EQ(QString(), CFileDialog::GetExistingDirectory(&window));
}
