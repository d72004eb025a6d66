// Real workbooks converted from the page through the real office, CUPS queue
// and Ghostscript: the bar, the status, the finish dialog, the options of the
// settings pages in the PDFs, an existing PDF kept, a workbook password, and
// nothing left behind.
#include "PageFixture.h"

#include "app/DialogDriver.h"
#include "automation/OfficeServer.h"
#include "engine/RunTestSupport.h"
#include "support/RealTools.h"

#include <QFileInfo>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTimer>

#include <algorithm>

using namespace runtest;
using pagetest::PageFixture;

namespace {

constexpr int kWaitMs = 240000;

bool QpdfAccepts(const QString& pdf)
{
    QProcess p;
    p.start(QStringLiteral("qpdf"), {QStringLiteral("--check"), pdf});
    p.waitForFinished(60000);
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

class RealPage : public PageFixture {
protected:
    static void SetUpTestSuite() { RegisterOfficeServer(); }

    void SetUp() override
    {
        ORVIK_REQUIRE_TOOL(testsupport::HaveProgram("soffice"), "LibreOffice (soffice)");
        ORVIK_REQUIRE_TOOL(testsupport::HaveProgram("gs"), "Ghostscript (gs)");
        ORVIK_REQUIRE_TOOL(testsupport::HaveProgram("pdfinfo"), "poppler-utils (pdfinfo)");
        ORVIK_REQUIRE_TOOL(testsupport::HaveProgram("qpdf"), "qpdf");
        ORVIK_REQUIRE_TOOL(QueueReady(), "CUPS with the printer queue OrvikExcelToPDF");
        PageFixture::SetUp();
        // Every value the bar shows, as it shows it.
        QObject::connect(&sampler, &QTimer::timeout, [this] {
            const int pos = int(page->m_progress.GetPos());
            if (bar.isEmpty() || bar.last() != pos)
                bar << pos;
        });
        sampler.start(1);
    }
    void TearDown() override
    {
        sampler.stop();
        PageFixture::TearDown();
    }

    // Copies of shared workbooks in the fixture's folder, added with Add File(s).
    void AddTestData(const QStringList& names)
    {
        QStringList paths;
        for (const QString& name : names) {
            const QString copy = dir.filePath(QStringLiteral("in/") + name);
            QDir().mkpath(QFileInfo(copy).absolutePath());
            EXPECT_TRUE(QFile::copy(TestData(name), copy));
            paths << copy;
        }
        AddFiles(paths);
        page->SetDlgItemText(1017, out.path());
    }
    // Converts and closes the finish dialog; returns the names it listed.
    QStringList ConvertAndFinish()
    {
        QStringList names;
        bool shown = false;
        dialogtest::ActWhenModal<CFinishDlg>([&](CFinishDlg& dlg) {
            shown = true;
            dialogtest::Screenshot(dlg, QStringLiteral("finish_dialog_real"));
            for (int i = 0; i < dlg.m_lbResults.count(); ++i)
                names << dlg.m_lbResults.item(i)->text();
            dlg.OnCommand(IDCANCEL);
        });
        Click(1019);
        EXPECT_TRUE(QTest::qWaitFor([&] { return shown; }, kWaitMs)) << "no finish dialog";
        EXPECT_TRUE(QTest::qWaitFor([&] { return page->m_progress.GetPos() == 0; }, kWaitMs));
        return names;
    }
    QString Pdf(const QString& base) const { return out.filePath(base + QStringLiteral(".pdf")); }

    QTemporaryDir out;
    QTimer sampler;
    QList<int> bar;
};

TEST_F(RealPage, ThreeWorkbooksBecomeThreePdfsWithTheTitleOfTheDescriptionPage)
{
    AddTestData({"SampleSS.xlsx", "SimpleScatterChart.xlsx", "WithTextBox.xlsx"});
    page->m_dlgDescription.SetDlgItemText(1021, QStringLiteral("Quartalsbericht Ä (draft)"));
    page->m_dlgDescription.SetDlgItemText(1026, QStringLiteral("Finance"));
    const QStringList names = ConvertAndFinish();

    EXPECT_EQ((QStringList{"SampleSS.pdf", "SimpleScatterChart.pdf", "WithTextBox.pdf"}), names);
    // Lanes may finish two workbooks at once: the bar then passes a third too quickly to be seen.
    const QList<int> shown = bar.mid(0, bar.indexOf(100) + 1); // then 0 again after the finish step
    EXPECT_TRUE(shown.size() >= 2 && shown.front() == 0 && shown.back() == 100) << shown.size();
    for (int pos : shown)
        EXPECT_TRUE(pos == 0 || pos == 33 || pos == 66 || pos == 100) << pos;
    EXPECT_TRUE(std::is_sorted(shown.begin(), shown.end()));
    EXPECT_EQ(QStringLiteral("Complete!"), Status());
    EXPECT_EQ(0, page->m_lbFiles.GetCount());
    EXPECT_FALSE(Enabled(1019));
    for (const QString base : {"SampleSS", "SimpleScatterChart", "WithTextBox"}) {
        EXPECT_TRUE(QpdfAccepts(Pdf(base))) << base.toStdString();
        EXPECT_EQ(QStringLiteral("Quartalsbericht Ä (draft)"), PdfInfo(Pdf(base), "Title"));
        EXPECT_EQ(QStringLiteral("Finance"), PdfInfo(Pdf(base), "Author"));
    }
    EXPECT_EQ(QStringLiteral("Quartalsbericht Ä (draft)"), page->m_dlgDescription.m_strDocTitle)
        << "Convert takes over what the page shows";
    EXPECT_TRUE(OurOfficeProcesses().empty()) << "the office ends with the run";
    EXPECT_EQ((QStringList{"SampleSS.pdf", "SimpleScatterChart.pdf", "WithTextBox.pdf"}), FilesBelow(out.path()));
}

// SampleSS.xls and SampleSS.xlsx share a PDF name: one question; No keeps the
// first PDF, and the bar still moves for the second.
TEST_F(RealPage, AnExistingPdfAnsweredNoIsKept)
{
    AddTestData({"SampleSS.xls", "SampleSS.xlsx"});
    prompts.QueueMessageBoxAnswer(IDNO);
    const QStringList names = ConvertAndFinish();

    ASSERT_EQ(1, prompts.Questions().size());
    EXPECT_EQ(Pdf("SampleSS") + " already exists. Do you want to replace it?", prompts.Questions().at(0).text);
    EXPECT_EQ(4, prompts.Questions().at(0).type);
    EXPECT_EQ(QStringList{"SampleSS.pdf"}, names);
    EXPECT_EQ((QList<int>{0, 50, 100}), bar.mid(0, 3));
    EXPECT_GT(PdfInfo(Pdf("SampleSS"), "Pages").toInt(), 0);
}

// A protected workbook asks for its password with its file name; the typed
// password opens it.
TEST_F(RealPage, AProtectedWorkbookAsksForItsPassword)
{
    AddTestData({"password.xls"});
    prompts.QueuePasswordAnswer(IDOK, QStringLiteral("password"));
    const QStringList names = ConvertAndFinish();

    ASSERT_EQ(1, prompts.Questions().size());
    EXPECT_EQ(CPromptSeam::Kind::Password, prompts.Questions().at(0).kind);
    EXPECT_EQ(QStringLiteral("password.xls"), prompts.Questions().at(0).text);
    EXPECT_EQ(QStringList{"password.pdf"}, names);
    EXPECT_GT(PdfInfo(Pdf("password"), "Pages").toInt(), 0);
}

} // namespace
