// A list converted on a real Slurm cluster: a one-node cluster of its own
// (tools/slurm/local_cluster.sh, as root) runs tools/slurm/orvik-batch.sh's
// array job and joining job, each task an orvik-xl2pdf with an office of its
// own, all on this machine at once.
#include "CliFixture.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <unistd.h>

using namespace clitest;

namespace {

const QString kScripts = QStringLiteral(ORVIK_SOURCE_DIR "/tools/slurm");

class SlurmBatch : public CliEndToEnd {
protected:
    void SetUp() override
    {
        CliEndToEnd::SetUp();
        if (HasFatalFailure() || IsSkipped())
            return;
        for (const char* tool : {"munged", "slurmctld", "slurmd", "sbatch", "squeue"})
            ORVIK_REQUIRE_TOOL(testsupport::HaveProgram(tool), tool);
        // As the package installation's test: only root starts the daemons.
        if (::geteuid() != 0) {
            std::fprintf(stderr, "\n*** SKIPPED: starting a Slurm cluster needs root ***\n");
            GTEST_SKIP() << "starting a Slurm cluster needs root";
        }
        // munged's socket must be reachable for everyone, so its folder's parents too.
        cluster = clusterParent.filePath("c");
        QFile::setPermissions(clusterParent.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                                        | QFile::ExeGroup | QFile::ExeOther);
        const CliResult started = Script("local_cluster.sh", {"start", cluster});
        ASSERT_EQ(0, started.exitCode) << started.out.toStdString() << started.err.toStdString();
        environment.insert("SLURM_CONF", cluster + "/slurm.conf");
        environment.insert("ORVIK_XL2PDF", QStringLiteral(ORVIK_XL2PDF));
        environment.insert("TMPDIR", Tmp());
        running = true;
    }
    void TearDown() override
    {
        if (running)
            Script("local_cluster.sh", {"stop", cluster});
    }

    CliResult Script(const QString& name, const QStringList& args)
    {
        QProcess p;
        p.setProcessEnvironment(environment);
        p.setWorkingDirectory(scratch.path());
        p.start(kScripts + "/" + name, args);
        return Finished(p);
    }
    // Workbooks named Book01.xlsx … made from real ones; the list names them relative to the scratch folder.
    QString List(int count)
    {
        const QStringList sources{"SampleSS.xlsx", "WithTextBox.xlsx", "55906-MultiSheetRefs.xlsx",
                                  "SimpleScatterChart.xlsx", "unicodeSheetName.xlsx"};
        QDir().mkpath(scratch.filePath("in"));
        QByteArray list;
        for (int i = 1; i <= count; ++i) {
            const QString name = QString("in/Book%1.xlsx").arg(i, 2, 10, QLatin1Char('0'));
            EXPECT_TRUE(QFile::copy(TestData(sources.at((i - 1) % sources.size())), scratch.filePath(name)));
            list += name.toUtf8() + (i % 4 == 0 ? "\n\n" : "\n");
        }
        return Secret("list.txt", list);
    }
    // The joined report, a parsed object per line.
    QList<QJsonObject> Report()
    {
        QFile f(out.filePath("report.jsonl"));
        EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << "no joined report";
        QList<QJsonObject> lines;
        for (const QByteArray& line : f.readAll().split('\n')) {
            if (line.isEmpty())
                continue;
            QJsonParseError error;
            lines << QJsonDocument::fromJson(line, &error).object();
            EXPECT_EQ(QJsonParseError::NoError, error.error) << line.toStdString();
        }
        return lines;
    }

    QTemporaryDir clusterParent;
    QString cluster;
    bool running = false;
};

TEST_F(SlurmBatch, TwelveWorkbooksInThreeTasks)
{
    const QString list = List(12);
    const CliResult r = Script("orvik-batch.sh", {list, out.path(), "--tasks", "3", "--wait", "--", "--jobs", "1"});

    ASSERT_EQ(0, r.exitCode) << r.out.toStdString() << r.err.toStdString();
    EXPECT_TRUE(QRegularExpression("array job \\d+, joining job \\d+").match(r.out).hasMatch()) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("12 of 12 workbook(s) converted, 0 not converted.")) << r.out.toStdString();
    EXPECT_EQ(12, QDir(out.path()).entryList({"*.pdf"}, QDir::Files).size());
    const QList<QJsonObject> lines = Report();
    ASSERT_EQ(12, lines.size());
    for (int i = 0; i < 12; ++i) {
        const QJsonObject& o = lines.at(i);
        EXPECT_EQ(i, o["index"].toInt()) << "in list order";
        EXPECT_EQ("converted", o["result"].toString());
        EXPECT_TRUE(QFileInfo::exists(o["pdf"].toString()));
        EXPECT_EQ(PdfInfo(o["pdf"].toString(), "Pages").toInt(), o["pages"].toInt());
    }
    for (int task = 0; task < 3; ++task) {
        QFile report(out.filePath(QString(".orvik-reports/task-%1.jsonl").arg(task)));
        ASSERT_TRUE(report.open(QIODevice::ReadOnly));
        EXPECT_EQ(4, report.readAll().count('\n')) << "task " << task << " had its share";
    }
    ExpectNothingLeft();
}

TEST_F(SlurmBatch, ADamagedWorkbookFailsTheBatchAndItsLineSaysWhy)
{
    const QString list = List(4);
    QFile book(scratch.filePath("in/Book03.xlsx"));
    ASSERT_TRUE(book.resize(3000));
    const CliResult r = Script("orvik-batch.sh", {list, out.path(), "--tasks", "2", "--wait"});

    EXPECT_EQ(1, r.exitCode) << r.out.toStdString() << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("3 of 4 workbook(s) converted, 1 not converted.")) << r.out.toStdString();
    const QList<QJsonObject> lines = Report();
    ASSERT_EQ(4, lines.size());
    EXPECT_EQ("failed", lines.at(2)["result"].toString());
    EXPECT_TRUE(lines.at(2)["pdf"].isNull());
    EXPECT_TRUE(lines.at(2)["message"].toString().contains("Book03.xlsx: it could not be opened: it is damaged"))
        << lines.at(2)["message"].toString().toStdString();
    EXPECT_EQ("converted", lines.at(3)["result"].toString());
}

// A task that dies without a report leaves its share unaccounted for: the
// joining job gives each of its workbooks a line, and the batch fails.
TEST_F(SlurmBatch, WorkbooksOfATaskThatDiedCountAsNotConverted)
{
    const QString list = List(4);
    const QString dying = Secret("dying.sh", "#!/bin/sh\n[ \"$SLURM_ARRAY_TASK_ID\" = 1 ] && exit 3\nexec " ORVIK_XL2PDF " \"$@\"\n");
    QFile::setPermissions(dying, QFile::ReadOwner | QFile::ExeOwner);
    environment.insert("ORVIK_XL2PDF", dying);
    const CliResult r = Script("orvik-batch.sh", {list, out.path(), "--tasks", "2", "--wait"});

    EXPECT_EQ(1, r.exitCode) << r.out.toStdString() << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("2 of 4 workbook(s) converted, 2 not converted; 2 without a report")) << r.out.toStdString();
    const QList<QJsonObject> lines = Report();
    ASSERT_EQ(4, lines.size());
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(i, lines.at(i)["index"].toInt());
        EXPECT_EQ(i % 2 ? "failed" : "converted", lines.at(i)["result"].toString()) << i;
    }
    EXPECT_EQ(scratch.filePath("in/Book02.xlsx"), lines.at(1)["workbook"].toString());
    EXPECT_TRUE(lines.at(3)["message"].toString().contains("in/Book04.xlsx: not converted: task 1 ended without reporting it"))
        << lines.at(3)["message"].toString().toStdString();
}

} // namespace
