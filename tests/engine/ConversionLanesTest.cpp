// Runs in two lanes over real workbooks through the real office, CUPS queue
// and Ghostscript: reports in list order whatever finishes first, one question
// at a time, the same-name rule whatever the timing, a stop with every lane
// busy, and offices started afresh during a run.
#include "RunTestSupport.h"
#include "WorkbookTestSupport.h"
#include "XlsxWriter.h"

#include "automation/OfficeServer.h"
#include "engine/ConversionRun.h"
#include "support/RealTools.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <limits>
#include <memory>
#include <thread>

using namespace runtest;
using workbooktest::PageCount;
using workbooktest::PdfText;
using workbooktest::XlsxSheet;
using workbooktest::XlsxWriter;

namespace {

// Polls until the condition holds; false when it never did.
template <class Condition>
bool WaitFor(Condition condition)
{
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

// Counts how many questions are open at once; each stays open a while, so
// that two lanes asking together would overlap.
class CountingPrompts : public ScriptedPrompts {
public:
    int AskWorkbookPassword(const QString& fileName, QString* password) override
    {
        Open();
        const int result = ScriptedPrompts::AskWorkbookPassword(fileName, password);
        m_nOpen.fetch_sub(1);
        return result;
    }
    int ShowMessageBox(const QString& text, int type) override
    {
        Open();
        const int result = ScriptedPrompts::ShowMessageBox(text, type);
        m_nOpen.fetch_sub(1);
        return result;
    }
    int MostOpen() const { return m_nMost.load(); }

private:
    void Open()
    {
        const int open = m_nOpen.fetch_add(1) + 1;
        int most = m_nMost.load();
        while (open > most && !m_nMost.compare_exchange_weak(most, open)) {
        }
        std::this_thread::sleep_for(400ms);
    }
    std::atomic<int> m_nOpen{0};
    std::atomic<int> m_nMost{0};
};

class RealLanes : public ::testing::Test {
protected:
    static void SetUpTestSuite() { RegisterOfficeServer(); }

    void SetUp() override
    {
        ORVIK_REQUIRE_TOOL(testsupport::HaveProgram("soffice"), "LibreOffice (soffice)");
        ORVIK_REQUIRE_TOOL(testsupport::HaveProgram("gs"), "Ghostscript (gs)");
        ORVIK_REQUIRE_TOOL(testsupport::HaveProgram("pdfinfo"), "poppler-utils (pdfinfo)");
        ORVIK_REQUIRE_TOOL(QueueReady(), "CUPS with the printer queue OrvikExcelToPDF");
    }
    void TearDown() override
    {
        if (run)
            run->Finish();
        EXPECT_TRUE(OurOfficeProcesses().empty()) << "every lane's office ends with the run";
    }

    // A workbook of one sheet: a few lines, or many pages of them.
    QString Book(const QString& relative, const QString& text, int rows = 0)
    {
        const QString path = scratch.filePath(relative);
        QDir().mkpath(QFileInfo(path).path());
        EXPECT_TRUE(XlsxWriter::Write(path, {XlsxSheet{QStringLiteral("Sheet1"), text, false, rows}}));
        return path;
    }
    ConversionRun& MakeRun(const QStringList& workbooks, int lanes = 2)
    {
        run = std::make_unique<ConversionRun>(workbooks, out.path(), &prompts,
                                              [] { return ConversionOptions(); }, &observer);
        run->SetLanes(lanes);
        return *run;
    }
    QString Pdf(const QString& base) const { return out.filePath(base + QStringLiteral(".pdf")); }
    // The workbook indexes of the run's reports, in the order they came.
    QList<int> ReportedOrder()
    {
        QList<int> order;
        static const QRegularExpression report(QStringLiteral("^(start|finished) (\\d+)$"));
        for (const QString& event : observer.Events()) {
            const QRegularExpressionMatch m = report.match(event);
            if (m.hasMatch())
                order << m.captured(2).toInt();
        }
        return order;
    }

    QTemporaryDir out, scratch;
    CountingPrompts prompts;
    RecordingObserver observer;
    std::unique_ptr<ConversionRun> run;
};

// A long workbook first, two short ones and a workbook of the long one's PDF
// name after them: the short ones finish first in the other lane but are
// reported after the long one, and the later workbook of the shared name is
// the one refused, although its lane reached it long before the first was done.
TEST_F(RealLanes, ReportsComeInListOrderAndTheLaterOfOneNameIsRefused)
{
    const QStringList books = {Book("a/x.xlsx", "Long", 4000), Book("s1.xlsx", "First short"),
                               Book("s2.xlsx", "Second short"), Book("b/x.xlsx", "Late short")};
    MakeRun(books).SetExistingPdf(ConversionRun::ExistingPdf::Keep);
    const ConversionRunSummary summary = run->Run();

    EXPECT_EQ((QList<int>{0, 0, 1, 1, 2, 2, 3, 3}), ReportedOrder()) << observer.Events().join(", ").toStdString();
    EXPECT_EQ((std::vector<int>{25, 50, 75, 100}), observer.Progress());
    EXPECT_EQ((QStringList{"x.pdf", "s1.pdf", "s2.pdf"}), summary.pdfNames);
    EXPECT_EQ(WorkbookReport::Failed, summary.workbooks.at(3).result);
    EXPECT_EQ(ConversionRun::ClashText().arg(books.at(3), Pdf("x"), books.at(0)), summary.workbooks.at(3).message);
    EXPECT_GT(PageCount(Pdf("x")), 10) << "the PDF is the long workbook's";
}

// Two protected workbooks open in two lanes at once: their password prompts
// come one after the other, in list order.
TEST_F(RealLanes, QuestionsComeOneAtATimeInListOrder)
{
    prompts.QueuePassword(1, QStringLiteral("password"));
    prompts.QueuePassword(1, QStringLiteral("tika"));
    MakeRun({TestData("password.xls"), TestData("protected_passtika.xlsx")});
    const ConversionRunSummary summary = run->Run();

    EXPECT_EQ(1, prompts.MostOpen());
    EXPECT_EQ((QStringList{"password.xls", "protected_passtika.xlsx"}), prompts.asked);
    EXPECT_EQ((QStringList{"password.pdf", "protected_passtika.pdf"}), summary.pdfNames);
}

// A stop while both lanes print long workbooks: no office, no Ghostscript,
// no print file, no run folder and no partial PDF are left.
TEST_F(RealLanes, AStopWithEveryLaneBusyLeavesNothingBehind)
{
    QStringList books;
    for (int i = 0; i < 4; ++i)
        books << Book(QStringLiteral("long%1.xlsx").arg(i), QStringLiteral("Long %1").arg(i), 6000);
    MakeRun(books).SetChunkPages(40);
    const QString runFolder = run->RunFolderPath();
    std::thread worker([this] { run->Run(); });
    // Each lane's first workbook prints in ranges, a print file each.
    const bool bothBusy = WaitFor([&] {
        return !FilesBelow(runFolder + "/book1").isEmpty() && !FilesBelow(runFolder + "/lane1/book1").isEmpty();
    });
    run->RequestStop();
    worker.join();
    ASSERT_TRUE(bothBusy) << "both lanes were printing";

    EXPECT_TRUE(OurProcesses({"soffice", "oosplash", "gs"}).empty());
    const ConversionRunSummary summary = run->Summary();
    EXPECT_TRUE(summary.stopped);
    for (const WorkbookReport& report : summary.workbooks)
        EXPECT_NE(WorkbookReport::Converted, report.result) << report.workbookPath.toStdString();
    EXPECT_EQ(QStringList(), FilesBelow(out.path())) << "no partial PDF";
    run->Finish();
    EXPECT_FALSE(QFileInfo::exists(runFolder));
}

// A long sheet whose ranges two lanes print together (the second opens the
// workbook in its own office once its short workbook is done) makes the same
// PDF as one lane alone: the same pages with the same text, in page order.
TEST_F(RealLanes, ALongSheetSharedBetweenLanesMakesTheSamePdf)
{
    const QStringList books = {Book("long.xlsx", "Row", 10000), Book("short.xlsx", "Short")};
    MakeRun(books, 1).SetChunkPages(6);
    ASSERT_TRUE(run->Run().AllConverted());
    const int pages = PageCount(Pdf("long"));
    const QString alone = PdfText(Pdf("long"));
    ASSERT_TRUE(QFile::remove(Pdf("long")) && QFile::remove(Pdf("short")));

    MakeRun(books).SetChunkPages(6);
    run->SetShareSheets(true);
    const ConversionRunSummary summary = run->Run();

    ASSERT_TRUE(summary.AllConverted()) << summary.workbooks.at(0).message.toStdString();
    EXPECT_GT(run->RangesShared(), 0) << "the second lane printed some of the ranges";
    EXPECT_GT(pages, 100);
    EXPECT_EQ(pages, PageCount(Pdf("long")));
    EXPECT_EQ(alone.toStdString(), PdfText(Pdf("long")).toStdString());
    EXPECT_EQ(QStringList(), FilesBelow(run->RunFolderPath())) << "no print file is left";
}

// An office that has served its share is ended and a fresh one (and a fresh
// Ghostscript) serves the rest of the run: every workbook still converts.
TEST_F(RealLanes, AnOfficeStartedAfreshKeepsConverting)
{
    MakeRun({Book("r1.xlsx", "One"), Book("r2.xlsx", "Two"), Book("r3.xlsx", "Three")}, 1)
        .SetRecycle(1, std::numeric_limits<qint64>::max());
    std::atomic<bool> done{false};
    QSet<pid_t> offices, ghostscripts;
    std::thread watcher([&] {
        while (!done) {
            for (pid_t pid : OurProcesses({"soffice.bin"}))
                offices << pid;
            for (pid_t pid : OurProcesses({"gs"}))
                ghostscripts << pid;
            std::this_thread::sleep_for(20ms);
        }
    });
    const ConversionRunSummary summary = run->Run();
    done = true;
    watcher.join();

    EXPECT_TRUE(summary.AllConverted()) << summary.workbooks.at(1).message.toStdString();
    EXPECT_EQ(QStringLiteral("Three"), PdfText(Pdf("r3")).trimmed());
    EXPECT_GE(offices.size(), 3) << "a fresh office for each workbook";
    EXPECT_GE(ghostscripts.size(), 3) << "Ghostscript starts afresh with its office";
}

} // namespace
