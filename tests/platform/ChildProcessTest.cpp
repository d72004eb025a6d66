#include "platform/ChildProcess.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <csignal>
#include <thread>

TEST(ChildProcess, ArgumentsArriveUnchangedWithoutAShell)
{
    QTemporaryDir dir;
    const QString out = dir.filePath("out.txt");
    ChildProcess p;
    p.SetOutputFile(out);
    const QStringList args{"-c", "printf '%s|' \"$@\"", "sh", "a b", "$HOME", "\"q\"", "x;y"};
    ASSERT_TRUE(p.Start("sh", args));
    ASSERT_TRUE(p.WaitForExit());
    EXPECT_EQ(0, p.ExitCode());
    QFile f(out);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(QByteArray("a b|$HOME|\"q\"|x;y|"), f.readAll());
}

TEST(ChildProcess, ExitCodeMissingProgramAndEnvironment)
{
    ChildProcess fail;
    ASSERT_TRUE(fail.Start("sh", {"-c", "exit 3"}));
    ASSERT_TRUE(fail.WaitForExit(10000));
    EXPECT_EQ(3, fail.ExitCode());

    ChildProcess missing;
    QString error;
    EXPECT_FALSE(missing.Start("no-such-program-orvik", {}, &error));
    EXPECT_TRUE(error.contains("no-such-program-orvik"));

    ChildProcess env;
    env.SetExtraEnvironment({"ORVIK_PROBE=42"});
    ASSERT_TRUE(env.Start("sh", {"-c", "test \"$ORVIK_PROBE\" = 42"}));
    ASSERT_TRUE(env.WaitForExit(10000));
    EXPECT_EQ(0, env.ExitCode());
}

// A stuck child is ended on time out, together with what it started itself.
TEST(ChildProcess, TimeoutAndKillEndTheWholeGroup)
{
    QTemporaryDir dir;
    const QString pidFile = dir.filePath("grandchild.pid");
    ChildProcess p;
    ASSERT_TRUE(p.Start("sh", {"-c", QString("sleep 60 & echo $! > '%1'; wait").arg(pidFile)}));
    EXPECT_FALSE(p.WaitForExit(300));
    EXPECT_TRUE(p.Running());
    p.Kill();
    EXPECT_FALSE(p.Running());
    EXPECT_EQ(-1, p.ExitCode());
    QFile f(pidFile);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const int grandchild = f.readAll().trimmed().toInt();
    ASSERT_GT(grandchild, 0);
    // Gone, or a zombie waiting for its new parent to reap it.
    auto alive = [grandchild] {
        QFile stat(QString("/proc/%1/stat").arg(grandchild));
        if (!stat.open(QIODevice::ReadOnly))
            return false;
        const QByteArray s = stat.readAll();
        return s.mid(s.lastIndexOf(')') + 2, 1) != "Z";
    };
    for (int i = 0; i < 100 && alive(); ++i)
        usleep(10000);
    EXPECT_FALSE(alive()) << "the grandchild survived";
}

// A child meant to end with its parent is killed when the starting thread is
// gone (as when the whole program is killed); exec failures are still reported.
TEST(ChildProcess, EndWithParentKillsTheOrphan)
{
    ChildProcess p;
    p.SetEndWithParent(true);
    bool started = false;
    std::thread starter([&] { started = p.Start("sleep", {"30"}); });
    starter.join();
    ASSERT_TRUE(started);
    EXPECT_TRUE(p.WaitForExit(5000)) << "the child outlived the thread that started it";
    EXPECT_EQ(-1, p.ExitCode());

    ChildProcess kept;
    kept.SetEndWithParent(true);
    ASSERT_TRUE(kept.Start("sh", {"-c", "exit 4"}));
    ASSERT_TRUE(kept.WaitForExit(5000));
    EXPECT_EQ(4, kept.ExitCode());

    QTemporaryDir dir;
    const QString notExecutable = dir.filePath("script");
    QFile f(notExecutable);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("garbage");
    f.close();
    f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ChildProcess bad;
    bad.SetEndWithParent(true);
    QString error;
    EXPECT_FALSE(bad.Start(notExecutable, {}, &error));
    EXPECT_TRUE(error.contains("could not be started")) << error.toStdString();
}
