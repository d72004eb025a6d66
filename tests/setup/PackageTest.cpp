// The Debian package made by tools/package.sh: its control fields, files and
// maintainer scripts; as root, installed with apt (queue, add-in and menu entry
// there), then purged (nothing of it left), the test queue put back.
#include "SetupTestSupport.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QRegularExpression>
#include <QScopeGuard>
#include <gtest/gtest.h>

using namespace setuptest;
using testsupport::HaveProgram;

namespace {

const QString kPackage = QStringLiteral("orvik-excel-to-pdf");
const QString kFolder = QStringLiteral("/usr/lib/orvik-excel-to-pdf");


bool PackageInstalled()
{
    return RunProgram(QStringLiteral("dpkg-query"), {QStringLiteral("-W"), QStringLiteral("-f=${Status}"), kPackage})
        .out.contains(QLatin1String("install ok installed"));
}

QString Field(const QString& deb, const char* field)
{
    return RunProgram(QStringLiteral("dpkg-deb"), {QStringLiteral("-f"), deb, QLatin1String(field)}).out.trimmed();
}

} // namespace

TEST(DebianPackage, CarriesTheInstallationAndItsScriptsAndInstallsAndPurgesCleanly)
{
    ORVIK_REQUIRE_TOOL(HaveProgram("cpack") && HaveProgram("dpkg-deb") && HaveProgram("dpkg-shlibdeps"),
                       "cpack and dpkg-dev");
    if (!QFileInfo::exists(QStringLiteral(ORVIK_BINARY_DIR "/app/OrvikExcelToPDF")))
        GTEST_SKIP() << "needs the whole project built in " ORVIK_BINARY_DIR;
    QTemporaryDir out;
    const RunResult made = RunProgram(QStringLiteral(ORVIK_SOURCE_DIR "/tools/package.sh"),
                                      {QStringLiteral("--build-dir"), QStringLiteral(ORVIK_BINARY_DIR),
                                       QStringLiteral("--output"), out.path(), QStringLiteral("--no-build")},
                                      QString(), QProcessEnvironment::systemEnvironment(), 600000);
    ASSERT_EQ(0, made.exitCode) << made.err.toStdString();
    const QString deb = made.out.trimmed();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("/orvik-excel-to-pdf_[0-9.]+_[a-z0-9]+\\.deb$")).match(deb).hasMatch())
        << deb.toStdString();
    ASSERT_TRUE(QFileInfo::exists(deb));

    EXPECT_EQ(kPackage, Field(deb, "Package"));
    const QString depends = Field(deb, "Depends");
    for (const char* need : {"libreoffice-calc", "libreoffice-core", "ghostscript", "cups", "cups-client",
                             "fonts-wine", "libqt6widgets6", "libuno-cppu3"})
        EXPECT_TRUE(QRegularExpression(QStringLiteral("(^|, )%1( |,|$)").arg(QLatin1String(need))).match(depends).hasMatch())
            << need << " in " << depends.toStdString();
    EXPECT_FALSE(depends.contains(QLatin1String("nogui"))) << depends.toStdString();

    const QString files = RunProgram(QStringLiteral("dpkg-deb"), {QStringLiteral("-c"), deb}).out;
    for (const char* file : {"OrvikRegister", "OrvikUnregister", "OrvikExcelToPDF.so", "orvik-xl2pdf",
                             "OrvikExcelToPDF", "PrinterExcelToPDFXP.bat", "PrinterExcelToPDFWin7.bat",
                             "Orvik Excel To PDF - Help.html"})
        EXPECT_TRUE(files.contains(QStringLiteral("./usr/lib/orvik-excel-to-pdf/") + QLatin1String(file))) << file;
    EXPECT_TRUE(files.contains(QLatin1String("./usr/share/applications/"))) << files.toStdString();
    EXPECT_TRUE(files.contains(QLatin1String("./usr/share/man/man1/orvik-xl2pdf.1"))) << "its manual page";
    EXPECT_TRUE(files.contains(QLatin1String("./usr/bin/orvik-xl2pdf -> ../lib/orvik-excel-to-pdf/orvik-xl2pdf")));
    EXPECT_TRUE(files.contains(QLatin1String("./usr/bin/orvik-batch -> ../lib/orvik-excel-to-pdf/orvik-batch.sh")));

    QTemporaryDir control;
    ASSERT_EQ(0, RunProgram(QStringLiteral("dpkg-deb"), {QStringLiteral("-e"), deb, control.path()}).exitCode);
    const QString postinst = ReadText(control.filePath(QStringLiteral("postinst")));
    const QString prerm = ReadText(control.filePath(QStringLiteral("prerm")));
    EXPECT_TRUE(postinst.contains(kFolder + QStringLiteral("/OrvikRegister"))) << postinst.toStdString();
    EXPECT_TRUE(prerm.contains(kFolder + QStringLiteral("/OrvikUnregister"))) << prerm.toStdString();
    EXPECT_TRUE(QFileInfo(control.filePath(QStringLiteral("prerm"))).isExecutable());

    // Installed and purged for real, as root, when this machine has neither yet.
    if (::geteuid() != 0 || !HaveProgram("apt-get"))
        GTEST_SKIP() << "installing the package needs root and apt";
    SharedCacheRestorer restoreCache;
    if (PackageInstalled() || RealAddinListed())
        GTEST_SKIP() << "the package or the Calc add-in is installed on this machine already; left alone";
    REQUIRE_CUPS();
    QueueRestorer restore;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DEBIAN_FRONTEND"), QStringLiteral("noninteractive"));
    env.remove(QStringLiteral("ORVIK_ADDIN_SHARED_DIR"));
    const auto purgeOnFailure = qScopeGuard([&] {
        if (PackageInstalled())
            RunProgram(QStringLiteral("apt-get"), {QStringLiteral("purge"), QStringLiteral("-y"), kPackage}, QString(), env, 300000);
    });
    const RunResult install = RunProgram(QStringLiteral("apt-get"),
                                         {QStringLiteral("install"), QStringLiteral("-y"), deb},
                                         QString(), env, 300000);
    ASSERT_EQ(0, install.exitCode) << install.out.toStdString() << install.err.toStdString();
    EXPECT_EQ(CPrinterQueue::Ready, CPrinterQueue::Check(RealQueue()));
    EXPECT_TRUE(RealAddinListed());
    EXPECT_TRUE(QFileInfo::exists(QStringLiteral("/usr/share/applications/example.orvik_software.OrvikExcelToPDF.desktop")));
    EXPECT_TRUE(QFileInfo(QStringLiteral("/usr/bin/orvik-xl2pdf")).isExecutable());

    const RunResult purge = RunProgram(QStringLiteral("apt-get"), {QStringLiteral("purge"), QStringLiteral("-y"), kPackage},
                                       QString(), env, 300000);
    EXPECT_EQ(0, purge.exitCode) << purge.out.toStdString() << purge.err.toStdString();
    EXPECT_FALSE(PackageInstalled());
    EXPECT_EQ(CPrinterQueue::Missing, CPrinterQueue::Check(RealQueue()));
    EXPECT_FALSE(RealAddinListed());
    EXPECT_FALSE(QFileInfo::exists(kFolder));
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral("/usr/bin/orvik-xl2pdf")));
}
