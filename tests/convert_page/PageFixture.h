#pragma once

// A conversion page inside a stand-in main window, offscreen, with every question
// and file dialog answered by seams, and a temporary folder of its own that must
// hold no run folder once the page is gone.
#include "app/DialogDriver.h"
#include "app/PromptSeam.h"
#include "convert_page/ConversionWorker.h"
#include "convert_page/ConvertDlg.h"
#include "engine/RunTestSupport.h"
#include "framework/FileDialogSeam.h"
#include "framework/MainWnd.h"
#include "skin/TahomaFace.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <memory>
#include <optional>

#include <gtest/gtest.h>

namespace pagetest {

class PageFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        static const bool faceInstalled = (InstallTahomaFace(), true);
        (void)faceInstalled;
        temporaryFolder.emplace(tmp.path());
        host = std::make_unique<QWidget>();
        host->resize(700, 522);
        AfxSetMainWnd(host.get());
        page = std::make_unique<CConvertDlg>();
        ASSERT_TRUE(page->Create(CConvertDlg::IDD, host.get()));
        page->move(7, 104);
        page->show();
        host->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(host.get()));
    }
    void TearDown() override
    {
        page.reset(); // before its parent window
        AfxSetMainWnd(nullptr);
        host.reset();
        if (temporaryFolder) {
            EXPECT_EQ(QStringList(), QDir(tmp.path()).entryList({QStringLiteral("orvik-run-*")},
                                                                QDir::AllEntries | QDir::Hidden))
                << "a run folder was left behind";
            temporaryFolder.reset();
        }
    }

    // An empty file in the fixture's folder (sub-folders made as needed).
    QString MakeFile(const QString& relative)
    {
        const QString path = dir.filePath(relative);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        return path;
    }
    QString Folder() const { return dir.path() + QLatin1Char('/'); }

    // The page as the screen shows it, saved under the build folder's screenshots.
    void Shot(const QString& name) { dialogtest::Screenshot(*page, name); }
    QAbstractButton* Button(int id) const { return page->GetDlgItem<QAbstractButton>(id); }
    bool Enabled(int id) const { return page->GetDlgItem(id)->isEnabled(); }
    void Click(int id) { page->OnCommand(id); }
    QString Output() const { return page->GetDlgItemText(1017); }
    QString Status() const { return page->m_edStatus.text(); }
    QStringList SkinnedTexts() const
    {
        QStringList texts;
        for (const CPromptSeam::Question& q : prompts.Questions())
            texts << q.text;
        return texts;
    }
    QStringList PlainTexts() const
    {
        QStringList texts;
        for (const MessageBoxSeam::Question& q : prompts.PlainQuestions())
            texts << q.text;
        return texts;
    }
    // Adds files through the file dialog's seam and Add File(s).
    void AddFiles(const QStringList& files)
    {
        dialogs.QueueFiles(files);
        Click(1009);
    }

    QTemporaryDir dir, tmp;
    std::optional<runtest::TemporaryFolderOverride> temporaryFolder;
    CPromptSeam prompts;
    FileDialogSeam dialogs;
    std::unique_ptr<QWidget> host;
    std::unique_ptr<CConvertDlg> page;
};

} // namespace pagetest
