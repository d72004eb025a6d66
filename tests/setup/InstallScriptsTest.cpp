// tools/install.sh and tools/uninstall.sh for real: the build folder installed
// under a private prefix, the printer queue and the Calc add-in registered in the
// office's own shared location, then everything removed again.
#include "SetupTestSupport.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QScopeGuard>
#include <gtest/gtest.h>

using namespace setuptest;

namespace {

const QString kId = QStringLiteral("example.orvik-software.excel-to-pdf");
const QString kOfficeShared = QStringLiteral("/usr/lib/libreoffice/share/uno_packages");


QStringList FilesUnder(const QString& folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories | QDirIterator::FollowSymlinks);
    while (it.hasNext())
        files.append(it.next());
    return files;
}

QStringList FilesNamingTheAddin(const QString& folder)
{
    QStringList found;
    for (const QString& path : FilesUnder(folder)) {
        QFile f(path);
        if (path.contains(QLatin1String("OrvikExcelToPDF")) || (f.open(QIODevice::ReadOnly) && f.read(8 << 20).contains(kId.toUtf8())))
            found.append(path);
    }
    return found;
}

} // namespace

TEST(InstallScripts, InstallThenUninstallLeavesNothingBehind)
{
    REQUIRE_CUPS();
    ORVIK_REQUIRE_TOOL(QFileInfo(QStringLiteral("/usr/lib/libreoffice/program/unopkg")).isExecutable(),
                       "LibreOffice (unopkg)");
    if (::geteuid() != 0)
        GTEST_SKIP() << "installing for all users needs root";
    if (!QFileInfo::exists(QStringLiteral(ORVIK_BINARY_DIR "/app/OrvikExcelToPDF")))
        GTEST_SKIP() << "needs the whole project built in " ORVIK_BINARY_DIR;
    SharedCacheRestorer restoreCache;
    if (RealAddinListed())
        GTEST_SKIP() << "the Calc add-in is installed on this machine already; left alone";
    QueueRestorer restore;
    QTemporaryDir prefix;
    const QString folder = prefix.filePath(QStringLiteral("lib/orvik-excel-to-pdf"));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("ORVIK_ADDIN_SHARED_DIR"));
    const QStringList where{QStringLiteral("--prefix"), prefix.path(), QStringLiteral("--build-dir"),
                            QStringLiteral(ORVIK_BINARY_DIR)};
    // The build folder is built already (by ./test.sh, or the targets this needs).
    const QStringList installArgs = where + QStringList{QStringLiteral("--no-build")};

    // A failed check below must not leave the installation behind.
    const auto removeOnFailure = qScopeGuard([&] {
        if (QFileInfo::exists(folder))
            RunProgram(QStringLiteral(ORVIK_SOURCE_DIR "/tools/uninstall.sh"), where, QString(), env);
    });
    const RunResult install = RunProgram(QStringLiteral(ORVIK_SOURCE_DIR "/tools/install.sh"), installArgs, QString(), env, 600000);
    ASSERT_EQ(0, install.exitCode) << install.out.toStdString() << install.err.toStdString();
    for (const char* file : {"OrvikRegister", "OrvikUnregister", "orvik-xl2pdf", "PrinterExcelToPDFXP.bat",
                             "PrinterExcelToPDFVista.bat", "PrinterExcelToPDFWin7.bat", "OrvikExcelToPDF"})
        EXPECT_TRUE(QFileInfo(folder + QLatin1Char('/') + QLatin1String(file)).isExecutable()) << file;
    EXPECT_TRUE(QFileInfo::exists(folder + QStringLiteral("/OrvikExcelToPDF.so")));
    EXPECT_FALSE(QFileInfo(folder + QStringLiteral("/orvik-xl2pdf")).isSymLink());
    EXPECT_EQ(CPrinterQueue::Ready, CPrinterQueue::Check(RealQueue()));
    EXPECT_TRUE(RealAddinListed());
    EXPECT_FALSE(FilesNamingTheAddin(kOfficeShared).isEmpty());

    const RunResult uninstall = RunProgram(QStringLiteral(ORVIK_SOURCE_DIR "/tools/uninstall.sh"), where, QString(), env);
    EXPECT_EQ(0, uninstall.exitCode) << uninstall.out.toStdString() << uninstall.err.toStdString();
    EXPECT_EQ(CPrinterQueue::Missing, CPrinterQueue::Check(RealQueue()));
    EXPECT_FALSE(RealAddinListed());
    EXPECT_EQ("", FilesNamingTheAddin(kOfficeShared).join(QLatin1Char('\n')).toStdString());
    EXPECT_FALSE(QFileInfo::exists(folder));
    EXPECT_EQ("", FilesUnder(prefix.path()).join(QLatin1Char('\n')).toStdString());
}
