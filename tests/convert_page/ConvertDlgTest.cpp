// The conversion page's commands without a conversion: adding, removing and
// dropping workbooks, the output folder, the checks before a conversion, the
// status line and the keys.
#include "PageFixture.h"

#include "framework/WindowsCodes.h"

#include <QKeyEvent>
#include <QListWidget>

using pagetest::PageFixture;

namespace {

using ConvertPage = PageFixture;

const QString kNotExisted = QStringLiteral("               File not existed!");
const QString kNotSupported = QStringLiteral("        File format not supported!");
const QString kExisting = QStringLiteral("        Convert Excel file existing.");
const QString kBadFolder = QStringLiteral("The output path is not existed, please input a valid path!");

TEST_F(ConvertPage, StartsEmptyWithTheListCommandsDisabledAndTheSettingsWindowHidden)
{
    EXPECT_FALSE(Enabled(1010));
    EXPECT_FALSE(Enabled(1011));
    EXPECT_FALSE(Enabled(1019));
    EXPECT_TRUE(Enabled(1009));
    EXPECT_TRUE(Enabled(1037));
    EXPECT_TRUE(Enabled(1018));
    EXPECT_EQ(0u, page->m_progress.GetPos());
    EXPECT_EQ(100u, page->m_progress.m_nMax);
    EXPECT_EQ(QStringLiteral("Convert"), Button(1019)->text());
    EXPECT_TRUE(page->m_dlgSetting.IsCreated());
    EXPECT_FALSE(page->m_dlgSetting.isVisible());
    EXPECT_EQ(nullptr, page->m_dlgSetting.parentWidget());
    EXPECT_FALSE(page->IsConverting());
    EXPECT_EQ((QStringList{"xls", "xlsx"}), page->m_lbFiles.m_lstExtensions);
    Shot("page_empty");
}

TEST_F(ConvertPage, AddedFilesPointTheOutputFolderAtTheirFolderAndMakeThePageReady)
{
    const QString one = MakeFile("in/a.xls");
    AddFiles({one});
    EXPECT_EQ(Folder() + "in/", Output());
    EXPECT_EQ(QStringList{one}, page->m_lbFiles.Items());
    EXPECT_EQ(QStringLiteral("Ready"), Status());
    EXPECT_TRUE(Enabled(1011));
    EXPECT_TRUE(Enabled(1019));
    EXPECT_FALSE(Enabled(1010)) << "Remove waits for a selection";

    // Several files of another folder, one in capitals: the folder follows them,
    // the list keeps its case-blind order.
    const QStringList more{MakeFile("other/c.xlsx"), MakeFile("other/B.XLSX")};
    AddFiles(more);
    EXPECT_EQ(Folder() + "other/", Output());
    EXPECT_EQ((QStringList{one, Folder() + "other/B.XLSX", Folder() + "other/c.xlsx"}), page->m_lbFiles.Items());
    EXPECT_TRUE(SkinnedTexts().isEmpty());
    ASSERT_EQ(2, dialogs.Calls().size());
    EXPECT_EQ(QStringLiteral("Excel Files(*.xls;*.xlsx) (*.xls *.xlsx)"), dialogs.Calls().at(0).filter);
    EXPECT_EQ(host.get(), dialogs.Calls().at(0).owner) << "owned by the main window";
    Shot("page_ready");
}

// A bad file ends the addition: earlier files stay, later ones are not looked
// at, status and bar stay, and the buttons follow the list.
TEST_F(ConvertPage, AnUnsupportedOrMissingFileEndsTheAddition)
{
    page->m_progress.SetPos(40);
    const QString a = MakeFile("a.xls");
    AddFiles({a, MakeFile("b.xlsm"), MakeFile("c.xls")});
    EXPECT_EQ(QStringList{kNotSupported}, SkinnedTexts());
    EXPECT_EQ(0, prompts.Questions().at(0).type);
    EXPECT_EQ(QStringList{a}, page->m_lbFiles.Items());
    EXPECT_EQ(QString(), Status());
    EXPECT_EQ(40u, page->m_progress.GetPos());
    EXPECT_TRUE(Enabled(1011));
    EXPECT_TRUE(Enabled(1019));

    Click(1011);
    AddFiles({Folder() + "gone.xls", MakeFile("d.xls")});
    EXPECT_EQ((QStringList{kNotSupported, kNotExisted}), SkinnedTexts());
    EXPECT_EQ(0, page->m_lbFiles.GetCount());
    EXPECT_FALSE(Enabled(1011));
    EXPECT_FALSE(Enabled(1019));
}

// Only the exact path counts as listed: Book.xls is no duplicate of Book.xlsx,
// whichever comes first.
TEST_F(ConvertPage, DuplicatesAreTheExactPathOnly)
{
    const QString xls = MakeFile("Book.xls");
    const QString xlsx = MakeFile("Book.xlsx");
    AddFiles({xlsx});
    AddFiles({xls, xlsx, MakeFile("z.xls")});
    EXPECT_EQ(QStringList{kExisting}, SkinnedTexts());
    EXPECT_EQ((QStringList{xls, xlsx, Folder() + "z.xls"}), page->m_lbFiles.Items());
    EXPECT_EQ(QStringLiteral("Ready"), Status()) << "a duplicate does not end the addition";

    Click(1011);
    AddFiles({xls});
    AddFiles({xlsx});
    EXPECT_EQ((QStringList{xls, xlsx}), page->m_lbFiles.Items());
    EXPECT_EQ(1, SkinnedTexts().size());
}

TEST_F(ConvertPage, ACancelledFileDialogOnlyResetsStatusAndBar)
{
    const QString a = MakeFile("a.xls");
    AddFiles({a});
    page->SetDlgItemText(1017, "/somewhere/");
    page->m_edStatus.setText("Complete!");
    page->m_progress.SetPos(100);
    dialogs.QueueCancel();
    Click(1009);
    EXPECT_EQ(QStringLiteral("Ready"), Status());
    EXPECT_EQ(0u, page->m_progress.GetPos());
    EXPECT_EQ(QStringLiteral("/somewhere/"), Output());
    EXPECT_EQ(QStringList{a}, page->m_lbFiles.Items());
}

TEST_F(ConvertPage, RemoveTakesEverySelectedItemAndRemoveAllEmptiesTheList)
{
    AddFiles({MakeFile("a.xls"), MakeFile("b.xls"), MakeFile("c.xls"), MakeFile("d.xls")});
    page->m_lbFiles.item(1)->setSelected(true);
    page->m_lbFiles.item(2)->setSelected(true);
    EXPECT_TRUE(Enabled(1010)) << "a selection enables Remove";
    Click(1010);
    EXPECT_EQ((QStringList{Folder() + "a.xls", Folder() + "d.xls"}), page->m_lbFiles.Items());
    EXPECT_FALSE(Enabled(1010));
    EXPECT_TRUE(Enabled(1019));

    page->m_lbFiles.selectAll();
    Click(1010);
    EXPECT_EQ(0, page->m_lbFiles.GetCount());
    EXPECT_FALSE(Enabled(1011));
    EXPECT_FALSE(Enabled(1019));

    AddFiles({MakeFile("e.xls")});
    page->m_lbFiles.selectAll();
    Click(1011);
    EXPECT_EQ(0, page->m_lbFiles.GetCount());
    EXPECT_FALSE(Enabled(1010));
    EXPECT_FALSE(Enabled(1011));
    EXPECT_FALSE(Enabled(1019));
}

TEST_F(ConvertPage, BrowseSetsTheChosenFolderWithATrailingSlash)
{
    QDir().mkpath(dir.filePath("out put"));
    dialogs.QueueFolder(dir.filePath("out put"));
    Click(1018);
    EXPECT_EQ(Folder() + "out put/", Output());
    ASSERT_EQ(1, dialogs.Calls().size());
    EXPECT_EQ(FileDialogSeam::Call::Folder, dialogs.Calls().at(0).kind);
    EXPECT_EQ(page.get(), dialogs.Calls().at(0).owner) << "owned by the page";

    dialogs.QueueCancel();
    Click(1018);
    EXPECT_EQ(Folder() + "out put/", Output());
}

// After a drop: the folder of the first listed item, "Ready", the buttons; the
// bar is left as it was.
TEST_F(ConvertPage, DroppedFilesPointTheFolderAtTheFirstListedItem)
{
    page->m_progress.SetPos(100);
    page->m_lbFiles.OnDropFiles({MakeFile("zz/late.xlsx"), MakeFile("Aa/early.xls"), MakeFile("zz/notes.txt")});
    QTest::qWait(50);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Status() == QStringLiteral("Ready"); }, 5000));
    EXPECT_EQ(Folder() + "Aa/", Output());
    EXPECT_TRUE(Enabled(1011));
    EXPECT_TRUE(Enabled(1019));
    EXPECT_EQ(100u, page->m_progress.GetPos());
    EXPECT_EQ(QStringList{QStringLiteral("File format not support!")}, PlainTexts());
}

TEST_F(ConvertPage, ConvertRefusesAnEmptyListAndAFolderThatIsNotThere)
{
    Click(1019);
    EXPECT_EQ(QStringList{QStringLiteral("No Excel File")}, PlainTexts());

    AddFiles({MakeFile("a.xls")});
    for (const QString& folder : {QString(), Folder() + "deleted/", QStringLiteral("relative/folder"),
                                  MakeFile("a-file.txt")}) {
        page->SetDlgItemText(1017, folder);
        Click(1019);
    }
    EXPECT_EQ(QStringList(4, kBadFolder), SkinnedTexts());
    for (const CPromptSeam::Question& q : prompts.Questions())
        EXPECT_EQ(0, q.type);
    EXPECT_FALSE(page->IsConverting());
    EXPECT_EQ(QStringLiteral("Ready"), Status());
    EXPECT_EQ(QStringLiteral("Convert"), Button(1019)->text());
    EXPECT_EQ(nullptr, page->Worker());
    EXPECT_TRUE(Enabled(1009));
}

// Security that would give an unprotected PDF: the settings window opens on its
// Security page with the reason, and nothing starts.
TEST_F(ConvertPage, ConvertWithUnusableSecurityOpensTheSecurityPageInstead)
{
    AddFiles({MakeFile("a.xls")});
    page->m_dlgSecurity.CheckDlgButton(1005, 1); // security on, owner password box checked but empty
    Click(1019);
    ASSERT_EQ(1, PlainTexts().size());
    EXPECT_EQ(QStringLiteral("Security needs an owner password: check \"Enable Owner Password\" and type one."),
              PlainTexts().at(0));
    EXPECT_TRUE(page->m_dlgSetting.isVisible());
    EXPECT_EQ(1044, page->m_dlgSetting.PageOnShow());
    EXPECT_TRUE(page->m_dlgSecurity.isVisible());
    EXPECT_FALSE(page->IsConverting());
    EXPECT_EQ(QStringLiteral("Ready"), Status());
    EXPECT_EQ(QStringLiteral("Convert"), Button(1019)->text());
    EXPECT_EQ(0, page->m_dlgSecurity.m_bEnableSecurity) << "nothing was taken over from the page";
}

TEST_F(ConvertPage, SettingShowsTheWindowWithSecurityStatesAndASnapshotOfTheLists)
{
    Click(1037);
    EXPECT_TRUE(page->m_dlgSetting.isVisible());
    EXPECT_FALSE(page->m_dlgSecurity.GetDlgItem(1022)->isEnabled()) << "security is off";
    page->m_dlgAdvanced.m_cbDocCompression.setCurrentIndex(1);
    Click(1037); // a second press takes a new snapshot
    page->m_dlgAdvanced.m_cbDocCompression.setCurrentIndex(0);
    page->m_dlgSetting.OnCommand(1033);
    EXPECT_FALSE(page->m_dlgSetting.isVisible());
    EXPECT_EQ(QStringLiteral("LZW"), page->m_dlgAdvanced.m_cbDocCompression.currentText());
}

// The status line animates with up to six dots and starts again; nobody types into it.
TEST_F(ConvertPage, StatusLineCountsSixDotsAndStartsAgain)
{
    page->m_edStatus.setText(QStringLiteral("Start to convert"));
    QStringList seen;
    for (int i = 0; i < 9; ++i) {
        page->OnTimer(CConvertDlg::IDT_STATUS);
        seen << Status();
    }
    const QString s = QStringLiteral("Start to convert");
    EXPECT_EQ((QStringList{s + ".", s + "..", s + "...", s + "....", s + ".....", s + "......", s, s + ".",
                           s + ".."}),
              seen);

    page->m_edStatus.setFocus();
    QTest::keyClicks(&page->m_edStatus, QStringLiteral("typed"));
    QTest::keyClick(&page->m_edStatus, Qt::Key_Backspace);
    EXPECT_EQ(s + "..", Status());
}

TEST_F(ConvertPage, EnterAndEscapeChangeNothingOnThePage)
{
    AddFiles({MakeFile("a.xls")});
    const int asked = prompts.Questions().size() + prompts.PlainQuestions().size();
    for (QWidget* target : {page->GetDlgItem(1017), static_cast<QWidget*>(&page->m_lbFiles),
                            static_cast<QWidget*>(&page->m_btnConvert), static_cast<QWidget*>(&page->m_edStatus)}) {
        target->setFocus();
        QTest::keyClick(target, Qt::Key_Return);
        QTest::keyClick(target, Qt::Key_Escape);
    }
    EXPECT_TRUE(page->isVisible());
    EXPECT_FALSE(page->IsConverting()) << "Enter on Convert must not start";
    EXPECT_EQ(asked, prompts.Questions().size() + prompts.PlainQuestions().size());
    EXPECT_EQ(1, page->m_lbFiles.GetCount());
}

} // namespace
