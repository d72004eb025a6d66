// The menu entry and icons: the built entry passes desktop-file-validate, the
// install script puts entry and icons below the user's data folder pointing at
// the built program, and cmake --install lays out program, help, link, entry
// and icons under a prefix.
#include "app/shell/OrvikAllToPDFApp.h"
#include "support/RealTools.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {
const QString kId = QString::fromLatin1(COrvikAllToPDFApp::kDesktopId);
const QString kBuild = QStringLiteral(ORVIK_BINARY_DIR);

// Runs a program; its exit code, with its output in *output.
int RunTool(const QString& program, const QStringList& args, QString* output = nullptr,
        const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment())
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    if (!p.waitForFinished(300000))
        return -1;
    if (output)
        *output = QString::fromLocal8Bit(p.readAll());
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

QString EntryValue(const QString& file, const QString& key)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return "<missing " + file + ">";
    for (const QString& line : QString::fromUtf8(f.readAll()).split('\n'))
        if (line.startsWith(key + "="))
            return line.mid(key.size() + 1);
    return {};
}

void ExpectIcons(const QString& iconFolder)
{
    for (int size : {48, 128, 256}) {
        const QImage icon(QStringLiteral("%1/hicolor/%2x%2/apps/%3.png").arg(iconFolder).arg(size).arg(kId));
        EXPECT_EQ(icon.size(), QSize(size, size)) << "icon " << size;
    }
}
} // namespace

TEST(DesktopEntry, TheBuiltEntryIsValidAndNamesTheBuiltProgram)
{
    ORVIK_REQUIRE_TOOL(testsupport::HaveProgram("desktop-file-validate"), "desktop-file-validate (desktop-file-utils)");
    const QString entry = kBuild + "/app/" + kId + ".desktop";
    QString output;
    EXPECT_EQ(RunTool("desktop-file-validate", {entry}, &output), 0) << output.toStdString();
    EXPECT_TRUE(output.trimmed().isEmpty()) << output.toStdString();
    EXPECT_EQ(EntryValue(entry, "Name"), "Orvik Excel To PDF");
    EXPECT_EQ(EntryValue(entry, "Exec"), kBuild + "/app/OrvikExcelToPDF");
    EXPECT_EQ(EntryValue(entry, "Icon"), kId);
    EXPECT_EQ(EntryValue(entry, "Terminal"), "false");
    EXPECT_EQ(EntryValue(entry, "Categories"), "Office;");
    EXPECT_EQ(EntryValue(entry, "StartupWMClass"), "OrvikExcelToPDF");
}

TEST(DesktopEntry, TheInstallScriptAddsEntryAndIconsForTheUser)
{
    QTemporaryDir data;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_DATA_HOME", data.path());
    QString output;
    ASSERT_EQ(RunTool(ORVIK_SOURCE_DIR "/tools/install_desktop_entry.sh", {kBuild}, &output, env), 0)
        << output.toStdString();
    const QString entry = data.path() + "/applications/" + kId + ".desktop";
    EXPECT_TRUE(output.contains(entry)) << "the script says where it put the entry";
    EXPECT_EQ(EntryValue(entry, "Exec"), kBuild + "/app/OrvikExcelToPDF");
    ExpectIcons(data.path() + "/icons");
}

TEST(DesktopEntry, CmakeInstallLaysOutProgramHelpEntryIconsAndManualPage)
{
    QTemporaryDir prefix;
    QString output;
    ASSERT_EQ(RunTool("cmake", {"--install", kBuild, "--prefix", prefix.path()}, &output), 0) << output.toStdString();
    const QString folder = prefix.path() + "/lib/orvik-excel-to-pdf";
    EXPECT_TRUE(QFileInfo(folder + "/OrvikExcelToPDF").isExecutable());
    EXPECT_TRUE(QFileInfo::exists(folder + "/Orvik Excel To PDF - Help.html"));
    EXPECT_TRUE(QFileInfo::exists(folder + "/images/main-window.png"));
    const QFileInfo link(prefix.path() + "/bin/OrvikExcelToPDF");
    EXPECT_TRUE(link.isSymLink());
    EXPECT_EQ(link.canonicalFilePath(), QFileInfo(folder + "/OrvikExcelToPDF").canonicalFilePath());
    const QString entry = prefix.path() + "/share/applications/" + kId + ".desktop";
    EXPECT_EQ(EntryValue(entry, "Exec"), folder + "/OrvikExcelToPDF");
    if (testsupport::HaveProgram("desktop-file-validate")) {
        EXPECT_EQ(RunTool("desktop-file-validate", {entry}, &output), 0) << output.toStdString();
    }
    ExpectIcons(prefix.path() + "/share/icons");
    EXPECT_TRUE(QFileInfo::exists(prefix.path() + "/share/man/man1/orvik-xl2pdf.1")) << "the command line's manual page";
    const QFileInfo batch(prefix.path() + "/bin/orvik-batch");
    EXPECT_TRUE(batch.isSymLink());
    EXPECT_TRUE(QFileInfo(batch.canonicalFilePath()).isExecutable()) << "the Slurm batch script";
}
