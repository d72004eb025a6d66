// Real workbooks through the real office, CUPS queue and Ghostscript: the PDF
// holds every sheet with something on it, in sheet order, as searchable text,
// and as many pages as the office's own PDF export.
#include "RunTestSupport.h"
#include "WorkbookTestSupport.h"
#include "XlsxWriter.h"

#include "automation/Dispatch.h"
#include "automation/OfficeServer.h"
#include "automation/OfficeSession.h"
#include "engine/WorkbookConversion.h"
#include "platform/PrinterQueue.h"
#include "support/RealTools.h"

#include <QBuffer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>

using namespace workbooktest;

namespace {

QString TestData(const QString& name)
{
    return QStringLiteral(ORVIK_TESTDATA_DIR "/") + name;
}

bool QueueReady()
{
    return CPrinterQueue::Check(QString(CPrinterQueue::kQueueName)) == CPrinterQueue::Ready;
}

// The office's own conversions of a few workbooks at once (one office start
// per format), run with a profile of their own so that they never meet an
// office the user (or the engine) has running.
class OfficeReference {
public:
    OfficeReference(const QString& folder, const QStringList& workbooks) : m_folder(folder)
    {
        RunOffice(workbooks, QStringLiteral("pdf"), m_folder + "/pdf");
        const QString csv = QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,false,false,false,-1");
        // "convert <workbook> ..." then "Writing sheet <name> -> <file>" for each sheet, in sheet order.
        static const QRegularExpression line(QStringLiteral("^(?:convert (.*) using filter.*|Writing sheet .* -> (.*))$"),
                                             QRegularExpression::MultilineOption);
        QString workbook;
        const QString log = QString::fromUtf8(RunOffice(workbooks, csv, m_folder + "/csv"));
        for (auto it = line.globalMatch(log); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            if (m.capturedLength(1))
                workbook = QFileInfo(m.captured(1)).fileName();
            else
                m_words[workbook] << FirstWord(m.captured(2).trimmed());
        }
    }

    // Pages of the office's own PDF export of the workbook.
    int PdfPages(const QString& workbook) const { return PageCount(PdfOf(workbook)); }
    QString PdfOf(const QString& workbook) const
    {
        return m_folder + "/pdf/" + QFileInfo(workbook).completeBaseName() + ".pdf";
    }

    // For each sheet in order: its first cell text with a letter in it ("" for a sheet without any).
    QStringList SheetWords(const QString& workbook) const { return m_words.value(QFileInfo(workbook).fileName()); }

private:
    QByteArray RunOffice(const QStringList& workbooks, const QString& format, const QString& outDir)
    {
        QDir().mkpath(outDir);
        return RunForOutput(QStringLiteral("soffice"),
                            QStringList{QStringLiteral("-env:UserInstallation=file://") + m_folder + "/profile",
                                        QStringLiteral("--headless"), QStringLiteral("--convert-to"), format,
                                        QStringLiteral("--outdir"), outDir} +
                                workbooks);
    }

    static QString FirstWord(const QString& csvPath)
    {
        QFile file(csvPath);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        static const QRegularExpression letter(QStringLiteral("\\p{L}"));
        for (const QByteArray& row : file.readAll().split('\n'))
            for (QString field : QString::fromUtf8(row).split(',')) {
                field.remove('"');
                if (field.contains(letter))
                    return field.trimmed();
            }
        return {};
    }

    QString m_folder;
    QHash<QString, QStringList> m_words;
};

// The PDF's text with every run of blanks made one blank.
QString FlatText(const QString& pdf)
{
    return PdfText(pdf).simplified();
}

class RealWorkbooks : public ::testing::Test {
protected:
    // One office serves every workbook of these tests, as it serves a run.
    static void SetUpTestSuite() { session = std::make_unique<OfficeSession>(); }
    static void TearDownTestSuite() { session.reset(); }

    void SetUp() override
    {
        ORVIK_REQUIRE_TOOL(testsupport::HaveProgram("soffice"), "LibreOffice (soffice)");
        ORVIK_REQUIRE_TOOL(testsupport::HaveProgram("gs"), "Ghostscript (gs)");
        ORVIK_REQUIRE_TOOL(testsupport::HaveProgram("pdftotext"), "poppler-utils (pdftotext)");
        ORVIK_REQUIRE_TOOL(QueueReady(), "CUPS with the printer queue OrvikExcelToPDF");
        RegisterOfficeServer();
        engine = std::make_unique<CWorkbookConversion>(&prompts, out.path(), run.path());
    }
    void TearDown() override { DispatchRegistry::Unregister("Excel.Application"); }

    QString Pdf(const QString& workbook) const
    {
        return out.filePath(QFileInfo(workbook).completeBaseName() + ".pdf");
    }

    QTemporaryDir out, run, scratch;
    QueuedPrompts prompts;
    std::unique_ptr<CWorkbookConversion> engine;
    static std::unique_ptr<OfficeSession> session;
};

std::unique_ptr<OfficeSession> RealWorkbooks::session;

// Every sheet with something on it becomes pages of the PDF, in sheet order and
// searchable, and the PDF has as many pages as the office's own export.
TEST_F(RealWorkbooks, EveryNonEmptySheetInOrderAsSearchableText)
{
    QStringList workbooks;
    // (Not chinese-provinces.xls: without a CJK font the office draws boxes, whose text
    // Ghostscript cannot tell apart.)
    for (const char* name : {"SampleSS.xlsx", "55906-MultiSheetRefs.xlsx", "WithTextBox.xlsx"})
        workbooks << TestData(name);
    const OfficeReference office(scratch.path(), workbooks);
    for (const QString& workbook : workbooks) {
        SCOPED_TRACE(workbook.toStdString());
        ASSERT_TRUE(engine->ConvertWorkbook(workbook)) << engine->FailureMessage().toStdString();
        EXPECT_EQ(Pdf(workbook), engine->PdfPath());
        EXPECT_EQ(office.PdfPages(workbook), PageCount(Pdf(workbook)));

        const QString text = FlatText(Pdf(workbook));
        EXPECT_EQ(FlatText(office.PdfOf(workbook)), text);
        const QStringList words = office.SheetWords(workbook);
        ASSERT_FALSE(words.isEmpty());
        qsizetype at = 0;
        for (const QString& word : words) {
            if (word.isEmpty())
                continue; // a sheet without text
            const qsizetype found = text.indexOf(word, at);
            EXPECT_GE(found, 0) << "\"" << word.toStdString() << "\" missing or out of sheet order";
            if (found >= 0)
                at = found + word.size();
        }
    }
    EXPECT_TRUE(prompts.asked.isEmpty());
    EXPECT_TRUE(prompts.plain.isEmpty());
}

// Protected workbooks open with the prompt's answer; a wrong answer brings the
// prompt back; Cancel converts nothing.
TEST_F(RealWorkbooks, ProtectedWorkbooksOpenWithThePromptsAnswer)
{
    prompts.QueuePassword(2);
    EXPECT_FALSE(engine->ConvertWorkbook(TestData("password.xls")));
    EXPECT_FALSE(QFile::exists(Pdf("password.xls")));

    prompts.QueuePassword(1, "wrong");
    prompts.QueuePassword(1, "password");
    prompts.QueuePassword(1, "abc");
    prompts.QueuePassword(1, "tika");
    const std::pair<const char*, const char*> books[] = {{"password.xls", "A ZIP bomb is a variant of mail-bombing."},
                                                         {"xor-encryption-abc.xls", "1 2 3"},
                                                         {"protected_passtika.xlsx", "This is an Encrypted Excel spreadsheet."}};
    for (const auto& [name, words] : books) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(engine->ConvertWorkbook(TestData(name))) << engine->FailureMessage().toStdString();
        EXPECT_TRUE(FlatText(Pdf(name)).contains(QString::fromUtf8(words))) << FlatText(Pdf(name)).toStdString();
    }
    EXPECT_EQ(QStringList({"password.xls", "password.xls", "password.xls", "xor-encryption-abc.xls",
                           "protected_passtika.xlsx"}),
              prompts.asked);
    EXPECT_EQ(0u, prompts.Unanswered());
    EXPECT_EQ(CWorkbookConversion::PasswordPlaceholder(), engine->WorkbookPassword());
}

// A damaged workbook (a real one cut short) is no encrypted one: it fails
// with one line, nobody is asked for a password, and the next workbook converts.
TEST_F(RealWorkbooks, DamagedWorkbookFailsCleanlyAndTheNextConverts)
{
    QFile whole(TestData("SampleSS.xlsx"));
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    const QByteArray bytes = whole.readAll();
    const QString damaged = scratch.filePath("Damaged.xlsx");
    QFile cut(damaged);
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write(bytes.left(bytes.size() / 2));
    cut.close();

    EXPECT_FALSE(engine->ConvertWorkbook(damaged));
    EXPECT_TRUE(prompts.asked.isEmpty()) << "a damaged file asked for a password";
    EXPECT_FALSE(QFile::exists(Pdf(damaged)));
    EXPECT_EQ(QStringLiteral("Damaged.xlsx: it could not be opened: it is damaged or is not a workbook."),
              engine->FailureMessage());

    EXPECT_TRUE(engine->ConvertWorkbook(TestData("SampleSS.xlsx")));
    EXPECT_TRUE(FlatText(Pdf("SampleSS.xlsx")).contains("Test spreadsheet"));
    EXPECT_EQ(1, engine->FailureMessage().split('\n').size());
}

// Hidden sheets are left out, wherever they are (also first, and the stored
// active one), and do not fail the workbook; the others print in order.
TEST_F(RealWorkbooks, HiddenSheetsAreLeftOutAndTheOthersPrintInOrder)
{
    const QString book = scratch.filePath("Hiding.xlsx");
    ASSERT_TRUE(XlsxWriter::Write(book, {{"One", "Secret first", true},
                                         {"Two", "Visible second"},
                                         {"Three", "Secret third", true},
                                         {"Four", "Visible fourth"}}));
    ASSERT_TRUE(engine->ConvertWorkbook(book)) << engine->FailureMessage().toStdString();
    EXPECT_TRUE(engine->FailureMessage().isEmpty()) << engine->FailureMessage().toStdString();
    EXPECT_EQ(2, PageCount(Pdf(book)));
    const QString text = FlatText(Pdf(book));
    EXPECT_TRUE(text.contains(QRegularExpression("Visible second.*Visible fourth"))) << text.toStdString();
    EXPECT_FALSE(text.contains("Secret")) << text.toStdString();
}

// A workbook with nothing on any sheet becomes one blank page and counts as
// converted, with a note that says so; hidden sheets with text do not count.
TEST_F(RealWorkbooks, AWorkbookWithNothingToPrintBecomesOneBlankPage)
{
    const QString blank = scratch.filePath("Blank.xlsx");
    ASSERT_TRUE(XlsxWriter::Write(blank, {{"Empty", ""}, {"Also empty", ""}, {"Kept out", "Secret", true}}));
    ASSERT_TRUE(engine->ConvertWorkbook(blank)) << engine->FailureMessage().toStdString();
    EXPECT_EQ(1, PageCount(Pdf(blank)));
    EXPECT_TRUE(FlatText(Pdf(blank)).isEmpty()) << FlatText(Pdf(blank)).toStdString();
    EXPECT_EQ(QStringLiteral("Blank.xlsx: none of its sheets has anything to print; its PDF is one blank page."),
              engine->FailureMessage());
    EXPECT_TRUE(prompts.asked.isEmpty());
}

// A sheet longer than the range length prints in page ranges, each handed to
// Ghostscript while the next prints: the PDF has the same pages, in the same
// order and with the same absolute page numbers, as the sheet printed in one
// piece and as the office's own export; the sheets after it follow.
TEST_F(RealWorkbooks, ALongSheetPrintedInRangesGivesTheSamePagesAsInOnePiece)
{
    const QString book = scratch.filePath("Long.xlsx");
    ASSERT_TRUE(XlsxWriter::Write(book, {{"Long", "Line", false, 320}, {"After", "Closing words"}}));
    const OfficeReference office(scratch.path(), {book});

    engine->SetChunkPages(0);
    ASSERT_TRUE(engine->ConvertWorkbook(book)) << engine->FailureMessage().toStdString();
    const QString whole = scratch.filePath("whole.pdf");
    ASSERT_TRUE(QFile::rename(Pdf(book), whole));

    // Ranges of two pages and less: several boundaries, and a last range of one page.
    QStringList events;
    engine->SetChunkPages(2);
    engine->SetBeforeStreaming([&] {
        QStringList printed;
        QDirIterator files(run.path(), {"*.pdf"}, QDir::Files, QDirIterator::Subdirectories);
        while (files.hasNext())
            printed << QFileInfo(files.next()).fileName();
        events << "joining " + printed.join(' ');
    });
    engine->SetSheetCallback([&](int sheet, int) { events << QStringLiteral("sheet %1").arg(sheet); });
    ASSERT_TRUE(engine->ConvertWorkbook(book)) << engine->FailureMessage().toStdString();
    // Ghostscript had the first range as soon as it was printed, before the others.
    EXPECT_EQ((QStringList{"joining tmp_1_1.pdf", "sheet 1", "sheet 2"}), events);

    const int pages = PageCount(whole);
    ASSERT_GE(pages, 5) << "the long sheet should print on several pages";
    EXPECT_EQ(office.PdfPages(book), pages);
    EXPECT_EQ(pages, PageCount(Pdf(book)));
    const QStringList expected = PdfText(whole).split('\f');
    const QStringList ranged = PdfText(Pdf(book)).split('\f');
    ASSERT_EQ(expected.size(), ranged.size());
    for (int page = 0; page < pages; ++page) {
        SCOPED_TRACE(page + 1);
        EXPECT_EQ(expected.at(page).simplified(), ranged.at(page).simplified());
    }
    // The long sheet's pages are numbered from its first page on, in every range.
    for (int page = 1; page < pages; ++page)
        EXPECT_TRUE(ranged.at(page - 1).contains(QStringLiteral("Page %1 of %2").arg(page).arg(pages - 1)))
            << ranged.at(page - 1).toStdString();
    EXPECT_TRUE(ranged.at(pages - 1).contains("Closing words"));
    EXPECT_EQ(QStringList{"Long.pdf"}, QDir(out.path()).entryList(QDir::Files | QDir::Hidden));
}

// The office ends while a workbook prints. A PDF holds whole sheets only: the
// ranges a long sheet printed before the failure are dropped, so a workbook
// that loses its first sheet gets no PDF; one that loses a later sheet gets a
// PDF of the sheets before it, and counts as not converted all the same.
TEST_F(RealWorkbooks, ASheetTheOfficeFailsPartWayAddsNoPage)
{
    const QString longFirst = scratch.filePath("LongFirst.xlsx");
    const QString introFirst = scratch.filePath("IntroFirst.xlsx");
    ASSERT_TRUE(XlsxWriter::Write(longFirst, {{"Long", "Line", false, 320}, {"After", "Closing words"}}));
    ASSERT_TRUE(XlsxWriter::Write(introFirst,
                                  {{"Intro", "Opening words"}, {"Long", "Line", false, 320}, {"After", "Closing words"}}));
    engine->SetChunkPages(2);
    // The office is ended once the workbook's first print file is complete.
    engine->SetBeforeStreaming([] {
        for (pid_t pid : runtest::OurProcesses({"soffice"}))
            ::kill(pid, SIGKILL);
    });

    EXPECT_FALSE(engine->ConvertWorkbook(longFirst));
    EXPECT_FALSE(QFileInfo::exists(Pdf(longFirst))) << "the pages of a sheet cut short were published";

    EXPECT_FALSE(engine->ConvertWorkbook(introFirst));
    const QString text = FlatText(Pdf(introFirst));
    EXPECT_TRUE(text.contains("Opening words")) << text.toStdString();
    EXPECT_FALSE(text.contains("Line")) << "pages of the sheet that failed";
    const QString failures = engine->FailureMessage();
    EXPECT_TRUE(failures.contains("IntroFirst.xlsx: incomplete PDF: printing sheet 2 of 3 failed"))
        << failures.toStdString();
    EXPECT_TRUE(failures.contains("sheets 2 to 3 of 3 are missing")) << failures.toStdString();
    EXPECT_EQ(QStringList{"IntroFirst.pdf"}, QDir(out.path()).entryList(QDir::Files | QDir::Hidden));
    EXPECT_EQ(QStringList(), runtest::FilesBelow(run.path()));
}

// At PDF 1.3, the default, see-through drawings leave the page as it is: its
// text stays text, no page becomes one picture, and the see-through corners of
// a picture stay see-through (a stencil mask cuts them out).
TEST_F(RealWorkbooks, SeeThroughDrawingsAtPdf13KeepTheTextAndThePageUnflattened)
{
    ORVIK_REQUIRE_TOOL(testsupport::HaveProgram("pdfimages"), "poppler-utils (pdfimages)");
    QImage dot(64, 64, QImage::Format_ARGB32);
    dot.fill(Qt::transparent);
    QPainter painter(&dot);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::red);
    painter.drawEllipse(8, 8, 48, 48);
    painter.end();
    QBuffer png;
    ASSERT_TRUE(png.open(QIODevice::WriteOnly) && dot.save(&png, "PNG"));
    const QString book = scratch.filePath("SeeThrough.xlsx");
    ASSERT_TRUE(XlsxWriter::Write(book, {{"Drawn", "Quarter west revenue", false, 0, png.data()}}));

    ASSERT_TRUE(engine->ConvertWorkbook(book)) << engine->FailureMessage().toStdString();
    EXPECT_EQ(1, PageCount(Pdf(book)));
    EXPECT_EQ("Quarter west revenue", FlatText(Pdf(book)).toStdString());
    // "pdfimages -list": two heading lines, then page, number, type, width, height, ... for each image.
    QStringList types;
    const QString list = QString::fromUtf8(RunForOutput(QStringLiteral("pdfimages"), {"-list", Pdf(book)}));
    for (const QString& row : list.split('\n', Qt::SkipEmptyParts).mid(2)) {
        const QStringList field = row.simplified().split(' ');
        ASSERT_GE(field.size(), 5) << row.toStdString();
        EXPECT_LE(field.at(3).toInt(), dot.width()) << "a page became a picture: " << row.toStdString();
        types << field.at(2);
    }
    EXPECT_EQ("image mask", types.join(QLatin1Char(' ')).toStdString()) << list.toStdString();
}

} // namespace
