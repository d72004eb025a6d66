// Converting one workbook against a recording "Excel.Application": the exact
// automation calls, the password retry, failures part-way and the checks made
// before printing. The recorded server writes real PDF print files, and the
// real Ghostscript joins them.
#include "WorkbookTestSupport.h"

#include "automation/Dispatch.h"
#include "engine/ExcelDispatch.h"
#include "engine/PrintFile.h"
#include "engine/WorkbookConversion.h"
#include "platform/PrinterQueue.h"
#include "platform/StopGate.h"
#include "support/RealTools.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <thread>

using namespace workbooktest;

namespace {

// What Open raises for an encrypted workbook without its password (E_ACCESSDENIED).
constexpr int32_t kPasswordRequired = static_cast<int32_t>(0x80070005);

struct Call {
    QString object;  // "Application", "Workbooks", "Workbook", "Sheets", "Sheet<i>"
    int32_t dispid;
    InvokeKind kind;
    std::vector<Variant> args;
};

// What the recording server does and what it saw.
struct ServerState {
    QString scratch;                           // where page PDFs are made
    QHash<QString, int> sheetCounts;           // by file name; 3 when not listed
    QHash<QString, QString> passwords;         // file name -> the one password that opens it
    QSet<QString> damaged;                     // never opens: the file is no workbook
    QSet<QString> hangOnOpen;                  // the application stops answering while it opens
    std::function<void(const QString&)> onOpen; // called with the file name at every Open
    QHash<QString, int> failPrintAt;           // file name -> sheet whose PrintOut fails
    QSet<int> emptySheets;                     // PrintOut writes no file
    QSet<int> hiddenSheets;                    // Visible gives xlSheetHidden; Activate and PrintOut fail
    int lateSheet = 0;                         // this sheet's file is finished after PrintOut returns
    std::function<void(int)> afterPrint;       // called after each PrintOut with the sheet index
    int pagesPerSheet = 1;                     // what PageSetup.Pages.Count says of every sheet
    std::vector<Call> calls;
    std::vector<std::thread> writers;
    QHash<QString, QByteArray> pageCache;

    ~ServerState()
    {
        for (std::thread& t : writers)
            t.join();
    }

    QByteArray Page(const QString& text)
    {
        if (!pageCache.contains(text))
            pageCache.insert(text, TextPdf(text, scratch));
        return pageCache.value(text);
    }
};

class RecordingObject : public IDispatchObject {
public:
    RecordingObject(std::shared_ptr<ServerState> state, QString role, QString book = {}, int sheet = 0)
        : m_state(std::move(state)), m_role(std::move(role)), m_book(std::move(book)), m_sheet(sheet) {}

    Variant Invoke(int32_t dispid, InvokeKind kind, const std::vector<Variant>& args) override
    {
        const QString name = m_sheet ? QStringLiteral("Sheet%1").arg(m_sheet) : m_role;
        m_state->calls.push_back({name, dispid, kind, args});
        if (m_role == "Application")
            return Application(dispid);
        if (m_role == "Workbooks" && dispid == ExcelDispid::Open)
            return Open(args);
        if (m_role == "Workbook")
            return Workbook(dispid);
        if (m_role == "Sheets")
            return Sheets(dispid, args);
        if (m_role == "Sheet")
            return Sheet(dispid, args);
        if (m_role == "PageSetup" && dispid == ExcelDispid::Pages)
            return Make("Pages");
        if (m_role == "Pages" && dispid == ExcelDispid::Count)
            return Variant::Long(m_state->pagesPerSheet);
        throw DispatchException(DISP_E_MEMBERNOTFOUND, QStringLiteral("no member %1").arg(dispid));
    }

private:
    Variant Make(const QString& role, const QString& book = {}, int sheet = 0)
    {
        return Variant::Dispatch(std::make_shared<RecordingObject>(m_state, role, book, sheet));
    }
    Variant Application(int32_t dispid)
    {
        if (dispid == ExcelDispid::Workbooks)
            return Make("Workbooks");
        if (dispid == ExcelDispid::Visible || dispid == ExcelDispid::Quit)
            return {};
        throw DispatchException(DISP_E_MEMBERNOTFOUND, "Application member");
    }
    Variant Open(const std::vector<Variant>& args)
    {
        const QString book = QFileInfo(args.at(0).bstrVal).fileName();
        if (m_state->onOpen)
            m_state->onOpen(book);
        // As the server behind "Excel.Application" tells them apart.
        if (m_state->hangOnOpen.contains(book))
            throw DispatchException(E_FAIL, "The spreadsheet application stopped answering and was ended.");
        if (m_state->damaged.contains(book))
            throw DispatchException(DISP_E_EXCEPTION, "The file is damaged or is not a workbook.");
        if (m_state->passwords.contains(book) && args.at(4).bstrVal != m_state->passwords.value(book))
            throw DispatchException(kPasswordRequired, "The workbook is encrypted.");
        return Make("Workbook", book);
    }
    Variant Workbook(int32_t dispid)
    {
        if (dispid == ExcelDispid::Sheets)
            return Make("Sheets", m_book);
        if (dispid == ExcelDispid::Close)
            return {};
        throw DispatchException(DISP_E_MEMBERNOTFOUND, "Workbook member");
    }
    Variant Sheets(int32_t dispid, const std::vector<Variant>& args)
    {
        if (dispid == ExcelDispid::Count)
            return Variant::Long(m_state->sheetCounts.value(m_book, 3));
        if (dispid == ExcelDispid::Item)
            return Make("Sheet", m_book, args.at(0).iVal);
        throw DispatchException(DISP_E_MEMBERNOTFOUND, "Sheets member");
    }
    Variant Sheet(int32_t dispid, const std::vector<Variant>& args)
    {
        const bool hidden = m_state->hiddenSheets.contains(m_sheet);
        if (dispid == ExcelDispid::Visible)
            return Variant::Long(hidden ? 0 : -1);
        if (hidden)
            throw DispatchException(DISP_E_EXCEPTION, "A hidden sheet cannot be activated.");
        if (dispid == ExcelDispid::Activate)
            return {};
        if (dispid == ExcelDispid::PageSetup)
            return Make("PageSetup");
        if (dispid != ExcelDispid::PrintOut)
            throw DispatchException(DISP_E_MEMBERNOTFOUND, "Sheet member");
        if (m_state->failPrintAt.value(m_book) == m_sheet)
            throw DispatchException(E_FAIL, "The printer stopped.");
        if (!m_state->emptySheets.contains(m_sheet))
            Print(args.at(7).bstrVal);
        if (m_state->afterPrint)
            m_state->afterPrint(m_sheet);
        return {};
    }
    void Print(const QString& path)
    {
        const QByteArray page = m_state->Page(QStringLiteral("%1 sheet %2").arg(QFileInfo(m_book).baseName()).arg(m_sheet));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            throw DispatchException(E_FAIL, "cannot write the print file");
        if (m_sheet != m_state->lateSheet) {
            file.write(page);
            return;
        }
        // Past its header, this file arrives a moment after PrintOut has returned.
        file.write(page.left(20));
        file.close();
        m_state->writers.emplace_back([path, page] {
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
            QFile rest(path);
            if (rest.open(QIODevice::Append))
                rest.write(page.mid(20));
        });
    }

    std::shared_ptr<ServerState> m_state;
    QString m_role;
    QString m_book;
    int m_sheet;
};

bool QueueReady()
{
    QString message;
    return CPrinterQueue::Check(QString(CPrinterQueue::kQueueName), &message) == CPrinterQueue::Ready;
}

class WorkbookPrinting : public ::testing::Test {
protected:
    void SetUp() override
    {
        ORVIK_REQUIRE_TOOL(testsupport::HaveProgram("gs"), "Ghostscript (gs)");
        ORVIK_REQUIRE_TOOL(testsupport::HaveProgram("pdftotext"), "poppler-utils (pdftotext)");
        ORVIK_REQUIRE_TOOL(QueueReady(), "CUPS with the printer queue OrvikExcelToPDF");
        state = std::make_shared<ServerState>();
        state->scratch = scratch.path();
        DispatchRegistry::Register("Excel.Application", [s = state] {
            return std::static_pointer_cast<IDispatchObject>(std::make_shared<RecordingObject>(s, "Application"));
        });
        engine = std::make_unique<CWorkbookConversion>(&prompts, out.path(), run.path(), &gate);
    }
    void TearDown() override { DispatchRegistry::Unregister("Excel.Application"); }

    QString Book(const QString& name) const { return QStringLiteral("/data/in/") + name; }
    QString Pdf(const QString& base) const { return out.filePath(base + ".pdf"); }
    std::vector<Call> CallsOf(const QString& object, int32_t dispid) const
    {
        std::vector<Call> found;
        for (const Call& c : state->calls)
            if (c.object == object && c.dispid == dispid)
                found.push_back(c);
        return found;
    }
    QStringList OpenPasswords() const
    {
        QStringList passwords;
        for (const Call& c : CallsOf("Workbooks", ExcelDispid::Open))
            passwords << c.args.at(4).bstrVal;
        return passwords;
    }
    // Every file left in the run folder.
    QStringList RunFiles() const
    {
        QStringList files;
        std::function<void(const QDir&)> walk = [&](const QDir& dir) {
            for (const QFileInfo& i : dir.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot))
                i.isDir() ? walk(QDir(i.filePath())) : void(files << i.filePath());
        };
        walk(QDir(run.path()));
        return files;
    }

    QTemporaryDir out, run, scratch;
    QueuedPrompts prompts;
    StopGate gate;
    std::shared_ptr<ServerState> state;
    std::unique_ptr<CWorkbookConversion> engine;
};

void ExpectOmitted(const Variant& v, const char* what)
{
    EXPECT_EQ(VT_ERROR, v.vt) << what;
    EXPECT_EQ(DISP_E_PARAMNOTFOUND, v.scode) << what;
}

void ExpectShort(const Variant& v, int16_t value, const char* what)
{
    EXPECT_EQ(VT_I2, v.vt) << what;
    EXPECT_EQ(value, v.iVal) << what;
}

// The calls for a workbook of three sheets, in order, with ids, kinds, counts and types.
TEST_F(WorkbookPrinting, ThreeSheetsMakeTheCallsInOrderAndOnePdf)
{
    ASSERT_TRUE(engine->ConvertWorkbook(Book("Budget.xlsx")));

    using namespace ExcelDispid;
    const std::vector<std::tuple<QString, int32_t, InvokeKind, size_t>> expected = {
        {"Application", Visible, DISPATCH_PROPERTYPUT, 1}, {"Application", Workbooks, DISPATCH_PROPERTYGET, 0},
        {"Workbooks", Open, DISPATCH_METHOD, 13},          {"Workbook", Sheets, DISPATCH_PROPERTYGET, 0},
        {"Sheets", Count, DISPATCH_PROPERTYGET, 0},
        {"Sheets", Item, DISPATCH_PROPERTYGET, 1},         {"Sheet1", Visible, DISPATCH_PROPERTYGET, 0},
        {"Sheet1", Activate, DISPATCH_METHOD, 0},         {"Sheet1", Name, DISPATCH_PROPERTYGET, 0},
        {"Sheet1", PageSetup, DISPATCH_PROPERTYGET, 0},   {"PageSetup", Pages, DISPATCH_PROPERTYGET, 0},
        {"Pages", Count, DISPATCH_PROPERTYGET, 0},
        {"Sheet1", PrintOut, DISPATCH_METHOD, 8},
        {"Sheets", Item, DISPATCH_PROPERTYGET, 1},         {"Sheet2", Visible, DISPATCH_PROPERTYGET, 0},
        {"Sheet2", Activate, DISPATCH_METHOD, 0},         {"Sheet2", Name, DISPATCH_PROPERTYGET, 0},
        {"Sheet2", PageSetup, DISPATCH_PROPERTYGET, 0},   {"PageSetup", Pages, DISPATCH_PROPERTYGET, 0},
        {"Pages", Count, DISPATCH_PROPERTYGET, 0},
        {"Sheet2", PrintOut, DISPATCH_METHOD, 8},
        {"Sheets", Item, DISPATCH_PROPERTYGET, 1},         {"Sheet3", Visible, DISPATCH_PROPERTYGET, 0},
        {"Sheet3", Activate, DISPATCH_METHOD, 0},         {"Sheet3", Name, DISPATCH_PROPERTYGET, 0},
        {"Sheet3", PageSetup, DISPATCH_PROPERTYGET, 0},   {"PageSetup", Pages, DISPATCH_PROPERTYGET, 0},
        {"Pages", Count, DISPATCH_PROPERTYGET, 0},
        {"Sheet3", PrintOut, DISPATCH_METHOD, 8},
        {"Workbook", Close, DISPATCH_METHOD, 3},           {"Application", Quit, DISPATCH_METHOD, 0},
    };
    ASSERT_EQ(expected.size(), state->calls.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const auto& [object, dispid, kind, count] = expected[i];
        const Call& c = state->calls[i];
        EXPECT_EQ(object, c.object) << "call " << i + 1;
        EXPECT_EQ(dispid, c.dispid) << "call " << i + 1;
        EXPECT_EQ(kind, c.kind) << "call " << i + 1;
        EXPECT_EQ(count, c.args.size()) << "call " << i + 1;
    }

    const Variant& visible = state->calls[0].args.at(0);
    EXPECT_EQ(VT_BOOL, visible.vt);
    EXPECT_FALSE(visible.boolVal);

    const std::vector<Variant>& open = state->calls[2].args;
    EXPECT_EQ(VT_BSTR, open[0].vt);
    EXPECT_EQ(Book("Budget.xlsx"), open[0].bstrVal);
    EXPECT_EQ(VT_I4, open[1].vt);
    EXPECT_EQ(0, open[1].lVal);
    ExpectShort(open[2], 1, "ReadOnly");
    ExpectOmitted(open[3], "Format");
    EXPECT_EQ(VT_BSTR, open[4].vt);
    EXPECT_EQ(CWorkbookConversion::PasswordPlaceholder(), open[4].bstrVal);
    EXPECT_EQ(1, CWorkbookConversion::PasswordPlaceholder().size());
    EXPECT_TRUE(CWorkbookConversion::PasswordPlaceholder().at(0).isDigit());
    ExpectOmitted(open[5], "WriteResPassword");
    ExpectShort(open[6], 1, "IgnoreReadOnlyRecommended");
    ExpectOmitted(open[7], "Origin");
    ExpectOmitted(open[8], "Delimiter");
    ExpectShort(open[9], 0, "Editable");
    ExpectShort(open[10], 0, "Notify");
    ExpectOmitted(open[11], "Converter");
    ExpectShort(open[12], 0, "AddToMru");

    QString firstFolder;
    for (int sheet = 1; sheet <= 3; ++sheet) {
        ExpectShort(state->calls[5 + 8 * (sheet - 1)].args.at(0), static_cast<int16_t>(sheet), "Item index");
        const std::vector<Variant>& print = state->calls[12 + 8 * (sheet - 1)].args;
        ExpectOmitted(print[0], "From");
        ExpectOmitted(print[1], "To");
        EXPECT_EQ(VT_I4, print[2].vt);
        EXPECT_EQ(1, print[2].lVal);
        ExpectShort(print[3], 0, "Preview");
        EXPECT_EQ(VT_BSTR, print[4].vt);
        EXPECT_EQ("OrvikExcelToPDF", print[4].bstrVal);
        ExpectOmitted(print[5], "PrintToFile");
        ExpectOmitted(print[6], "Collate");
        EXPECT_EQ(VT_BSTR, print[7].vt);
        const QFileInfo file(print[7].bstrVal);
        EXPECT_EQ(QStringLiteral("tmp_%1.pdf").arg(sheet), file.fileName());
        // A folder of this workbook's own inside the run folder.
        EXPECT_EQ(QDir(run.path()).canonicalPath(), QFileInfo(file.absolutePath()).dir().canonicalPath());
        if (sheet == 1)
            firstFolder = file.absolutePath();
        EXPECT_EQ(firstFolder, file.absolutePath());
    }
    for (const Variant& v : state->calls[26].args)
        ExpectShort(v, 0, "Close");

    EXPECT_EQ(1, engine->WorkbookDone());
    EXPECT_EQ(3, engine->SheetCount());
    EXPECT_EQ(Pdf("Budget"), engine->PdfPath());
    EXPECT_EQ(3, PageCount(Pdf("Budget")));
    EXPECT_TRUE(PdfText(Pdf("Budget")).contains(QRegularExpression("Budget sheet 1.*Budget sheet 2.*Budget sheet 3",
                                                                    QRegularExpression::DotMatchesEverythingOption)));
    EXPECT_TRUE(engine->FailureMessage().isEmpty());
    EXPECT_TRUE(prompts.plain.isEmpty());
    EXPECT_TRUE(prompts.asked.isEmpty());
    EXPECT_TRUE(RunFiles().isEmpty()) << "print files stayed: " << RunFiles().join(", ").toStdString();
}

// A sheet of more pages than the range length prints in ranges, in order,
// each into a print file of its own; a sheet within it prints in one piece.
TEST_F(WorkbookPrinting, ALongSheetPrintsInPageRanges)
{
    state->sheetCounts.insert("Long.xlsx", 1);
    state->pagesPerSheet = 7;
    engine->SetChunkPages(2);
    ASSERT_TRUE(engine->ConvertWorkbook(Book("Long.xlsx"))) << engine->FailureMessage().toStdString();
    std::vector<std::pair<int, int>> ranges;
    QStringList files;
    for (const Call& c : state->calls) {
        if (c.dispid != ExcelDispid::PrintOut)
            continue;
        EXPECT_EQ(VT_I4, c.args[0].vt);
        EXPECT_EQ(VT_I4, c.args[1].vt);
        ranges.emplace_back(c.args[0].lVal, c.args[1].lVal);
        files << QFileInfo(c.args[7].bstrVal).fileName();
    }
    EXPECT_EQ((std::vector<std::pair<int, int>>{{1, 2}, {3, 4}, {5, 6}, {7, 7}}), ranges);
    EXPECT_EQ((QStringList{"tmp_1_1.pdf", "tmp_1_2.pdf", "tmp_1_3.pdf", "tmp_1_4.pdf"}), files);
    EXPECT_EQ(4, PageCount(Pdf("Long"))); // one page per print here
    EXPECT_TRUE(RunFiles().isEmpty()) << "print files stayed: " << RunFiles().join(", ").toStdString();

    state->calls.clear();
    state->pagesPerSheet = 2;
    engine->SetExisting(GhostscriptJob::Existing::Replace);
    ASSERT_TRUE(engine->ConvertWorkbook(Book("Long.xlsx")));
    const auto print = std::find_if(state->calls.begin(), state->calls.end(),
                                    [](const Call& c) { return c.dispid == ExcelDispid::PrintOut; });
    ASSERT_NE(state->calls.end(), print);
    ExpectOmitted(print->args[0], "From");
    ExpectOmitted(print->args[1], "To");
}

// A refused open asks for the password and retries with it until it opens;
// the next workbook goes back to the placeholder.
TEST_F(WorkbookPrinting, RefusedOpenPromptsAndRetriesWithTheTypedPassword)
{
    state->passwords.insert("Locked.xls", "tika");
    prompts.QueuePassword(1, "wrong");
    prompts.QueuePassword(1, "tika");
    ASSERT_TRUE(engine->ConvertWorkbook(Book("Locked.xls")));
    EXPECT_EQ(QStringList({"Locked.xls", "Locked.xls"}), prompts.asked);
    EXPECT_EQ(CWorkbookConversion::PasswordPlaceholder(), engine->WorkbookPassword());

    // A refused open quits the application; no workbook is there to close.
    ASSERT_GE(state->calls.size(), 4u);
    EXPECT_EQ(ExcelDispid::Open, state->calls[2].dispid);
    EXPECT_EQ("Application", state->calls[3].object);
    EXPECT_EQ(ExcelDispid::Quit, state->calls[3].dispid);
    EXPECT_EQ(3u, CallsOf("Application", ExcelDispid::Quit).size()) << "one application per attempt";
    EXPECT_EQ(1u, CallsOf("Workbook", ExcelDispid::Close).size());

    ASSERT_TRUE(engine->ConvertWorkbook(Book("Open.xlsx")));
    const QString p = CWorkbookConversion::PasswordPlaceholder();
    EXPECT_EQ(QStringList({p, "wrong", "tika", p}), OpenPasswords());
    EXPECT_EQ(3, PageCount(Pdf("Locked")));
    EXPECT_EQ(3, PageCount(Pdf("Open")));
    EXPECT_EQ(2, prompts.asked.size()) << "the open workbook asked for nothing";
}

// An empty answer is sent as the placeholder; Cancel leaves the workbook
// unconverted, and the run goes on.
TEST_F(WorkbookPrinting, EmptyPasswordIsThePlaceholderAndCancelConvertsNothing)
{
    state->passwords.insert("Locked.xlsx", "tika");
    prompts.QueuePassword(1, "");
    prompts.QueuePassword(2);
    EXPECT_FALSE(engine->ConvertWorkbook(Book("Locked.xlsx")));
    const QString p = CWorkbookConversion::PasswordPlaceholder();
    EXPECT_EQ(QStringList({p, p}), OpenPasswords());
    EXPECT_EQ(0, engine->WorkbookDone());
    EXPECT_EQ(CWorkbookConversion::PasswordPlaceholder(), engine->WorkbookPassword());
    EXPECT_TRUE(engine->ConvertWorkbook(Book("Fine.xlsx")));

    EXPECT_FALSE(QFile::exists(Pdf("Locked")));
    EXPECT_EQ(QStringList({"Locked.xlsx", "Locked.xlsx"}), prompts.asked);
    EXPECT_TRUE(engine->FailureMessage().startsWith("Locked.xlsx: ")) << engine->FailureMessage().toStdString();
    EXPECT_EQ(1, engine->FailureMessage().split('\n').size());
    EXPECT_TRUE(prompts.plain.isEmpty());
}

// Only an encrypted workbook asks for a password. A damaged file, or an
// application that stops answering while it opens, fails that workbook with
// one line and asks nothing; a stop during the open asks nothing and is no failure.
TEST_F(WorkbookPrinting, OnlyAnEncryptedWorkbookAsksForItsPassword)
{
    state->damaged.insert("Broken.xlsx");
    state->hangOnOpen.insert("Huge.xlsx");
    prompts.QueuePassword(1, "never used");
    // The engine tells a damaged file from a missing one: this one is there.
    const QString broken = scratch.filePath("Broken.xlsx");
    QFile file(broken);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write("PK\3\4 cut short") > 0);
    file.close();
    EXPECT_FALSE(engine->ConvertWorkbook(broken));
    EXPECT_FALSE(engine->ConvertWorkbook(Book("Huge.xlsx")));
    EXPECT_TRUE(engine->ConvertWorkbook(Book("Fine.xlsx")));
    EXPECT_TRUE(prompts.asked.isEmpty()) << "asked for " << prompts.asked.join(", ").toStdString();
    EXPECT_EQ(1u, prompts.Unanswered());
    EXPECT_EQ(QStringLiteral("Broken.xlsx: it could not be opened: it is damaged or is not a workbook.\n"
                             "Huge.xlsx: opening it failed: The spreadsheet application stopped answering and was ended."),
              engine->FailureMessage());
    EXPECT_EQ(3u, CallsOf("Workbooks", ExcelDispid::Open).size()) << "no second attempt at a failed open";
    EXPECT_TRUE(prompts.plain.isEmpty());

    // A stop while a long open is under way ends the application: not a refusal.
    state->hangOnOpen.insert("Long.xlsx");
    state->onOpen = [this](const QString& book) {
        if (book == "Long.xlsx")
            gate.RequestStop();
    };
    const PrintedWorkbook stopped = engine->PrintWorkbook(Book("Long.xlsx"));
    EXPECT_EQ(PrintedWorkbook::Stopped, stopped.status);
    engine->RecordOutcome(engine->ConvertPrinted(stopped));
    EXPECT_EQ(0, engine->WorkbookDone());
    EXPECT_TRUE(prompts.asked.isEmpty());
    EXPECT_EQ(2, engine->FailureMessage().split('\n').size()) << "a stop is not a failure";
    EXPECT_TRUE(RunFiles().isEmpty());
}

// A failure at sheet 2 of 3 closes and quits and joins sheet 1 alone (never an
// earlier workbook's sheets) into an incomplete PDF; at sheet 1 nothing is made.
TEST_F(WorkbookPrinting, PrintingFailurePartWay)
{
    state->failPrintAt.insert("Second.xlsx", 2);
    state->failPrintAt.insert("Third.xlsx", 1);
    ASSERT_TRUE(engine->ConvertWorkbook(Book("First.xlsx")));
    state->calls.clear();

    // The sheets before the failure make its PDF (none was there), which is not a conversion.
    EXPECT_FALSE(engine->ConvertWorkbook(Book("Second.xlsx")));
    ASSERT_GE(state->calls.size(), 2u);
    EXPECT_EQ(ExcelDispid::PrintOut, state->calls[state->calls.size() - 3].dispid);
    EXPECT_EQ(ExcelDispid::Close, state->calls[state->calls.size() - 2].dispid);
    EXPECT_EQ(ExcelDispid::Quit, state->calls.back().dispid);
    EXPECT_EQ(1, PageCount(Pdf("Second")));
    EXPECT_TRUE(PdfText(Pdf("Second")).contains("Second sheet 1"));
    EXPECT_TRUE(engine->FailureMessage().startsWith("Second.xlsx: incomplete PDF: printing sheet 2 of 3 failed"))
        << engine->FailureMessage().toStdString();
    state->calls.clear();

    EXPECT_FALSE(engine->ConvertWorkbook(Book("Third.xlsx")));
    EXPECT_EQ(0, engine->WorkbookDone());
    EXPECT_TRUE(engine->PdfPath().isEmpty());
    EXPECT_FALSE(QFile::exists(Pdf("Third")));
    EXPECT_EQ(1u, CallsOf("Workbook", ExcelDispid::Close).size());
    EXPECT_EQ(1u, CallsOf("Application", ExcelDispid::Quit).size());
    EXPECT_EQ(2, engine->FailureMessage().split('\n').size());
    EXPECT_TRUE(engine->FailureMessage().split('\n').last().startsWith("Third.xlsx: printing sheet 1 of 3 failed"));
    EXPECT_TRUE(RunFiles().isEmpty());
}

// A sheet with nothing to print adds no page and later sheets still print; a
// print file finished after PrintOut has returned is waited for.
TEST_F(WorkbookPrinting, EmptySheetsAndLateFiles)
{
    state->emptySheets.insert(2);
    state->lateSheet = 3;
    ASSERT_TRUE(engine->ConvertWorkbook(Book("Gaps.xlsx")));
    EXPECT_EQ(2, PageCount(Pdf("Gaps")));
    const QString text = PdfText(Pdf("Gaps"));
    EXPECT_TRUE(text.contains("Gaps sheet 1"));
    EXPECT_TRUE(text.contains("Gaps sheet 3"));

    // Only empty sheets: one blank page, converted, and the note says why it is blank.
    state->emptySheets = {1, 2, 3};
    state->lateSheet = 0;
    EXPECT_TRUE(engine->ConvertWorkbook(Book("Blank.xlsx")));
    EXPECT_EQ(1, PageCount(Pdf("Blank")));
    EXPECT_TRUE(PdfText(Pdf("Blank")).trimmed().isEmpty());
    EXPECT_EQ(QStringLiteral("Blank.xlsx: none of its sheets has anything to print; its PDF is one blank page."),
              engine->FailureMessage());
    EXPECT_TRUE(RunFiles().isEmpty());
}

// Hidden sheets are left out without failing the workbook: neither activated
// nor printed, the sheets around them print in order.
TEST_F(WorkbookPrinting, HiddenSheetsAreLeftOut)
{
    state->sheetCounts.insert("Hiding.xlsx", 4);
    state->hiddenSheets = {1, 3};
    ASSERT_TRUE(engine->ConvertWorkbook(Book("Hiding.xlsx")));
    EXPECT_EQ(2, PageCount(Pdf("Hiding")));
    EXPECT_TRUE(PdfText(Pdf("Hiding")).contains(QRegularExpression("Hiding sheet 2.*Hiding sheet 4",
                                                                    QRegularExpression::DotMatchesEverythingOption)));
    EXPECT_TRUE(CallsOf("Sheet1", ExcelDispid::Activate).empty());
    EXPECT_TRUE(CallsOf("Sheet3", ExcelDispid::PrintOut).empty());
    EXPECT_TRUE(engine->FailureMessage().isEmpty()) << engine->FailureMessage().toStdString();
}

// Without the server: the plain message once per workbook, nothing converted.
TEST_F(WorkbookPrinting, ServerThatCannotBeCreated)
{
    DispatchRegistry::Register("Excel.Application", [] { return std::shared_ptr<IDispatchObject>(); });
    EXPECT_FALSE(engine->ConvertWorkbook(Book("One.xlsx")));
    EXPECT_EQ(QStringList({"Couldn't get Excel object."}), prompts.plain);
    EXPECT_FALSE(engine->ConvertWorkbook(Book("Two.xlsx")));
    EXPECT_EQ(2, prompts.plain.size());
    EXPECT_TRUE(prompts.asked.isEmpty()) << "no password prompt without a server";
    EXPECT_TRUE(QDir(out.path()).isEmpty());
    EXPECT_EQ(QStringLiteral("One.xlsx: Couldn't get Excel object.\nTwo.xlsx: Couldn't get Excel object."),
              engine->FailureMessage());
}

// A queue that does not exist: said once for the run, no server started, nothing converted.
TEST_F(WorkbookPrinting, MissingQueueIsReportedOnceAndConvertsNothing)
{
    engine->SetQueueName("OrvikNoSuchQueue");
    EXPECT_FALSE(engine->ConvertWorkbook(Book("One.xlsx")));
    EXPECT_FALSE(engine->ConvertWorkbook(Book("Two.xlsx")));
    ASSERT_EQ(1, prompts.plain.size());
    EXPECT_TRUE(prompts.plain[0].contains("OrvikNoSuchQueue")) << prompts.plain[0].toStdString();
    EXPECT_TRUE(engine->QueueReported());
    EXPECT_TRUE(state->calls.empty());
    EXPECT_TRUE(QDir(out.path()).isEmpty());
    EXPECT_EQ(2, engine->FailureMessage().split('\n').size());
}

// A stop between sheets closes the workbook, quits, and produces nothing more.
TEST_F(WorkbookPrinting, StopBetweenSheetsProducesNothing)
{
    state->afterPrint = [this](int sheet) {
        if (sheet == 1)
            gate.RequestStop();
    };
    EXPECT_FALSE(engine->ConvertWorkbook(Book("Halted.xlsx")));
    EXPECT_EQ(1u, CallsOf("Sheet1", ExcelDispid::PrintOut).size());
    EXPECT_TRUE(CallsOf("Sheet2", ExcelDispid::PrintOut).empty());
    EXPECT_EQ(1u, CallsOf("Workbook", ExcelDispid::Close).size());
    EXPECT_EQ(1u, CallsOf("Application", ExcelDispid::Quit).size());
    EXPECT_FALSE(QFile::exists(Pdf("Halted")));
    EXPECT_TRUE(engine->FailureMessage().isEmpty()) << "a stop is not a failure";
    EXPECT_TRUE(RunFiles().isEmpty());

    state->calls.clear();
    EXPECT_FALSE(engine->ConvertWorkbook(Book("Later.xlsx")));
    EXPECT_TRUE(state->calls.empty()) << "nothing is started after a stop";
}

// The split halves: a workbook printed while an earlier one still waits for
// Ghostscript keeps both sets of print files apart.
TEST_F(WorkbookPrinting, PrintingAheadOfGhostscriptKeepsWorkbooksApart)
{
    state->sheetCounts.insert("Small.xlsx", 1);
    const PrintedWorkbook first = engine->PrintWorkbook(Book("Big.xlsx"));
    const PrintedWorkbook second = engine->PrintWorkbook(Book("Small.xlsx"));
    ASSERT_EQ(PrintedWorkbook::Printed, first.status);
    ASSERT_EQ(3, first.printFiles.size());
    ASSERT_EQ(1, second.printFiles.size());
    EXPECT_NE(first.printFolder, second.printFolder);
    for (const QString& f : first.printFiles)
        EXPECT_TRUE(QFile::exists(f)) << f.toStdString();

    WorkbookOutcome big;
    std::thread joiner([&] { big = engine->ConvertPrinted(first); });
    const WorkbookOutcome small = engine->ConvertPrinted(second);
    joiner.join();
    EXPECT_TRUE(big.converted);
    EXPECT_TRUE(small.converted);
    EXPECT_EQ(3, PageCount(Pdf("Big")));
    EXPECT_EQ(1, PageCount(Pdf("Small")));
    EXPECT_TRUE(RunFiles().isEmpty());
}

// The wait for a print file: nothing to wait for without one; a file cut short
// is never taken as complete.
TEST(PrintFile, CompleteMissingAndCutShort)
{
    ORVIK_REQUIRE_TOOL(testsupport::HaveProgram("gs"), "Ghostscript (gs)");
    QTemporaryDir dir;
    const QByteArray pdf = TextPdf("page", dir.path());
    ASSERT_FALSE(pdf.isEmpty());
    const QString whole = dir.filePath("whole.pdf"), cut = dir.filePath("cut.pdf"), empty = dir.filePath("empty.pdf");
    QFile w(whole), c(cut), e(empty);
    ASSERT_TRUE(w.open(QIODevice::WriteOnly) && c.open(QIODevice::WriteOnly) && e.open(QIODevice::WriteOnly));
    w.write(pdf);
    c.write(pdf.left(pdf.size() - 40));
    w.close();
    c.close();
    e.close();
    EXPECT_EQ(CPrintFile::Complete, CPrintFile::WaitComplete(whole));
    EXPECT_EQ(CPrintFile::Nothing, CPrintFile::WaitComplete(dir.filePath("none.pdf")));
    EXPECT_EQ(CPrintFile::Nothing, CPrintFile::WaitComplete(empty));
    EXPECT_EQ(CPrintFile::Incomplete, CPrintFile::WaitComplete(cut, nullptr, 200));
}

} // namespace
