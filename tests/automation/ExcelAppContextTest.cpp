// The scratch folder for print files is named after the process, so that a
// later run removes it when this one was killed.
#include "automation/ExcelAppContext.h"
#include "platform/StaleRunFiles.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

TEST(ExcelAppContext, ScratchFolderCarriesTheProcessIdAndGoesAtQuit)
{
    ExcelAppContext context(nullptr, false);
    const QString folder = context.ScratchFolder();
    EXPECT_EQ(QDir::tempPath(), QFileInfo(folder).path());
    EXPECT_TRUE(QFileInfo(folder).fileName().startsWith(QStringLiteral("orvik-print-") + StaleRunFiles::NamePart()))
        << folder.toStdString();
    EXPECT_TRUE(QFileInfo(folder).isDir());
    context.Quit();
    EXPECT_FALSE(QFileInfo::exists(folder));
}
