// "Excel.Application" as the engine meets it: real workbooks opened in the real
// office and printed through the real CUPS queue into PDF print files.
#include "OfficeTestSupport.h"

#include "automation/ExcelMembers.h"
#include "automation/OfficeSession.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace officetest;

namespace {

// The status Open raised (0 when the workbook opened; it is then closed again),
// and its message.
int32_t OpenError(const QString& path, const QString& password = QStringLiteral("1"), QString* message = nullptr)
{
    try {
        Open(path, password).CloseAndQuit();
        return 0;
    } catch (const DispatchException& e) {
        if (message)
            *message = e.Message();
        return e.Code();
    }
}

// One office for every case of a test program (ctest runs each case alone).
class OfficeServerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_session = std::make_unique<OfficeSession>(); }
    static void TearDownTestSuite() { s_session.reset(); }

    QString PrintFile(int i) const { return m_run.path() + QStringLiteral("/tmp_%1.pdf").arg(i); }

    static std::unique_ptr<OfficeSession> s_session;
    QTemporaryDir m_run;
};
std::unique_ptr<OfficeSession> OfficeServerTest::s_session;

// What each sheet of a sample workbook must show once printed: a word that
// must be there (empty: the sheet is empty), and one that must not (another
// sheet's, so a print of the wrong sheet fails).
struct SheetText {
    const char* present;
    const char* absent;
};
struct PlainWorkbook {
    const char* file;
    std::vector<SheetText> sheets;
};

void PrintTo(const PlainWorkbook& w, std::ostream* os)
{
    *os << w.file;
}

class PlainWorkbookTest : public OfficeServerTest, public ::testing::WithParamInterface<PlainWorkbook> {};

TEST_P(PlainWorkbookTest, OpensWithThePlaceholderPasswordAndPrintsEachSheetAlone)
{
    ORVIK_REQUIRE_OFFICE();
    const PlainWorkbook& sample = GetParam();
    OpenWorkbook w = Open(TestData(QString::fromUtf8(sample.file)));
    ASSERT_EQ(w.count, static_cast<int32_t>(sample.sheets.size()));
    for (int i = 1; i <= w.count; ++i) {
        const SheetText& expected = sample.sheets[i - 1];
        // An old file of the same name must never pass for this sheet's print.
        QFile stale(PrintFile(i));
        ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
        stale.write("old print file");
        stale.close();

        const bool printed = w.Print(i, PrintFile(i));
        if (*expected.present == '\0') {
            EXPECT_FALSE(printed) << "sheet " << i;
            EXPECT_FALSE(QFile::exists(PrintFile(i))) << "sheet " << i;
            continue;
        }
        ASSERT_TRUE(printed) << "sheet " << i;
        EXPECT_TRUE(IsWholePdf(PrintFile(i))) << "sheet " << i;
        const QString text = PdfText(PrintFile(i));
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected.present))) << "sheet " << i << ": " << qPrintable(text);
        if (*expected.absent) {
            EXPECT_FALSE(text.contains(QString::fromUtf8(expected.absent))) << "sheet " << i << ": " << qPrintable(text);
        }
    }
    w.CloseAndQuit();
}

INSTANTIATE_TEST_SUITE_P(
    SharedTestdata, PlainWorkbookTest,
    ::testing::Values(
        // Stored with its second sheet active and form controls on it.
        PlainWorkbook{"SampleSS.xls", {{"Test spreadsheet", "2nd sheet"}, {"Start of 2nd sheet", "This one is red"}, {"", ""}}},
        PlainWorkbook{"SampleSS.xlsx", {{"Test spreadsheet", "2nd sheet"}, {"Start of 2nd sheet", "This one is red"}, {"", ""}}},
        PlainWorkbook{"55906-MultiSheetRefs.xlsx", {{"Hello!", "Middle!"}, {"Middle!", "Hello!"}, {"Bye!", "Middle!"}}},
        PlainWorkbook{"SimpleScatterChart.xlsx", {{"0.5", ""}, {"1.6", "0.5"}}},
        PlainWorkbook{"WithTextBox.xlsx", {{"Line 2", ""}, {"", ""}, {"", ""}}},
        PlainWorkbook{"chinese-provinces.xls", {{"北京市", ""}}},
        PlainWorkbook{"unicodeSheetName.xlsx", {{"5", ""}}}),
    [](const ::testing::TestParamInfo<PlainWorkbook>& info) {
        QString name = QString::fromUtf8(info.param.file);
        name.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9]")), QStringLiteral("_"));
        return name.toStdString();
    });

struct ProtectedWorkbook {
    const char* file;
    const char* password;
    int32_t sheets;
    const char* firstSheetWord;
};

void PrintTo(const ProtectedWorkbook& w, std::ostream* os)
{
    *os << w.file;
}

class ProtectedWorkbookTest : public OfficeServerTest, public ::testing::WithParamInterface<ProtectedWorkbook> {};

TEST_P(ProtectedWorkbookTest, OpensOnlyWithItsPassword)
{
    ORVIK_REQUIRE_OFFICE();
    const ProtectedWorkbook& sample = GetParam();
    const QString path = TestData(QString::fromLatin1(sample.file));
    // The office itself says that the workbook wants its password.
    EXPECT_EQ(XlError::PasswordRequired, OpenError(path)) << "the placeholder password";
    EXPECT_EQ(XlError::PasswordRequired, OpenError(path, QStringLiteral("wrong")));
    EXPECT_EQ(XlError::PasswordRequired, OpenError(path, QString())) << "no password";

    OpenWorkbook w = Open(path, QString::fromLatin1(sample.password));
    EXPECT_EQ(w.count, sample.sheets);
    ASSERT_TRUE(w.Print(1, PrintFile(1)));
    EXPECT_TRUE(PdfText(PrintFile(1)).contains(QString::fromLatin1(sample.firstSheetWord)));
    w.CloseAndQuit();
}

INSTANTIATE_TEST_SUITE_P(SharedTestdata, ProtectedWorkbookTest,
                         ::testing::Values(ProtectedWorkbook{"password.xls", "password", 3, "ZIP bomb"},
                                           ProtectedWorkbook{"xor-encryption-abc.xls", "abc", 1, "2"},
                                           ProtectedWorkbook{"protected_passtika.xlsx", "tika", 3, "Encrypted Excel"}),
                         [](const ::testing::TestParamInfo<ProtectedWorkbook>& info) {
                             return QString::fromLatin1(info.param.file).section(QLatin1Char('.'), 0, 0)
                                 .replace(QLatin1Char('-'), QLatin1Char('_')).toStdString();
                         });

// A sheet is printed with one print job: the one-page print that prepares a
// freshly loaded view is made only for a binary workbook of several sheets,
// whose stored view the office applies at its first print. The extra print
// would go into a scratch folder of the application's own in the temporary folder.
TEST_F(OfficeServerTest, PrintsEachSheetWithOnePrintWhereTheStoredViewIsAppliedAtLoad)
{
    ORVIK_REQUIRE_OFFICE();
    // The session's office runs before the temporary folder changes: its
    // profile must not go into the folder this case removes.
    ASSERT_TRUE(OfficeSession::CurrentOffice());
    QTemporaryDir temp;
    const bool hadTemp = qEnvironmentVariableIsSet("TMPDIR");
    const QByteArray savedTemp = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(temp.path()));
    const auto scratchFolders = [&] {
        return QDir(temp.path()).entryList({QStringLiteral("orvik-print-*")}, QDir::Dirs | QDir::NoDotAndDotDot);
    };
    struct Case {
        const char* file;
        int sheet;
        const char* present;
        const char* absent;
    };
    // The first: stored with its second sheet active; the second: one sheet.
    for (const Case& c : {Case{"SampleSS.xlsx", 1, "Test spreadsheet", "2nd sheet"},
                          Case{"chinese-provinces.xls", 1, "北京市", ""}}) {
        OpenWorkbook w = Open(TestData(QString::fromLatin1(c.file)));
        ASSERT_TRUE(w.Print(c.sheet, PrintFile(1))) << c.file;
        const QString text = PdfText(PrintFile(1));
        EXPECT_TRUE(text.contains(QString::fromUtf8(c.present))) << c.file << ": " << qPrintable(text);
        if (*c.absent) {
            EXPECT_FALSE(text.contains(QString::fromUtf8(c.absent))) << c.file << ": " << qPrintable(text);
        }
        EXPECT_EQ(scratchFolders(), QStringList()) << c.file << ": a print beyond the sheet's own";
        w.CloseAndQuit();
    }
    if (hadTemp)
        qputenv("TMPDIR", savedTemp);
    else
        qunsetenv("TMPDIR");
}

TEST_F(OfficeServerTest, RefusesDamagedMissingAndEmptyFilesAtOpen)
{
    ORVIK_REQUIRE_OFFICE();
    // Real workbooks cut short: a binary one (the office would read the rest as
    // plain text) and a zipped one.
    const auto cut = [&](const char* name, qint64 size) {
        QFile in(TestData(QString::fromLatin1(name)));
        EXPECT_TRUE(in.open(QIODevice::ReadOnly));
        const QString path = m_run.path() + QStringLiteral("/cut-") + QString::fromLatin1(name);
        QFile out(path);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(in.read(size));
        return path;
    };
    // None of them is taken for an encrypted workbook.
    QString message;
    EXPECT_EQ(DISP_E_EXCEPTION, OpenError(cut("SampleSS.xls", 9000), QStringLiteral("1"), &message));
    EXPECT_EQ(QStringLiteral("The file \"cut-SampleSS.xls\" is damaged or is not a workbook."), message);
    EXPECT_EQ(DISP_E_EXCEPTION, OpenError(cut("SampleSS.xlsx", 4000), QStringLiteral("1"), &message));
    EXPECT_EQ(QStringLiteral("The file \"cut-SampleSS.xlsx\" is damaged or is not a workbook."), message);
    EXPECT_EQ(DISP_E_EXCEPTION, OpenError(cut("protected_passtika.xlsx", 6000), QStringLiteral("tika")));
    EXPECT_EQ(DISP_E_EXCEPTION, OpenError(cut("SampleSS.xls", 0)));
    EXPECT_EQ(DISP_E_EXCEPTION, OpenError(m_run.path() + QStringLiteral("/missing.xlsx")));
    const QString text = m_run.path() + QStringLiteral("/notes.xls");
    QFile notes(text);
    ASSERT_TRUE(notes.open(QIODevice::WriteOnly));
    notes.write("Shopping list\nmilk\nbread\n");
    notes.close();
    EXPECT_EQ(DISP_E_EXCEPTION, OpenError(text)) << "plain text named like a workbook";

    // The office that refused them still serves.
    OpenWorkbook w = Open(TestData(QStringLiteral("SampleSS.xlsx")));
    EXPECT_EQ(w.count, 3);
    w.CloseAndQuit();
}

TEST_F(OfficeServerTest, PrintOutRaisesForAPrinterCupsDoesNotKnow)
{
    ORVIK_REQUIRE_OFFICE();
    OpenWorkbook w = Open(TestData(QStringLiteral("SampleSS.xlsx")));
    EXPECT_THROW(w.Print(1, PrintFile(1), QStringLiteral("OrvikNoSuchQueue")), DispatchException);
    EXPECT_FALSE(QFile::exists(PrintFile(1)));
    // The right queue afterwards still prints.
    EXPECT_TRUE(w.Print(1, PrintFile(1)));
    EXPECT_TRUE(IsWholePdf(PrintFile(1)));
    w.CloseAndQuit();
}

TEST_F(OfficeServerTest, HandlesBlanksAndNonAsciiInWorkbookAndPrintFileNames)
{
    ORVIK_REQUIRE_OFFICE();
    const QString folder = m_run.path() + QStringLiteral("/Mappe mit Leerzeichen äö #1 %20");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString workbook = folder + QStringLiteral("/Übersicht 100%.xlsx");
    ASSERT_TRUE(QFile::copy(TestData(QStringLiteral("55906-MultiSheetRefs.xlsx")), workbook));
    OpenWorkbook w = Open(workbook);
    const QString file = folder + QStringLiteral("/tmp_1 ü.pdf");
    ASSERT_TRUE(w.Print(1, file));
    EXPECT_TRUE(PdfText(file).contains(QStringLiteral("Hello!")));
    // A folder that does not exist raises instead of waiting for a file that never comes.
    EXPECT_THROW(w.Print(2, m_run.path() + QStringLiteral("/no such folder/tmp_2.pdf")), DispatchException);
    w.CloseAndQuit();
}

TEST_F(OfficeServerTest, RaisesForWrongArgumentsUnknownMembersAndClosedObjects)
{
    ORVIK_REQUIRE_OFFICE();
    OpenWorkbook w = Open(TestData(QStringLiteral("SampleSS.xlsx")));
    std::vector<Variant> open = OpenArgs(TestData(QStringLiteral("SampleSS.xlsx")));
    open.pop_back();
    EXPECT_THROW(w.books.InvokeHelper(682, DISPATCH_METHOD, open), DispatchException);
    open = OpenArgs(QString());
    open[0] = Variant::Long(5);
    EXPECT_THROW(w.books.InvokeHelper(682, DISPATCH_METHOD, open), DispatchException);
    EXPECT_THROW(w.app.SetProperty(558, Variant::String(QStringLiteral("no"))), DispatchException);
    EXPECT_THROW(w.sheets.GetObjectProperty(170, {Variant::String(QStringLiteral("1"))}), DispatchException);
    EXPECT_THROW(w.sheets.GetObjectProperty(170, {Variant::Short(0)}), DispatchException);
    EXPECT_THROW(w.sheets.GetObjectProperty(170, {Variant::Short(4)}), DispatchException);
    EXPECT_THROW(w.sheets.GetObjectProperty(170, {}), DispatchException);

    CDispatchDriver sheet = w.Sheet(1);
    std::vector<Variant> print = PrintOutArgs(PrintFile(1));
    print.pop_back();
    EXPECT_THROW(sheet.InvokeHelper(1772, DISPATCH_METHOD, print), DispatchException);
    print.push_back(Variant::Omitted());
    EXPECT_THROW(sheet.InvokeHelper(1772, DISPATCH_METHOD, print), DispatchException) << "no print file named";
    EXPECT_THROW(w.book.InvokeHelper(277, DISPATCH_METHOD, {Variant::Short(0)}), DispatchException);

    for (CDispatchDriver* object : {&w.app, &w.books, &w.book, &w.sheets, &sheet})
        EXPECT_THROW(object->InvokeHelper(9999, DISPATCH_METHOD), DispatchException);
    EXPECT_THROW(w.app.InvokeHelper(572, DISPATCH_PROPERTYPUT, {Variant::Short(1)}), DispatchException);

    // A closed workbook, and everything once the application has quit.
    w.book.InvokeHelper(277, DISPATCH_METHOD, CloseArgs());
    EXPECT_THROW(w.sheets.GetProperty(118), DispatchException);
    EXPECT_THROW(sheet.InvokeHelper(304, DISPATCH_METHOD), DispatchException);
    EXPECT_THROW(w.book.InvokeHelper(277, DISPATCH_METHOD, CloseArgs()), DispatchException);
    w.app.InvokeHelper(302, DISPATCH_METHOD);
    EXPECT_THROW(w.app.GetObjectProperty(572), DispatchException);
    EXPECT_THROW(w.books.InvokeHelper(682, DISPATCH_METHOD, OpenArgs(TestData(QStringLiteral("SampleSS.xlsx")))),
                 DispatchException);
}

} // namespace
