// The finish dialog: its list and texts, Open File through the desktop's
// opener (or a word that no PDF viewer is installed), Open Folder through the file manager on a private bus (or the folder
// when there is none), and closing, which empties the names for the next run.
#include "app/DialogDriver.h"
#include "platform/DesktopDoubles.h"
#include "support/RealTools.h"

#include "convert_page/FinishDlg.h"
#include "framework/MessageBoxSeam.h"
#include "skin/WindowDrag.h"

#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>

namespace {

using desktoptest::FakeFileManager;
using desktoptest::PrivateBus;
using desktoptest::RecordingXdgOpen;
using dialogtest::RunModal;

QStringList Listed(const CFinishDlg& dlg)
{
    QStringList texts;
    for (int i = 0; i < dlg.m_lbResults.count(); ++i)
        texts << dlg.m_lbResults.item(i)->text();
    return texts;
}

void Click(QAbstractButton& button) { QTest::mouseClick(&button, Qt::LeftButton); }

// A key pressed where the focus is, as the user presses it.
void Press(CFinishDlg& dlg, Qt::Key key)
{
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(focus && dlg.isAncestorOf(focus) ? focus : &dlg, key);
}

// An output folder with a blank and a non-ASCII letter in its path, holding
// the PDFs of a run (produced b first, then a), on a desktop with a PDF viewer.
class FinishDlg : public ::testing::Test {
protected:
    FinishDlg()
    {
        m_xdgOpen.Desktop().InstallEntry("viewer.desktop", "viewer %f");
        m_xdgOpen.Desktop().SetDefault(kViewerList, "viewer.desktop", "application/pdf");
        m_folder = m_dir.path() + QStringLiteral("/Aus gabe ä");
        QDir().mkpath(m_folder);
        for (const QString& name : {QStringLiteral("b.pdf"), QStringLiteral("Bericht März #1.pdf")}) {
            QFile pdf(m_folder + QLatin1Char('/') + name);
            pdf.open(QIODevice::WriteOnly);
            pdf.write("%PDF-1.3\n");
        }
        m_dlg.m_strFolder = m_folder; // as the page gives it: no trailing '/'
        m_dlg.m_lstPdfNames = {QStringLiteral("b.pdf"), QStringLiteral("Bericht März #1.pdf")};
    }
    ~FinishDlg() override { CFileManagerReveal::SetBusAddress(QString()); }

    int Run(const std::function<void(CFinishDlg&)>& act) { return RunModal<CFinishDlg>(m_dlg, act); }
    QString PathOf(const QString& name) const { return m_folder + QLatin1Char('/') + name; }

    // A button that opens something leaves the dialog running.
    static void ExpectStillOpen(CFinishDlg& dlg)
    {
        EXPECT_TRUE(dlg.isVisible());
        EXPECT_EQ(CDialog::ActiveModal(), &dlg);
    }

    static constexpr const char* kViewerList = "config/mimeapps.list";

    RecordingXdgOpen m_xdgOpen;
    QTemporaryDir m_dir;
    QString m_folder;
    CFinishDlg m_dlg;
};

TEST_F(FinishDlg, ListsEachNameOnceSortedWithoutRegardToCaseAndSelectsTheFirst)
{
    m_dlg.m_lstPdfNames = {"b.pdf", "Zeta.pdf", "a.pdf", "B.pdf", "alpha.pdf", "b.pdf"};
    Run([](CFinishDlg& dlg) {
        EXPECT_EQ(Listed(dlg), (QStringList{"a.pdf", "alpha.pdf", "B.pdf", "b.pdf", "Zeta.pdf"}));
        EXPECT_EQ(dlg.m_lbResults.currentRow(), 0);
        ASSERT_EQ(dlg.m_lbResults.selectedItems().size(), 1);
        EXPECT_EQ(dlg.m_lbResults.selectedItems()[0]->text(), QStringLiteral("a.pdf"));
        EXPECT_EQ(dlg.m_lstPdfNames.size(), 6) << "the names themselves stay as reported";
        dlg.EndDialog(1);
    });
}

TEST_F(FinishDlg, ShowsTitleMessageSkinAndButtons)
{
    Run([](CFinishDlg& dlg) {
        EXPECT_EQ(dlg.size(), QSize(377, 199));
        // No blank band: under the buttons the margin they keep from the left edge.
        EXPECT_EQ(dlg.height() - 1 - dlg.m_btnCancel.geometry().bottom(), dlg.m_btnOpenFile.x());
        EXPECT_EQ(dlg.m_skin.ActiveFeatures(), CSkinFrame::kDraggableWindow);
        EXPECT_EQ(dlg.m_stTitle.text(), QStringLiteral("Orvik Excel To PDF"));
        EXPECT_TRUE(dlg.m_stTitle.m_bDragWindow);
        EXPECT_EQ(dlg.m_stMessage.text(), QStringLiteral("Conversion Completes!"));
        EXPECT_FALSE(dlg.m_stMessage.m_bDragWindow);
        for (const CFontStatic* st : {&dlg.m_stTitle, &dlg.m_stMessage}) {
            EXPECT_EQ(st->Face(), QStringLiteral("Tahoma"));
            EXPECT_EQ(st->FontHeight(), 16);
            EXPECT_EQ(st->TextColor(), 0x3C3C3Cu);
            EXPECT_FALSE(st->IsBold());
        }
        EXPECT_TRUE(dlg.m_btnOpenFile.HasImage());
        EXPECT_TRUE(dlg.m_btnOpenFolder.HasImage());
        EXPECT_TRUE(dlg.m_btnCancel.HasImage());
        EXPECT_FALSE(dlg.m_btnClose.isVisible());
        for (const QWidget* w : std::initializer_list<const QWidget*>{&dlg.m_lbResults, &dlg.m_btnOpenFile,
                                                                      &dlg.m_btnOpenFolder, &dlg.m_btnCancel})
            EXPECT_TRUE(dlg.rect().contains(w->geometry()));
        EXPECT_EQ(Listed(dlg), (QStringList{"b.pdf", "Bericht März #1.pdf"}));
        dialogtest::Screenshot(dlg, "finish_dialog");
        dlg.EndDialog(1);
    });
}

TEST_F(FinishDlg, MovedByTheTopBandAndTheTitleLine)
{
    std::vector<QWidget*> moved;
    CWindowDrag::SetObserver([&](QWidget* w) { moved.push_back(w); });
    Run([&](CFinishDlg& dlg) {
        QTest::mousePress(&dlg, Qt::LeftButton, {}, QPoint(200, 150));
        QTest::mouseRelease(&dlg, Qt::LeftButton, {}, QPoint(200, 150));
        EXPECT_TRUE(moved.empty());
        QTest::mousePress(&dlg, Qt::LeftButton, {}, QPoint(330, 10));
        QTest::mouseRelease(&dlg, Qt::LeftButton, {}, QPoint(330, 10));
        QTest::mousePress(&dlg.m_stTitle, Qt::LeftButton, {}, QPoint(10, 5));
        QTest::mouseRelease(&dlg.m_stTitle, Qt::LeftButton, {}, QPoint(10, 5));
        EXPECT_EQ(moved, (std::vector<QWidget*>{&dlg, &dlg}));
        dlg.EndDialog(1);
    });
    CWindowDrag::SetObserver({});
}

TEST_F(FinishDlg, OpenFileWithoutSelectionAsksToChooseOne)
{
    MessageBoxSeam boxes;
    Run([&](CFinishDlg& dlg) {
        dlg.m_lbResults.clearSelection();
        Click(dlg.m_btnOpenFile);
        ASSERT_EQ(boxes.Questions().size(), 1);
        EXPECT_EQ(boxes.Questions()[0].text, QStringLiteral("Please choose one file !"));
        EXPECT_EQ(boxes.Questions()[0].caption, QStringLiteral("ERROR"));
        EXPECT_EQ(boxes.Questions()[0].type, MB_OK | MB_ICONSTOP);
        ExpectStillOpen(dlg);
        // Opening afterwards shows that the refusal started nothing.
        dlg.m_lbResults.setCurrentRow(1);
        Click(dlg.m_btnOpenFile);
        EXPECT_EQ(m_xdgOpen.Calls(), QList<QStringList>{{PathOf("Bericht März #1.pdf")}});
        dlg.EndDialog(1);
    });
    EXPECT_EQ(boxes.Questions().size(), 1);
}

TEST_F(FinishDlg, OpenFileHandsTheWholePathToTheOpenerWithoutWaiting)
{
    m_xdgOpen.Hold(); // the opener does not end until released
    Run([&](CFinishDlg& dlg) {
        dlg.m_lbResults.setCurrentRow(1);
        Click(dlg.m_btnOpenFile);
        ExpectStillOpen(dlg);
        EXPECT_TRUE(m_xdgOpen.Snapshot().isEmpty()) << "the click returned before the opener ended";
        m_xdgOpen.Release();
        EXPECT_EQ(m_xdgOpen.Calls(), QList<QStringList>{{PathOf("Bericht März #1.pdf")}});
        dlg.m_lbResults.setCurrentRow(0);
        Click(dlg.m_btnOpenFile);
        EXPECT_EQ(m_xdgOpen.Calls(2).value(1), QStringList{PathOf("b.pdf")});
        ExpectStillOpen(dlg);
        dlg.EndDialog(1);
    });
}

TEST_F(FinishDlg, OpenFileWithoutAnyPdfViewerSaysSoInsteadOfStartingTheOpener)
{
    QFile::remove(m_xdgOpen.Desktop().Path(kViewerList));
    MessageBoxSeam boxes;
    Run([&](CFinishDlg& dlg) {
        Click(dlg.m_btnOpenFile);
        ASSERT_EQ(boxes.Questions().size(), 1);
        EXPECT_TRUE(boxes.Questions()[0].text.startsWith("No program on this computer opens PDF files."));
        EXPECT_EQ(boxes.Questions()[0].type, MB_OK | MB_ICONEXCLAMATION);
        ExpectStillOpen(dlg);
        // Once a viewer is installed the same click opens the file, and only that once.
        m_xdgOpen.Desktop().SetDefault(kViewerList, "viewer.desktop", "application/pdf");
        Click(dlg.m_btnOpenFile);
        EXPECT_EQ(m_xdgOpen.Calls(), QList<QStringList>{{PathOf("b.pdf")}});
        dlg.EndDialog(1);
    });
    EXPECT_EQ(boxes.Questions().size(), 1);
}

class FinishDlgOverBus : public FinishDlg {
protected:
    void SetUp() override
    {
        ORVIK_REQUIRE_TOOL(testsupport::HaveProgram("dbus-daemon"), "dbus-daemon");
        m_bus.emplace();
        ASSERT_TRUE(m_bus->IsRunning());
        CFileManagerReveal::SetBusAddress(m_bus->Address());
    }
    std::optional<PrivateBus> m_bus;
};

TEST_F(FinishDlgOverBus, OpenFolderShowsTheSelectedPdfElseTheFirst)
{
    FakeFileManager fm(m_bus->Address());
    ASSERT_TRUE(fm.IsRegistered());
    Run([&](CFinishDlg& dlg) {
        dlg.m_lbResults.setCurrentRow(1);
        Click(dlg.m_btnOpenFolder);
        ASSERT_EQ(fm.Calls().size(), 1);
        EXPECT_EQ(desktoptest::UrisOf(fm.Calls()[0]),
                  QStringList{QUrl::fromLocalFile(PathOf("Bericht März #1.pdf")).toString(QUrl::FullyEncoded)});
        ExpectStillOpen(dlg);

        dlg.m_lbResults.clearSelection();
        Click(dlg.m_btnOpenFolder);
        ASSERT_EQ(fm.Calls(2).size(), 2);
        EXPECT_EQ(desktoptest::UrisOf(fm.Calls()[1]), QStringList{CFileManagerReveal::FileUri(PathOf("b.pdf"))});
        ExpectStillOpen(dlg);
        dlg.EndDialog(1);
    });
    EXPECT_TRUE(m_xdgOpen.Snapshot().isEmpty()) << "the file manager showed them; no folder opened";
}

TEST_F(FinishDlgOverBus, OpenFolderWithoutFileManagerOpensTheFolder)
{
    Run([&](CFinishDlg& dlg) {
        Press(dlg, Qt::Key_Return); // Open Folder is the default button
        EXPECT_EQ(m_xdgOpen.Calls(), QList<QStringList>{{m_folder + QLatin1Char('/')}});
        ExpectStillOpen(dlg);
        dlg.EndDialog(1);
    });
}

TEST_F(FinishDlg, CloseEscapeAndCloseBoxEmptyTheNamesAndKeepTheFolder)
{
    const std::vector<std::function<void(CFinishDlg&)>> closers = {
        [](CFinishDlg& d) { Click(d.m_btnCancel); },
        [](CFinishDlg& d) { Press(d, Qt::Key_Escape); },
        [](CFinishDlg& d) { d.OnCommand(1033); },
    };
    for (size_t i = 0; i < closers.size(); ++i) {
        SCOPED_TRACE(i);
        const auto& close = closers[i];
        m_dlg.m_lstPdfNames = {QStringLiteral("old.pdf")};
        EXPECT_EQ(Run(close), IDCANCEL);
        EXPECT_TRUE(m_dlg.m_lstPdfNames.isEmpty());
        EXPECT_EQ(m_dlg.m_strFolder, m_folder + QLatin1Char('/'));
    }
    // The next run shows only its own PDFs.
    m_dlg.m_lstPdfNames = {QStringLiteral("new.pdf")};
    Run([](CFinishDlg& dlg) {
        EXPECT_EQ(Listed(dlg), QStringList{"new.pdf"});
        dlg.EndDialog(1);
    });
}

} // namespace
