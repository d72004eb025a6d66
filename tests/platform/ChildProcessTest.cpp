#include "platform/ChildProcess.h"

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <csignal>
#include <pthread.h>
#include <thread>
#include <unistd.h>

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

// Run by the test below as a program of its own: starts a child that would
// sleep for a minute, writes its process id, and waits to be killed.
TEST(ChildProcessHelper, DISABLED_HoldsAChildUntilKilled)
{
    const QString pidFile = qEnvironmentVariable("ORVIK_HELPER_PID_FILE");
    ASSERT_FALSE(pidFile.isEmpty());
    std::thread starter([&] {
        ChildProcess child;
        ASSERT_TRUE(child.Start("sleep", {"60"}));
        QFile f(pidFile + ".tmp");
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray::number(child.Pid()));
        f.close();
        QFile::rename(pidFile + ".tmp", pidFile);
        for (;;)
            std::this_thread::sleep_for(std::chrono::seconds(1));
    });
    starter.join();
}

bool Alive(pid_t pid)
{
    QFile stat(QString("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray s = stat.readAll();
    return s.mid(s.lastIndexOf(')') + 2, 1) != "Z";
}

// A child ends with the program that started it, also when that program is
// killed; the thread that started it may end before it.
TEST(ChildProcess, AChildEndsWithTheProgramNotWithTheThread)
{
    ChildProcess p;
    bool started = false;
    std::thread starter([&] { started = p.Start("sleep", {"30"}); });
    starter.join();
    ASSERT_TRUE(started);
    EXPECT_FALSE(p.WaitForExit(300)) << "the child ended with the thread that started it";
    p.Kill();

    QTemporaryDir dir;
    const QString pidFile = dir.filePath("child.pid");
    QProcess helper;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("ORVIK_HELPER_PID_FILE", pidFile);
    helper.setProcessEnvironment(env);
    helper.start(QFile::symLinkTarget("/proc/self/exe"),
                 {"--gtest_also_run_disabled_tests", "--gtest_filter=ChildProcessHelper.DISABLED_HoldsAChildUntilKilled"});
    ASSERT_TRUE(helper.waitForStarted());
    for (int i = 0; i < 1000 && !QFile::exists(pidFile); ++i)
        usleep(10000);
    QFile f(pidFile);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << "the helper program never started its child";
    const pid_t child = pid_t(f.readAll().toInt());
    ASSERT_GT(child, 0);
    ASSERT_TRUE(Alive(child));
    ::kill(pid_t(helper.processId()), SIGKILL);
    helper.waitForFinished();
    for (int i = 0; i < 500 && Alive(child); ++i)
        usleep(10000);
    EXPECT_FALSE(Alive(child)) << "the child outlived the killed program";
}

// A child starts with no signal blocked, whatever the starting thread blocks
// (the command line blocks the stop signals in every thread).
TEST(ChildProcess, AChildStartsWithNoSignalBlocked)
{
    for (bool endWithParent : {true, false}) {
        ChildProcess p;
        p.SetEndWithParent(endWithParent);
        bool started = false;
        std::thread starter([&] {
            sigset_t set;
            sigemptyset(&set);
            sigaddset(&set, SIGTERM);
            sigaddset(&set, SIGINT);
            pthread_sigmask(SIG_BLOCK, &set, nullptr);
            started = p.Start("sleep", {"30"});
        });
        starter.join();
        ASSERT_TRUE(started);
        QFile status(QString("/proc/%1/status").arg(p.Pid()));
        QByteArray blocked;
        for (int i = 0; i < 200; ++i) { // until the exec has happened
            status.close();
            ASSERT_TRUE(status.open(QIODevice::ReadOnly));
            const QByteArray text = status.readAll();
            if (!text.contains("Name:\tsleep")) {
                usleep(5000);
                continue;
            }
            const qsizetype at = text.indexOf("SigBlk:");
            blocked = text.mid(at + 7, text.indexOf('\n', at) - at - 7).trimmed();
            break;
        }
        EXPECT_EQ(QByteArray("0000000000000000"), blocked) << "end with parent: " << endWithParent;
        p.Kill();
    }
}

// A child that ends is reaped as soon as its owner asks whether it runs: it is
// no zombie while its owner polls, and its exit code is known.
TEST(ChildProcess, AnEndedChildIsReapedWhenAskedWhetherItRuns)
{
    ChildProcess p;
    ASSERT_TRUE(p.Start("sh", {"-c", "exit 5"}));
    const pid_t pid = p.Pid();
    bool running = true;
    for (int i = 0; i < 500 && running; ++i) {
        running = p.Running();
        if (running)
            usleep(10000);
    }
    EXPECT_FALSE(running);
    EXPECT_EQ(5, p.ExitCode());
    EXPECT_FALSE(QFile::exists(QString("/proc/%1").arg(pid))) << "the ended child stays a zombie";
}

// Exec failures are reported.
TEST(ChildProcess, ExecFailuresAreReported)
{
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
