#include "engine/GhostscriptCommand.h"
#include "engine/GhostscriptStage.h"
#include "engine/PdfPassword.h"
#include "options/ConversionOptions.h"
#include "platform/RunFolder.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

ConversionOptions Secured(int level, const QString& owner = QStringLiteral("own"))
{
    ConversionOptions o;
    o.m_bEnableSecurity = 1;
    o.m_bOwnerPassword = 1;
    o.m_strOwnerPassword = owner;
    o.m_nEncryptionLevel = level;
    return o;
}

void SetFlags(ConversionOptions& o, bool copy, bool form, bool change, bool print)
{
    o.m_bCopyExtract = copy;
    o.m_bFormFill = form;
    o.m_bChangeDoc = change;
    o.m_bPrinting = print;
}

} // namespace

// The documented example: Book1.xlsx, two sheets, folder "out", "V1.4", security off.
// The argument list is the original one with only these platform changes:
// the interpreter, the older PDF reader, the output path form, the guarded .setpdfwrite,
// the print files and pdfmarks in the run folder, and pdfmarks read before the pages
// as well as after them.
TEST(GhostscriptCommand, ExampleMatchesTheOriginalApartFromTheListedChanges)
{
    const QString original = QStringLiteral(
        "gs\\gs8.64\\bin\\gswin32c  -dSAFER -dNOPAUSE -dBATCH -sDEVICE=pdfwrite "
        "-dCompatibilityLevel=1.4 -sOutputFile=\"D:\\out\\Book1.pdf\"  -c .setpdfwrite -f "
        "\"C:\\tmp_1.ps\" \"C:\\tmp_2.ps\"  \"C:\\pdfmarks\"");
    QStringList expected = original.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (QString& token : expected)
        token.remove(QLatin1Char('"'));

    const QString run = QStringLiteral("/tmp/orvik-run-abc123");
    const QMap<QString, QString> changes{
        {QStringLiteral("gs\\gs8.64\\bin\\gswin32c"), QStringLiteral("gs")},
        {QStringLiteral("-sOutputFile=D:\\out\\Book1.pdf"), QStringLiteral("-sOutputFile=out/Book1.pdf")},
        {QStringLiteral(".setpdfwrite"), QStringLiteral("/.setpdfwrite where {pop .setpdfwrite} if")},
        {QStringLiteral("C:\\tmp_1.ps"), run + QStringLiteral("/tmp_1.pdf")},
        {QStringLiteral("C:\\tmp_2.ps"), run + QStringLiteral("/tmp_2.pdf")},
        {QStringLiteral("C:\\pdfmarks"), run + QStringLiteral("/pdfmarks")},
    };
    for (QString& token : expected)
        token = changes.value(token, token);
    expected.insert(expected.indexOf(QStringLiteral("-f")) + 1, expected.last());
    expected.insert(expected.indexOf(QStringLiteral("-sDEVICE=pdfwrite")) + 1, QStringLiteral("-dNEWPDF=false"));

    ConversionOptions options;
    options.m_strPdfVersion = QStringLiteral("V1.4");
    const GhostscriptFiles files{QStringLiteral("gs"), PdfPathFor("out", "Book1.xlsx"),
                                 {run + "/tmp_1.pdf", run + "/tmp_2.pdf"}, run + "/pdfmarks",
                                 run + "/gs-args"};
    const GhostscriptCommand command = BuildGhostscriptCommand(options, files);
    EXPECT_EQ(expected, QStringList{command.Program()} + command.Arguments());
    EXPECT_EQ(QStringLiteral("gs -dSAFER -dNOPAUSE -dBATCH -sDEVICE=pdfwrite -dNEWPDF=false -dCompatibilityLevel=1.4 "
                             "-sOutputFile=out/Book1.pdf -c \"/.setpdfwrite where {pop .setpdfwrite} if\" "
                             "-f /tmp/orvik-run-abc123/pdfmarks /tmp/orvik-run-abc123/tmp_1.pdf "
                             "/tmp/orvik-run-abc123/tmp_2.pdf /tmp/orvik-run-abc123/pdfmarks"),
              command.Render());
}

TEST(GhostscriptCommand, SecurityGoesIntoTheArgumentFileNeverTheArgumentList)
{
    ConversionOptions o = Secured(1, QStringLiteral("top secret"));
    o.m_bUserPassword = 1;
    o.m_strUserPassword = QStringLiteral("reader");
    const GhostscriptCommand c = BuildGhostscriptCommand(
        o, {QStringLiteral("gs"), "/o/x.pdf", {"/r/tmp_1.pdf"}, "/r/pdfmarks", "/r/args"});
    const QStringList args = c.Arguments();
    EXPECT_EQ(QStringLiteral("@/r/args"), args.at(args.indexOf("-sOutputFile=/o/x.pdf") - 1));
    EXPECT_FALSE(c.Render().contains("secret"));
    EXPECT_FALSE(c.Render().contains("reader"));
    EXPECT_FALSE(c.Render().contains(PdfPassword::HexString("reader").mid(1, 6)));
    EXPECT_EQ(QStringLiteral("-dOwnerPassword=<746F7020736563726574>\n-dUserPassword=<726561646572>\n"
                             "-dEncryptionR=3\n-dKeyLength=128\n-dPermissions=-4\n"),
              GhostscriptCommand::ArgumentFileText(o));

    ConversionOptions off = o;
    off.m_bEnableSecurity = 0;
    EXPECT_FALSE(BuildGhostscriptCommand(off, {"gs", "/o/x.pdf", {}, "/r/p", "/r/args"})
                     .Render().contains("@"));
    EXPECT_TRUE(GhostscriptCommand::ArgumentFileText(off).isEmpty());
}

TEST(GhostscriptCommand, SecurityArgumentsFollowTheRules)
{
    // 40-bit, no flag: owner, level, permissions -4.
    EXPECT_EQ((QStringList{"-dOwnerPassword=<6F776E>", "-dEncryptionR=2", "-dKeyLength=40",
                           "-dPermissions=-4"}),
              GhostscriptCommand::SecurityArguments(Secured(0)));

    // An empty user password is still passed when its box is checked.
    ConversionOptions emptyUser = Secured(0);
    emptyUser.m_bUserPassword = 1;
    EXPECT_EQ(QStringLiteral("-dUserPassword=<>"), GhostscriptCommand::SecurityArguments(emptyUser).at(1));

    // A level outside 0 and 1: passwords only.
    EXPECT_EQ(QStringList{"-dOwnerPassword=<6F776E>"}, GhostscriptCommand::SecurityArguments(Secured(2)));

    // User password enabled, owner password not: nothing at all.
    ConversionOptions userOnly = Secured(0);
    userOnly.m_bOwnerPassword = 0;
    userOnly.m_bUserPassword = 1;
    userOnly.m_strUserPassword = "u";
    EXPECT_TRUE(GhostscriptCommand::SecurityArguments(userOnly).isEmpty());
    // Owner password checked but empty, or security off: nothing.
    EXPECT_TRUE(GhostscriptCommand::SecurityArguments(Secured(0, QString())).isEmpty());
    ConversionOptions disabled = Secured(1);
    disabled.m_bEnableSecurity = 0;
    EXPECT_TRUE(GhostscriptCommand::SecurityArguments(disabled).isEmpty());
}

// 40-bit: every box clears its own bit. 128-bit: the same, plus the bits that
// revision 3 adds to each action (high-quality printing, assembly, form fill-in),
// so that what is denied is exactly what was checked.
TEST(GhostscriptCommand, PermissionNumbers)
{
    ConversionOptions o;
    EXPECT_EQ(-4, GhostscriptCommand::Permissions(o, 0));
    EXPECT_EQ(-4, GhostscriptCommand::Permissions(o, 1));
    SetFlags(o, true, true, true, true);
    EXPECT_EQ(-64, GhostscriptCommand::Permissions(o, 0));
    EXPECT_EQ(-3392, GhostscriptCommand::Permissions(o, 1));
    SetFlags(o, false, false, false, true);
    EXPECT_EQ(-8, GhostscriptCommand::Permissions(o, 0));
    EXPECT_EQ(-2056, GhostscriptCommand::Permissions(o, 1));
    SetFlags(o, true, false, false, false);
    EXPECT_EQ(-20, GhostscriptCommand::Permissions(o, 0));
    EXPECT_EQ(-20, GhostscriptCommand::Permissions(o, 1));
    SetFlags(o, false, true, true, false);
    EXPECT_EQ(-44, GhostscriptCommand::Permissions(o, 0));
    EXPECT_EQ(-1324, GhostscriptCommand::Permissions(o, 1));
    SetFlags(o, true, false, false, true);
    EXPECT_EQ(-24, GhostscriptCommand::Permissions(o, 0));
    EXPECT_EQ(-2072, GhostscriptCommand::Permissions(o, 1));
}

TEST(GhostscriptCommand, CompatibilityLevel)
{
    const QStringList items = OptionItems::PdfVersion();
    EXPECT_EQ("1.3", GhostscriptCommand::CompatibilityLevel(items.at(0)));
    EXPECT_EQ("1.4", GhostscriptCommand::CompatibilityLevel(items.at(1)));
    EXPECT_EQ("1.5", GhostscriptCommand::CompatibilityLevel(items.at(2)));
    EXPECT_EQ("", GhostscriptCommand::CompatibilityLevel(""));
    EXPECT_EQ("", GhostscriptCommand::CompatibilityLevel("1.4"));
    EXPECT_EQ("", GhostscriptCommand::CompatibilityLevel("V1.6"));

    // An unknown text leaves the argument out (an empty level is refused by gs).
    ConversionOptions unknown;
    unknown.m_strPdfVersion = "V2.0";
    const QStringList args = BuildGhostscriptCommand(unknown, {"gs", "/o.pdf", {}, "/p", "/a"}).Arguments();
    EXPECT_FALSE(args.join(' ').contains("CompatibilityLevel"));

    // 128-bit RC4 needs 1.4: the default 1.3 is raised, 40-bit keeps it, 1.5 stays.
    ConversionOptions high = Secured(1);
    EXPECT_EQ("1.4", GhostscriptCommand::EffectiveLevel(high));
    EXPECT_EQ("1.3", GhostscriptCommand::EffectiveLevel(Secured(0)));
    high.m_strPdfVersion = items.at(2);
    EXPECT_EQ("1.5", GhostscriptCommand::EffectiveLevel(high));
    ConversionOptions highOff = Secured(1);
    highOff.m_bEnableSecurity = 0;
    EXPECT_EQ("1.3", GhostscriptCommand::EffectiveLevel(highOff));
}

TEST(GhostscriptCommand, OutputNameKeepsPercentSigns)
{
    EXPECT_EQ("/tmp/100%%/a%%d.pdf", GhostscriptCommand::EscapeOutputName("/tmp/100%/a%d.pdf"));
    const QStringList args = BuildGhostscriptCommand(ConversionOptions(),
                                                     {"gs", "/t/5%.pdf", {"rel.pdf"}, "/p", "/a"}).Arguments();
    EXPECT_TRUE(args.contains("-sOutputFile=/t/5%%.pdf"));
    // Relative print files become absolute, so none can be read as an option.
    EXPECT_EQ(QDir::current().absoluteFilePath("rel.pdf"), args.at(args.size() - 2));
}

TEST(GhostscriptCommand, NewReaderOnlyWhenTheFilesAllowIt)
{
    GhostscriptFiles files{"gs", "/o/a.pdf", {"/r/tmp_1.pdf"}, "/r/pdfmarks", "/r/args"};
    EXPECT_TRUE(BuildGhostscriptCommand(ConversionOptions(), files).Arguments().contains("-dNEWPDF=false"));
    files.olderReader = false;
    const QStringList args = BuildGhostscriptCommand(ConversionOptions(), files).Arguments();
    EXPECT_FALSE(args.filter("NEWPDF").size()) << args.join(' ').toStdString();
    EXPECT_EQ("/r/tmp_1.pdf", args.at(args.size() - 2));
}

TEST(GhostscriptStagePaths, FolderWithAndWithoutSeparator)
{
    EXPECT_EQ("out/Book1.pdf", PdfPathFor("out", "Book1.xlsx"));
    EXPECT_EQ("/data/out/Book1.pdf", PdfPathFor("/data/out/", "/home/u/Book1.xlsx"));
    EXPECT_EQ("/Book1.pdf", PdfPathFor("/", "/home/u/Book1.xls"));
    EXPECT_EQ("/o/report.2024.pdf", PdfPathFor("/o", "/a.b/report.2024.xlsx"));
    EXPECT_EQ("/o/noext.pdf", PdfPathFor("/o", "/a.b/noext"));
}

TEST(PdfPassword, EncodingAndRefusal)
{
    QByteArray bytes;
    ASSERT_TRUE(PdfPassword::ToPdfDocEncoding(QString::fromUtf8("aé€Łœ˘ ü\"\\"), &bytes));
    EXPECT_EQ(QByteArray("a\xE9\xA0\x95\x9C\x18 \xFC\"\\"), bytes);
    EXPECT_EQ("<E9>", PdfPassword::HexString(QString::fromUtf8("é")));

    QString bad;
    EXPECT_FALSE(PdfPassword::ToPdfDocEncoding(QString::fromUtf8("ab中c"), nullptr, &bad));
    EXPECT_EQ(QString::fromUtf8("中"), bad);
    EXPECT_FALSE(PdfPassword::ToPdfDocEncoding(QString::fromUtf8("x😀"), nullptr, &bad));
    EXPECT_EQ(QString::fromUtf8("😀"), bad);
    EXPECT_FALSE(PdfPassword::ToPdfDocEncoding(QString(QChar(0xAD)), nullptr, &bad));  // undefined
    EXPECT_FALSE(PdfPassword::ToPdfDocEncoding(QString(QChar(0x01)), nullptr, &bad));

    const QString reason = PdfPassword::CheckPassword(QString::fromUtf8("пароль"), "owner");
    EXPECT_TRUE(reason.contains("owner password")) << reason.toStdString();
    EXPECT_TRUE(reason.contains(QString::fromUtf8("\"п\""))) << reason.toStdString();
    EXPECT_TRUE(PdfPassword::CheckPassword(QString::fromUtf8(" \"lead\\ é"), "owner").isEmpty());

    // Only passwords that are used are checked.
    ConversionOptions o = Secured(0);
    o.m_strUserPassword = QString::fromUtf8("日本");
    EXPECT_TRUE(GhostscriptCommand::CheckPasswords(o).isEmpty());
    o.m_bUserPassword = 1;
    EXPECT_TRUE(GhostscriptCommand::CheckPasswords(o).contains("user password"));
}

TEST(RunFolder, PrivateFolderRemovedWithItsContents)
{
    QString path;
    {
        RunFolder folder;
        ASSERT_TRUE(folder.IsValid()) << folder.ErrorText().toStdString();
        path = folder.Path();
        EXPECT_TRUE(path.startsWith(QDir::tempPath() + "/"));
        struct stat st{};
        ASSERT_EQ(0, ::stat(path.toLocal8Bit().constData(), &st));
        EXPECT_EQ(0700u, st.st_mode & 0777);
        QDir(path).mkdir("sub");
        QFile f(folder.FilePath("sub/x"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        RunFolder other;
        EXPECT_NE(path, other.Path());
        other.Remove();
        EXPECT_TRUE(other.Path().isEmpty());
        other.Remove();
    }
    EXPECT_FALSE(QFileInfo::exists(path));
}

TEST(GhostscriptCommand, InterpreterBesideTheProgramIsPreferred)
{
    const QString folder = QFileInfo(QFileInfo("/proc/self/exe").canonicalFilePath()).path();
    const QString bundled = folder + "/gs/bin/gs";
    ASSERT_FALSE(QFileInfo::exists(bundled)) << "leftover " << bundled.toStdString();
    EXPECT_EQ("gs", GhostscriptCommand::ResolveInterpreter());

    ASSERT_TRUE(QDir(folder).mkpath("gs/bin"));
    QFile script(bundled);
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\nexec gs \"$@\"\n");
    script.close();
    EXPECT_EQ("gs", GhostscriptCommand::ResolveInterpreter());  // not executable: not used
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(bundled, GhostscriptCommand::ResolveInterpreter());
    EXPECT_EQ(bundled, BuildGhostscriptCommand(ConversionOptions(), {{}, "/o.pdf", {}, "/p", "/a"}).Program());
    QDir(folder + "/gs").removeRecursively();
}
