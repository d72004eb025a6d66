// orvik-xl2pdf over real workbooks from many programs and years (the shared
// corpus): every workbook either becomes a PDF that qpdf accepts, with at
// least one page, or fails with one line that names it; what the office's own
// converter turns into a real PDF is converted here too. Afterwards no office,
// no Ghostscript, no run folder is left, and the output folder holds PDFs only.
//
// The run takes the whole corpus (151 workbooks, about a minute on two
// cores); ORVIK_CORPUS_SAMPLE=1 takes one or two workbooks of each kind, for a
// quick look while working.
#include "platform/PrinterQueue.h"
#include "support/RealTools.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <unistd.h>

namespace {

const QString kCorpus = QStringLiteral(ORVIK_CORPUS_DIR);

// One or two of each kind (ORVIK_CORPUS_SAMPLE=1).
const QStringList kRepresentative{
    "12843-1.xls",                  // a large legacy (BIFF8) workbook
    "testEXCEL_5.xls",              // Excel 5 (BIFF5)
    "3dFormulas.xls",               // formulas across sheets
    "SimpleScatterChart.xlsx",      // charts
    "WithTwoCharts.xls",
    "42464-ExpPtg-bad.xls",         // hidden sheets
    "58616.xlsx",
    "TwoSheetsNoneHidden.xls",
    "template.xlsx",                // nothing on any sheet
    "poc-xmlbomb-empty.xlsx",
    "30978-alt.xls",
    "45540_classic_Footer.xlsx",    // headers and footers
    "right-to-left.xlsx",
    "SampleSS.strict.xlsx",         // strict Open XML
    "SimpleWithImages.xls",
    "SimpleMacro.xls",              // macros (never run)
    "xxe_in_schema.xlsx",           // an external entity that must not be fetched
    "HyperlinksOnManySheets.xls",
    "35897-type4.xls",              // encrypted: no terminal to ask for its password
    "clusterfuzz-testcase-minimized-POIXSSFFuzzer-4828727001088000.xlsx", // damaged
    "crash-9bf3cd4bd6f50a8a9339d363c2c7af14b536865c.xlsx",
    "clusterfuzz-testcase-minimized-POIHSSFFuzzer-5175219985448960.xls",  // read as text by the office
};

// The workbooks not converted: those the office's own converter makes no PDF
// of, and two damaged legacy files it reads as plain text (pages of garbage).
const QSet<QString> kNotConverted{
    "35897-type4.xls",
    "clusterfuzz-testcase-minimized-POIFuzzer-5040805309710336.xlsx",
    "clusterfuzz-testcase-minimized-POIXSSFFuzzer-4828727001088000.xlsx",
    "clusterfuzz-testcase-minimized-POIXSSFFuzzer-6123461607817216.xlsx",
    "clusterfuzz-testcase-minimized-XLSX2CSVFuzzer-5636439151607808.xlsx",
    "crash-9bf3cd4bd6f50a8a9339d363c2c7af14b536865c.xlsx",
    "clusterfuzz-testcase-minimized-POIHSSFFuzzer-5175219985448960.xls",
    "clusterfuzz-testcase-minimized-POIHSSFFuzzer-5889658057523200.xls",
};

QStringList Workbooks()
{
    if (qEnvironmentVariableIntValue("ORVIK_CORPUS_SAMPLE") == 1)
        return kRepresentative;
    return QDir(kCorpus).entryList({"*.xls", "*.xlsx"}, QDir::Files, QDir::Name);
}

int Exit(const QString& program, const QStringList& args, QString* out = nullptr)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(60000);
    if (out)
        *out = QString::fromUtf8(p.readAllStandardOutput());
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

int Pages(const QString& pdf)
{
    QString info;
    Exit("pdfinfo", {pdf}, &info);
    const QRegularExpressionMatch m = QRegularExpression("^Pages:\\s+(\\d+)$", QRegularExpression::MultilineOption).match(info);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// Processes still running whose command line names the folder (the run's
// office works in a profile there, its Ghostscript on a run folder there).
QStringList ProcessesUsing(const QString& folder)
{
    QStringList found;
    for (const QFileInfo& proc : QDir("/proc").entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool number = false;
        proc.fileName().toInt(&number);
        QFile cmdline(proc.filePath() + "/cmdline");
        if (!number || !cmdline.open(QIODevice::ReadOnly))
            continue;
        QByteArray line = cmdline.readAll();
        line.replace('\0', ' ');
        if (line.contains(folder.toUtf8()))
            found << proc.fileName() + ": " + QString::fromUtf8(line);
    }
    return found;
}

TEST(Corpus, EveryWorkbookConvertsOrFailsWithOneLineAndNothingIsLeft)
{
    ORVIK_REQUIRE_TOOL(QFileInfo(kCorpus).isDir(), "the workbook corpus (shared/corpus)");
    ORVIK_REQUIRE_TOOL(testsupport::HaveProgram("soffice"), "LibreOffice (soffice)");
    ORVIK_REQUIRE_TOOL(testsupport::HaveProgram("gs"), "Ghostscript (gs)");
    ORVIK_REQUIRE_TOOL(testsupport::HaveProgram("qpdf"), "qpdf");
    ORVIK_REQUIRE_TOOL(testsupport::HaveProgram("pdfinfo"), "poppler-utils (pdfinfo)");
    ORVIK_REQUIRE_TOOL(CPrinterQueue::Check(QString(CPrinterQueue::kQueueName)) == CPrinterQueue::Ready,
                       "CUPS with the printer queue OrvikExcelToPDF");
    QTemporaryDir scratch;
    const QString tmp = scratch.filePath("tmp"), out = scratch.filePath("out");
    ASSERT_TRUE(QDir().mkpath(tmp) && QDir().mkpath(out));

    const QStringList names = Workbooks();
    QStringList args;
    for (const QString& name : names)
        args << kCorpus + '/' + name;
    QProcess run;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TMPDIR", tmp);
    run.setProcessEnvironment(env);
    // No terminal: an encrypted workbook cannot ask anyone for its password.
    run.setChildProcessModifier([] { ::setsid(); });
    run.start(QStringLiteral(ORVIK_XL2PDF), args << "-o" << out);
    ASSERT_TRUE(run.waitForStarted());
    run.closeWriteChannel();
    // Far beyond any real run: each workbook may take up to the office's call bound.
    ASSERT_TRUE(run.waitForFinished(int(names.size()) * 130000)) << "the run did not end";
    const QString err = QString::fromUtf8(run.readAllStandardError());
    EXPECT_EQ(QProcess::NormalExit, run.exitStatus());
    EXPECT_EQ(1, run.exitCode()) << "some workbooks are not converted";

    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        const QString pdf = out + '/' + QFileInfo(name).completeBaseName() + ".pdf";
        // Progress lines start with "[n/m]"; a workbook's own lines with its name.
        const QStringList lines = err.split('\n').filter(QRegularExpression(
            "^orvik-xl2pdf: " + QRegularExpression::escape(name) + ": "));
        if (kNotConverted.contains(name)) {
            EXPECT_FALSE(QFileInfo::exists(pdf));
            EXPECT_EQ(1, lines.size()) << err.toStdString();
            continue;
        }
        ASSERT_TRUE(QFileInfo::exists(pdf)) << err.toStdString();
        EXPECT_EQ(0, Exit("qpdf", {"--check", pdf})) << "qpdf finds faults";
        EXPECT_GE(Pages(pdf), 1);
        EXPECT_LE(lines.size(), 1) << "at most one note";
    }

    EXPECT_EQ(QStringList(), ProcessesUsing(tmp)) << "an office or Ghostscript of the run is still running";
    EXPECT_EQ(QStringList(), QDir(tmp).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden))
        << "run folder or office files left";
    EXPECT_EQ(QStringList(), QDir(out).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)
                                 .filter(QRegularExpression("^(?!.*\\.pdf$)")))
        << "something beside PDFs in the output folder";
}

} // namespace
