// Lists, shares and the report of orvik-xl2pdf: a list reaches the run at its
// place among the command line's workbooks, every workbook of a list falls in
// exactly one share, and the decisions that depend on other workbooks are the
// same in every share. The report's lines are JSON with every key.
#include "CliFixture.h"

#include "cli/CliArguments.h"
#include "cli/ReportLine.h"
#include "cli/WorkbookListFile.h"
#include "cli/WorkbookPlan.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <set>

using namespace clitest;

namespace {

QString Write(const QTemporaryDir& dir, const QString& name, const QByteArray& content)
{
    const QString path = dir.filePath(name);
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content);
    return path;
}

TEST(CliBatch, ListsTakeTheirPlaceAmongTheWorkbooksOfTheCommandLine)
{
    QTemporaryDir dir;
    const QString list = Write(dir, "list", "x.xlsx\n\n  \t\r\n y z.xls \r\nlast.ods");
    CliSettings s;
    QString error;
    ASSERT_TRUE(CliArguments::Parse({"a.xlsx", "--files-from", list, "b.xls", "--files-from=" + list, "-o", "/out"}, &s,
                                    &error))
        << error.toStdString();
    EXPECT_EQ((QStringList{"a.xlsx", "x.xlsx", " y z.xls ", "last.ods", "b.xls", "x.xlsx", " y z.xls ", "last.ods"}),
              s.workbooks);

    const std::vector<std::pair<QStringList, const char*>> refused = {
        {{"--files-from", Write(dir, "blank", "\n \n"), "-o", "/out"}, "no workbook given"},
        {{"--files-from", dir.filePath("absent"), "-o", "/out"}, "absent"},
        {{"--files-from", "-", "--owner-password-file", "-", "a.xls", "-o", "/out"}, "standard input"},
        {{"--files-from", "-", "--files-from", "-", "-o", "/out"}, "standard input"},
        {{"--shard", "2/2", "a.xls", "-o", "/out"}, "2/2"},
        {{"--shard", "1/x", "a.xls", "-o", "/out"}, "--shard"},
        {{"--shard", "0/1", "--shard", "0/1", "a.xls", "-o", "/out"}, "twice"},
        {{"--report", "", "a.xls", "-o", "/out"}, "--report"},
    };
    for (const auto& [args, reason] : refused) {
        EXPECT_FALSE(CliArguments::Parse(args, &s, &error)) << args.join(' ').toStdString();
        EXPECT_TRUE(error.contains(QString::fromUtf8(reason))) << args.join(' ').toStdString() << " -> " << error.toStdString();
    }
}

TEST(CliBatch, ShardAutoTakesTheSlurmArrayTask)
{
    QProcessEnvironment env;
    Shard shard;
    QString error;
    EXPECT_FALSE(Shard::Parse("auto", env, &shard, &error));
    EXPECT_TRUE(error.contains("SLURM_ARRAY_TASK_ID")) << error.toStdString();
    env.insert("SLURM_ARRAY_TASK_ID", "2");
    env.insert("SLURM_ARRAY_TASK_COUNT", "3");
    ASSERT_TRUE(Shard::Parse("auto", env, &shard, &error)) << error.toStdString();
    EXPECT_EQ(2, shard.Index());
    EXPECT_EQ(3, shard.Count());
    // An array given as 1-3 has ids that are no shares.
    env.insert("SLURM_ARRAY_TASK_MIN", "1");
    EXPECT_FALSE(Shard::Parse("auto", env, &shard, &error));
    EXPECT_TRUE(error.contains("--array=0-2")) << error.toStdString();
}

// Every place of the whole list is converted or reported by exactly one share,
// and a workbook whose PDF name an earlier one has is refused by its share
// even when the earlier one lies in another.
TEST(CliBatch, EveryWorkbookFallsInExactlyOneShareAndClashesAreDecidedOnTheWholeList)
{
    QTemporaryDir dir;
    const QByteArray zip("PK\x03\x04 rest", 9);
    QStringList whole;
    for (int i = 0; i < 9; ++i)
        whole << Write(dir, QString("b%1.xlsx").arg(i), zip);
    whole << Write(dir, "other/b2.xlsx", zip) << whole.at(4) << dir.filePath("missing.xlsx") << whole.at(0);
    const int clash = 9, twice = 10, missing = 11, twiceAgain = 12;

    for (int count = 1; count <= 5; ++count) {
        std::multiset<int> seen;
        for (int index = 0; index < count; ++index) {
            const WorkbookPlan plan(whole, Shard(index, count), true, "/out");
            for (int position : plan.Positions())
                seen.insert(position);
            for (const ReportLine& line : plan.Refused()) {
                seen.insert(line.index);
                EXPECT_EQ(index, line.index % count);
            }
            for (int position : plan.Positions())
                EXPECT_EQ(index, position % count);
            const auto it = std::find_if(plan.Refused().begin(), plan.Refused().end(),
                                         [&](const ReportLine& l) { return l.index == clash; });
            if (clash % count == index) {
                ASSERT_NE(it, plan.Refused().end()) << count;
                EXPECT_EQ("failed", it->result);
                EXPECT_TRUE(it->message.contains("/out/b2.pdf is made from " + whole.at(2))) << it->message.toStdString();
            }
            if (2 % count == index) {
                EXPECT_NE(std::find(plan.Positions().begin(), plan.Positions().end(), 2), plan.Positions().end())
                    << "the first of the name is converted";
            }
        }
        for (int position = 0; position < whole.size(); ++position)
            EXPECT_EQ(1u, seen.count(position)) << "place " << position << " with " << count << " shares";
    }

    // Unshared, the run decides a clash itself (the earlier PDF may fail);
    // a workbook listed twice is skipped, which does not count as a failure.
    const WorkbookPlan plain(whole, Shard(), false, "/out");
    EXPECT_EQ(10, plain.ToConvert().size());
    ASSERT_EQ(3u, plain.Refused().size());
    EXPECT_EQ(twice, plain.Refused().at(0).index);
    EXPECT_EQ("skipped", plain.Refused().at(0).result);
    EXPECT_EQ(missing, plain.Refused().at(1).index);
    EXPECT_EQ(twiceAgain, plain.Refused().at(2).index);
    EXPECT_EQ(1, plain.Failures());
}

TEST(CliBatch, ReportLinesAreJsonWithEveryKey)
{
    ReportLine line;
    line.index = 7;
    line.workbook = "/data/\"odd\" name\\ é\n.xlsx";
    line.result = ReportLine::Word(WorkbookReport::Failed);
    line.seconds = 1.5;
    line.message = "it could not be opened";
    QJsonParseError error;
    QJsonObject o = QJsonDocument::fromJson(line.Json().toUtf8(), &error).object();
    ASSERT_EQ(QJsonParseError::NoError, error.error) << line.Json().toStdString();
    EXPECT_EQ((QStringList{"index", "message", "pages", "pdf", "result", "seconds", "workbook"}), o.keys());
    EXPECT_FALSE(line.Json().contains('\n'));
    EXPECT_EQ(line.workbook, o["workbook"].toString());
    EXPECT_TRUE(o["pdf"].isNull());
    EXPECT_TRUE(o["pages"].isNull());
    EXPECT_EQ("failed", o["result"].toString());
    EXPECT_EQ(7, o["index"].toInt());
    EXPECT_DOUBLE_EQ(1.5, o["seconds"].toDouble());

    line.pdf = "/out/a.pdf";
    line.pages = 12;
    o = QJsonDocument::fromJson(line.Json().toUtf8()).object();
    EXPECT_EQ("/out/a.pdf", o["pdf"].toString());
    EXPECT_EQ(12, o["pages"].toInt());
    EXPECT_EQ("stopped", ReportLine::Word(WorkbookReport::NotReached));
    EXPECT_EQ("cancelled", ReportLine::Word(WorkbookReport::Cancelled));
}

// The program itself: the list on standard input, the report on standard
// output instead of the PDFs' paths, the pages counted in the PDF written.
TEST_F(CliEndToEnd, TheReportTellsOfEveryWorkbookOfTheList)
{
    const QString broken = scratch.filePath("Broken.xlsx");
    QFile source(TestData("SampleSS.xlsx"));
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    QFile cut(broken);
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write(source.read(3000));
    cut.close();
    const QByteArray list = (TestData("55906-MultiSheetRefs.xlsx") + "\n\n" + broken + "\n").toUtf8();
    const CliResult r = Run({TestData("WithTextBox.xlsx"), "--files-from", "-", "--report", "-", "-o", out.path()}, list);

    EXPECT_EQ(1, r.exitCode) << r.err.toStdString();
    const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(3, lines.size()) << r.out.toStdString();
    for (int i = 0; i < 3; ++i) {
        const QJsonObject o = QJsonDocument::fromJson(lines.at(i).toUtf8()).object();
        EXPECT_EQ(i, o["index"].toInt());
        if (i < 2) {
            EXPECT_EQ("converted", o["result"].toString());
            const QString pdf = o["pdf"].toString();
            EXPECT_EQ(PdfInfo(pdf, "Pages"), QString::number(o["pages"].toInt())) << pdf.toStdString();
            EXPECT_GT(o["seconds"].toDouble(), 0.0);
        } else {
            EXPECT_EQ(broken, o["workbook"].toString());
            EXPECT_EQ("failed", o["result"].toString());
            EXPECT_TRUE(o["pdf"].isNull());
            EXPECT_TRUE(o["message"].toString().contains("damaged")) << lines.at(i).toStdString();
        }
    }
    ExpectNothingLeft();
}

} // namespace
