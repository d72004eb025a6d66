// What killed runs leave behind is removed by a later run: only entries named
// after a process that no longer runs and owned by this user; never those of a
// run still alive, of another user, or anything else in the folder.
#include "platform/ChildProcess.h"
#include "platform/StaleRunFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <unistd.h>

namespace {

// The id of a process that has ended.
pid_t EndedPid()
{
    ChildProcess p;
    EXPECT_TRUE(p.Start("true", {}));
    EXPECT_TRUE(p.WaitForExit(10000));
    return p.Pid();
}

void Touch(const QString& path)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
}

void MakeFolder(const QString& path)
{
    ASSERT_TRUE(QDir().mkpath(path + "/user/inner"));
    Touch(path + "/user/inner/file");
}

QStringList Entries(const QString& folder)
{
    QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    names.sort();
    return names;
}

TEST(StaleRunFiles, NamesCarryTheProcessIdAndTheMachine)
{
    const QString host = StaleRunFiles::HostTag();
    EXPECT_FALSE(host.isEmpty());
    EXPECT_FALSE(host.contains('-')) << "a dash ends the name part";
    EXPECT_EQ(QString::number(getpid()) + "@" + host + "-", StaleRunFiles::NamePart());
    EXPECT_EQ("42@" + host + "-", StaleRunFiles::NamePart(42));
    EXPECT_FALSE(StaleRunFiles::ProcessGone(getpid()));
    EXPECT_FALSE(StaleRunFiles::ProcessGone(1)) << "a process of another user runs too";
    EXPECT_TRUE(StaleRunFiles::ProcessGone(EndedPid()));
}

TEST(StaleRunFiles, TheTemporaryFolderLosesOnlyWhatEndedRunsLeft)
{
    QTemporaryDir tmp;
    const QString gone = QString::number(EndedPid());
    const QString alive = QString::number(getpid());
    ChildProcess other; // another live run
    ASSERT_TRUE(other.Start("sleep", {"30"}));
    const QString otherAlive = QString::number(other.Pid());

    const QString staleRun = tmp.filePath("orvik-run-" + gone + "@" + StaleRunFiles::HostTag() + "-aB3xYz");
    // Of a run on another machine that shares the folder: its process is not seen here.
    const QString elsewhere = "orvik-office-" + gone + "@other.host-Rt56Yu";
    const QString staleOffice = tmp.filePath("orvik-office-" + gone + "-Qw12Er");
    const QString stalePrint = tmp.filePath(QStringLiteral("orvik-print-") + gone + QStringLiteral("-Zx81Qa"));
    for (const QString& f : {staleRun, staleOffice, tmp.filePath("orvik-run-" + alive + "-aaaaaa"), stalePrint,
                             tmp.filePath(QStringLiteral("orvik-print-") + otherAlive + QStringLiteral("-eeeeee")),
                             tmp.filePath("orvik-office-" + otherAlive + "-bbbbbb"), tmp.filePath("orvik-run-XXq1w2"),
                             tmp.filePath(elsewhere),
                             tmp.filePath("orvik-runner-" + gone + "-cccccc"), tmp.filePath("other-" + gone + "-dddddd")})
        MakeFolder(f);
    // A link with a stale name is not followed into what it points to.
    QTemporaryDir target;
    Touch(target.filePath("precious"));
    ASSERT_TRUE(QFile::link(target.path(), tmp.filePath("orvik-run-" + gone + "-linked")));

    // The office's sockets: ours of a gone run, ours of a live one, and the single-instance one of the stale profile.
    const QString uid = QString::number(getuid());
    const QString stalePipe = "/tmp/OSL_PIPE_" + uid + "_orvik-office-" + gone + "-1-0badf00d";
    const QString livePipe = "/tmp/OSL_PIPE_" + uid + "_orvik-office-" + otherAlive + "-1-0badf00d";
    const QString singleInstance = StaleRunFiles::OfficeSocketFiles(StaleRunFiles::SingleInstancePipeName(staleOffice)).first();
    for (const QString& socket : {stalePipe, livePipe, singleInstance})
        Touch(socket);

    EXPECT_EQ(4, StaleRunFiles::SweepTemporaryFolder(tmp.path()));

    EXPECT_FALSE(QFile::exists(staleRun));
    EXPECT_FALSE(QFile::exists(staleOffice));
    EXPECT_FALSE(QFile::exists(stalePrint));
    EXPECT_FALSE(QFile::exists(stalePipe));
    EXPECT_FALSE(QFile::exists(singleInstance));
    EXPECT_TRUE(QFile::exists(livePipe));
    QFile::remove(livePipe);
    EXPECT_TRUE(QFile::exists(target.filePath("precious")));
    QStringList left{elsewhere, "orvik-office-" + otherAlive + "-bbbbbb",
                     QStringLiteral("orvik-print-") + otherAlive + QStringLiteral("-eeeeee"), "orvik-run-" + alive + "-aaaaaa",
                     "orvik-run-" + gone + "-linked", "orvik-run-XXq1w2", "orvik-runner-" + gone + "-cccccc",
                     "other-" + gone + "-dddddd"};
    left.sort();
    EXPECT_EQ(left, Entries(tmp.path()));
    other.Kill();
}

TEST(StaleRunFiles, TheOutputFolderLosesOnlyPartialPdfsOfEndedRuns)
{
    QTemporaryDir out;
    const QString gone = QString::number(EndedPid());
    const QString alive = QString::number(getpid());
    const QStringList kept{".Book.pdf." + alive + "-Ab12Cd.part", ".Book.pdf.Ab12Cd.part", "Book.pdf",
                           ".Book.pdf." + gone + "-Ab12Cd.part.keep", "Book.pdf." + gone + "-Ab12Cd.part",
                           ".notes." + gone + "-Ab12Cd.part", ".Book.pdf." + gone + "@node_7.cluster-Ab12Cd.part"};
    const QStringList swept{".Book.pdf." + gone + "-Ab12Cd.part", ".é 日本.pdf." + gone + "-zZ09aa.part",
                            ".Sales.pdf." + gone + "@" + StaleRunFiles::HostTag() + "-Qq12Ww.part"};
    for (const QString& name : kept + swept)
        Touch(out.filePath(name));

    EXPECT_EQ(3, StaleRunFiles::SweepOutputFolder(out.path()));
    QStringList expected = kept;
    expected.sort();
    EXPECT_EQ(expected, Entries(out.path()));
}

// Files of another user are never touched, even with a stale name (needs root to give them away).
TEST(StaleRunFiles, AnotherUsersFilesStay)
{
    if (getuid() != 0)
        GTEST_SKIP() << "only root can make a file of another user";
    QTemporaryDir out;
    const QString name = out.filePath(".Book.pdf." + QString::number(EndedPid()) + "-Ab12Cd.part");
    Touch(name);
    ASSERT_EQ(0, ::chown(QFile::encodeName(name).constData(), 65534, 65534));
    EXPECT_EQ(0, StaleRunFiles::SweepOutputFolder(out.path()));
    EXPECT_TRUE(QFile::exists(name));
}

} // namespace
