// The command line of orvik-xl2pdf: every setting reaches the options, and
// every kind of bad usage is refused with a reason.
#include "cli/ArgumentBytes.h"
#include "cli/CliArguments.h"
#include "cli/PasswordFile.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Every option the parser takes.
const QStringList kEveryOption = {"--title", "--author", "--subject", "--keywords", "--owner-password-file",
                                  "--user-password-file", "--workbook-password-file", "--deny", "--encryption",
                                  "--doc-compression", "--image-compression", "--jpeg-quality", "--pdf-version",
                                  "--page-layout", "--page-mode", "--no-bookmarks", "--fit-width", "--pdfa",
                                  "--merge", "--overwrite", "--jobs", "--output", "--help"};

class CliArgumentsTest : public ::testing::Test {
protected:
    QString File(const QString& name, const QByteArray& content)
    {
        const QString path = dir.filePath(name);
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(content);
        return path;
    }
    bool Parse(const QStringList& args)
    {
        error.clear();
        return CliArguments::Parse(args, &settings, &error);
    }

    QTemporaryDir dir;
    CliSettings settings;
    QString error;
};

TEST_F(CliArgumentsTest, EveryOptionReachesItsSetting)
{
    const QString owner = File("owner", "own er\n");
    const QString user = File("user", " user pass \nsecond line\n");
    const QString book = File("book", "tika");
    ASSERT_TRUE(Parse({"--title", "Annual (report)", "--author=Ann", "--subject", "Figures", "--keywords", "a, b",
                       "--owner-password-file", owner, "--user-password-file=" + user, "--deny", "copy,forms,change,print",
                       "--encryption", "high", "--doc-compression", "lzw", "--image-compression=auto",
                       "--jpeg-quality", "medium", "--pdf-version", "1.5", "--workbook-password-file", book,
                       "--overwrite", "--jobs=3", "a.xlsx", "-o", "/out", "b.xls"}))
        << error.toStdString();

    const ConversionOptions& o = settings.options;
    EXPECT_EQ(QStringLiteral("Annual (report)"), o.m_strDocTitle);
    EXPECT_EQ(QStringLiteral("Ann"), o.m_strDocAuthor);
    EXPECT_EQ(QStringLiteral("Figures"), o.m_strDocSubject);
    EXPECT_EQ(QStringLiteral("a, b"), o.m_strDocKeywords);
    EXPECT_EQ(1, o.m_bEnableSecurity);
    EXPECT_EQ(1, o.m_bOwnerPassword);
    EXPECT_EQ(QStringLiteral("own er"), o.m_strOwnerPassword);
    EXPECT_EQ(1, o.m_bUserPassword);
    EXPECT_EQ(QStringLiteral(" user pass "), o.m_strUserPassword) << "only the newline is taken off";
    EXPECT_EQ(1, o.m_bCopyExtract);
    EXPECT_EQ(1, o.m_bFormFill);
    EXPECT_EQ(1, o.m_bChangeDoc);
    EXPECT_EQ(1, o.m_bPrinting);
    EXPECT_EQ(1, o.m_nEncryptionLevel);
    EXPECT_EQ(QStringLiteral("LZW"), o.m_strDocCompression);
    EXPECT_EQ(QStringLiteral("Automatic"), o.m_strImageCompression);
    EXPECT_EQ(QStringLiteral("Medium"), o.m_strJpegQuality);
    EXPECT_EQ(QStringLiteral("V1.5"), o.m_strPdfVersion);
    EXPECT_TRUE(settings.haveWorkbookPassword);
    EXPECT_EQ(QStringLiteral("tika"), settings.workbookPassword);
    EXPECT_TRUE(settings.overwrite);
    EXPECT_EQ(3, settings.jobs);
    EXPECT_EQ((QStringList{"a.xlsx", "b.xls"}), settings.workbooks);
    EXPECT_EQ(QStringLiteral("/out"), settings.outputFolder);
}

// The flags beyond the settings pages, and --merge in place of -o.
TEST_F(CliArgumentsTest, FlagsAndMergeReachTheirSettings)
{
    ASSERT_TRUE(Parse({"--no-bookmarks", "--fit-width", "--pdfa", "--merge=all.pdf", "a.xls"})) << error.toStdString();
    EXPECT_EQ(0, settings.options.m_bBookmarks);
    EXPECT_EQ(1, settings.options.m_bFitWidth);
    EXPECT_EQ(1, settings.options.m_bPdfA);
    EXPECT_EQ(QStringLiteral("all.pdf"), settings.mergeFile);
    EXPECT_TRUE(settings.outputFolder.isEmpty());
    ASSERT_TRUE(Parse({"a.xls", "-o", "/out"}));
    EXPECT_EQ(1, settings.options.m_bBookmarks) << "an outline by default";
    EXPECT_EQ(0, settings.options.m_bFitWidth + settings.options.m_bPdfA);
}

TEST_F(CliArgumentsTest, DefaultsAreTheSettingsWindowsDefaults)
{
    ASSERT_TRUE(Parse({"a.xlsx", "-o", "/out"}));
    const ConversionOptions o = settings.options;
    const ConversionOptions defaults;
    EXPECT_EQ(0, o.m_bEnableSecurity);
    EXPECT_EQ(defaults.m_strDocCompression, o.m_strDocCompression);
    EXPECT_EQ(QStringLiteral("V1.3(Acrobat 4.xx)"), o.m_strPdfVersion);
    EXPECT_EQ(QStringLiteral("Minimum"), o.m_strJpegQuality);
    EXPECT_FALSE(settings.overwrite);
    EXPECT_FALSE(settings.haveWorkbookPassword);
}

TEST_F(CliArgumentsTest, ValuesMapToTheItemTextsOfTheLists)
{
    const std::vector<std::tuple<const char*, const char*, const char*, QString ConversionOptions::*>> cases = {
        {"--pdf-version", "1.3", "V1.3(Acrobat 4.xx)", &ConversionOptions::m_strPdfVersion},
        {"--pdf-version", "1.4", "V1.4", &ConversionOptions::m_strPdfVersion},
        {"--image-compression", "flate", "Flate", &ConversionOptions::m_strImageCompression},
        {"--image-compression", "jpeg", "JPEG", &ConversionOptions::m_strImageCompression},
        {"--jpeg-quality", "minimum", "Minimum", &ConversionOptions::m_strJpegQuality},
        {"--jpeg-quality", "low", "Low", &ConversionOptions::m_strJpegQuality},
        {"--jpeg-quality", "maximum", "Maximum", &ConversionOptions::m_strJpegQuality},
        {"--doc-compression", "flate", "Flate", &ConversionOptions::m_strDocCompression},
        {"--page-layout", "continuous-facing", "Continuous Facing", &ConversionOptions::m_strPageLayout},
        {"--page-layout", "single", "Single Page", &ConversionOptions::m_strPageLayout},
        {"--page-mode", "full-screen", "Full Screen", &ConversionOptions::m_strPageMode},
        {"--page-mode", "thumbnails", "Thumbnails", &ConversionOptions::m_strPageMode},
    };
    for (const auto& [option, value, item, member] : cases) {
        ASSERT_TRUE(Parse({option, value, "a.xls", "-o", "/out"})) << error.toStdString();
        EXPECT_EQ(QString::fromLatin1(item), settings.options.*member) << option << " " << value;
    }
    // Every value names an item its list holds, as the settings window reads them.
    EXPECT_EQ(OptionItems::PageLayout().size(), 4);
    for (const char* value : {"continuous", "single", "facing", "continuous-facing"}) {
        ASSERT_TRUE(Parse({"--page-layout", value, "a.xls", "-o", "/out"}));
        EXPECT_TRUE(OptionItems::PageLayout().contains(settings.options.m_strPageLayout)) << value;
    }
    for (const char* value : {"normal", "bookmarks", "thumbnails", "full-screen"}) {
        ASSERT_TRUE(Parse({"--page-mode", value, "a.xls", "-o", "/out"}));
        EXPECT_TRUE(OptionItems::PageMode().contains(settings.options.m_strPageMode)) << value;
    }
}

TEST_F(CliArgumentsTest, DoubleDashEndsTheOptions)
{
    ASSERT_TRUE(Parse({"-o", "/out", "--", "--title", "-x.xlsx"}));
    EXPECT_EQ((QStringList{"--title", "-x.xlsx"}), settings.workbooks);
}

// The manual page and --help name every option there is, with examples.
TEST_F(CliArgumentsTest, TheManualPageNamesEveryOptionOfTheHelp)
{
    QFile page(QStringLiteral(ORVIK_SOURCE_DIR "/cli/orvik-xl2pdf.1"));
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    QString manual = QString::fromUtf8(page.readAll());
    manual.replace(QLatin1String("\\-"), QLatin1String("-"));
    const QString usage = CliArguments::Usage();
    QRegularExpressionMatchIterator options = QRegularExpression(QStringLiteral("(?<![\\w-])--?[a-z][a-z-]*")).globalMatch(usage);
    int named = 0;
    while (options.hasNext()) {
        const QString option = options.next().captured();
        EXPECT_TRUE(manual.contains(option)) << option.toStdString() << " is not in the manual page";
        ++named;
    }
    EXPECT_GT(named, 20);
    for (const QString& option : kEveryOption)
        EXPECT_TRUE(usage.contains(option)) << option.toStdString() << " is not in --help";
    EXPECT_TRUE(usage.contains("Examples:") && manual.contains(".SH EXAMPLES"));
}

TEST_F(CliArgumentsTest, HelpNeedsNothingElse)
{
    ASSERT_TRUE(Parse({"--help"}));
    EXPECT_TRUE(settings.help);
    EXPECT_TRUE(CliArguments::Usage().contains("orvik-xl2pdf [options] WORKBOOK... -o FOLDER"));
}

// Each line: the arguments and a word the reason must contain.
TEST_F(CliArgumentsTest, BadUsageIsRefusedWithAReason)
{
    const QString owner = File("owner", "secret\n");
    const QString empty = File("empty", "\n");
    const std::vector<std::pair<QStringList, const char*>> cases = {
        {{"--bogus", "a.xls", "-o", "/out"}, "unknown option --bogus"},
        {{"-x", "a.xls", "-o", "/out"}, "unknown option -x"},
        {{"a.xls"}, "-o FOLDER"},
        {{"-o", "/out"}, "no workbook"},
        {{"a.xls", "-o"}, "-o needs a value"},
        {{"a.xls", "-o", "/a", "-o", "/b"}, "twice"},
        {{"--pdf-version", "1.6", "a.xls", "-o", "/out"}, "1.6"},
        {{"--image-compression", "JPEG", "a.xls", "-o", "/out"}, "JPEG"},
        {{"--jpeg-quality", "best", "a.xls", "-o", "/out"}, "best"},
        {{"--page-layout", "two", "a.xls", "-o", "/out"}, "continuous-facing"},
        {{"--jobs", "0", "a.xls", "-o", "/out"}, "--jobs"},
        {{"--jobs", "two", "a.xls", "-o", "/out"}, "\"two\""},
        {{"--encryption", "medium", "--owner-password-file", owner, "a.xls", "-o", "/out"}, "medium"},
        {{"--deny", "copy,paste", "--owner-password-file", owner, "a.xls", "-o", "/out"}, "paste"},
        {{"--owner-password-file", dir.filePath("missing"), "a.xls", "-o", "/out"}, "missing"},
        {{"--owner-password-file", dir.path(), "a.xls", "-o", "/out"}, "cannot read"},
        {{"--owner-password-file", empty, "a.xls", "-o", "/out"}, "empty"},
        {{"--owner-password-file", "-", "--workbook-password-file", "-", "a.xls", "-o", "/out"}, "standard input"},
        {{"--owner-password-file", owner, "--owner-password-file", owner, "a.xls", "-o", "/out"}, "twice"},
        {{"--user-password-file", owner, "a.xls", "-o", "/out"}, "--owner-password-file"},
        {{"--deny", "print", "a.xls", "-o", "/out"}, "--owner-password-file"},
        {{"--encryption", "high", "a.xls", "-o", "/out"}, "--owner-password-file"},
        {{"--pdfa", "--owner-password-file", owner, "a.xls", "-o", "/out"}, "PDF/A"},
        {{"--merge", "/out/all.pdf", "a.xls", "-o", "/out"}, "only one"},
        {{"--merge", "/out/", "a.xls"}, "file name"},
    };
    for (const auto& [args, reason] : cases) {
        EXPECT_FALSE(Parse(args)) << args.join(' ').toStdString();
        EXPECT_TRUE(error.contains(QString::fromUtf8(reason))) << args.join(' ').toStdString() << " -> " << error.toStdString();
        EXPECT_FALSE(error.contains(QLatin1Char('\n')));
        EXPECT_FALSE(error.contains(QLatin1String("secret"))) << "a password never appears in a message";
    }
}

TEST(PasswordFileTest, TakesTheFirstLineWithoutItsNewline)
{
    EXPECT_EQ(QStringLiteral("pässwörd "), PasswordFile::FirstLine(QStringLiteral("pässwörd \nnext\n").toUtf8()));
    EXPECT_EQ(QStringLiteral("no newline"), PasswordFile::FirstLine("no newline"));
    EXPECT_EQ(QString(), PasswordFile::FirstLine("\n"));
    // A line end written on Windows goes as a whole; a carriage return elsewhere stays.
    EXPECT_EQ(QStringLiteral("\tx"), PasswordFile::FirstLine("\tx\r\n"));
    EXPECT_EQ(QStringLiteral("user9"), PasswordFile::FirstLine("user9\r\nnext\r\n"));
    EXPECT_EQ(QString(), PasswordFile::FirstLine("\r\n"));
    EXPECT_EQ(QStringLiteral("a\rb"), PasswordFile::FirstLine("a\rb\n"));
    EXPECT_EQ(QStringLiteral("end\r"), PasswordFile::FirstLine("end\r"));
}

// Bytes that are not UTF-8 text are kept and shown escaped; text outside the
// first plane (whose low half lies among the kept bytes' marks) stays text.
TEST(ArgumentBytesTest, KeepsBytesThatAreNotTextApartFromText)
{
    const QString latin = ArgumentBytes::Decode(QByteArray("caf\xe9 \xe2\x82.xlsx"));
    EXPECT_FALSE(ArgumentBytes::IsText(latin));
    EXPECT_EQ(QStringLiteral("caf\\xe9 \\xe2\\x82.xlsx"), ArgumentBytes::Shown(latin));
    const QByteArray text = QStringLiteral("\U0001F480 café €.xlsx").toUtf8(); // U+1F480: low half U+DC80
    EXPECT_EQ(QString::fromUtf8(text), ArgumentBytes::Decode(text));
    EXPECT_TRUE(ArgumentBytes::IsText(ArgumentBytes::Decode(text)));
    EXPECT_EQ(QString::fromUtf8(text) + QStringLiteral("\\xe9"), ArgumentBytes::Shown(ArgumentBytes::Decode(text + "\xe9")));
}

// RC4 keeps 32 bytes of a password: a longer one would be cut without a word,
// so that any password with the same start opened the PDF.
TEST_F(CliArgumentsTest, PasswordsAPdfCannotHoldWholeAreRefused)
{
    const QByteArray thirtyTwo(32, 'k');
    const QString owner32 = File("owner32", thirtyTwo + "\r\n");
    const QString owner33 = File("owner33", thirtyTwo + "x\n");
    const QString user33 = File("user33", thirtyTwo + "y\r\n");
    // Thirty-one characters of which two take one byte each in a PDF: still fits.
    const QString latin = File("latin", QStringLiteral("%1éü").arg(QString(29, QLatin1Char('p'))).toUtf8() + "\n");

    ASSERT_TRUE(Parse({"--owner-password-file", owner32, "a.xls", "-o", "/out"})) << error.toStdString();
    EXPECT_EQ(QString::fromLatin1(thirtyTwo), settings.options.m_strOwnerPassword);
    ASSERT_TRUE(Parse({"--owner-password-file", latin, "a.xls", "-o", "/out"})) << error.toStdString();

    EXPECT_FALSE(Parse({"--owner-password-file", owner33, "a.xls", "-o", "/out"}));
    EXPECT_EQ(QStringLiteral("The owner password is 33 characters long; a PDF password can have at most 32."), error);
    EXPECT_FALSE(Parse({"--owner-password-file", owner32, "--user-password-file", user33, "a.xls", "-o", "/out"}));
    EXPECT_TRUE(error.contains(QLatin1String("The user password is 33 characters"))) << error.toStdString();
    // The workbook's own password is no PDF password: any length.
    ASSERT_TRUE(Parse({"--workbook-password-file", owner33, "a.xls", "-o", "/out"})) << error.toStdString();
}

} // namespace
