// The one-copy lock: a second holder is refused, the lock goes with its holder
// (closed or killed), programs started meanwhile do not inherit it, and a
// folder or file that cannot be used lets the program start unguarded.
#include "platform/ChildProcess.h"
#include "platform/LinkOpener.h"
#include "platform/SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
using Result = CSingleInstance::Result;

// A process of its own that takes the lock in folder, reports its result on
// a pipe and then waits to be killed.
struct ForeignHolder {
    pid_t pid = -1;
    Result result = Result::Unguarded;

    explicit ForeignHolder(const QString& folder)
    {
        int report[2];
        if (pipe(report) != 0)
            return;
        pid = fork();
        if (pid == 0) {
            CSingleInstance lock(folder);
            const char code = char(lock.Acquire());
            (void)!write(report[1], &code, 1);
            for (;;)
                pause();
        }
        close(report[1]);
        char code = char(Result::Unguarded);
        if (read(report[0], &code, 1) == 1)
            result = Result(code);
        close(report[0]);
    }
    void Kill()
    {
        if (pid <= 0)
            return;
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        pid = -1;
    }
    ~ForeignHolder() { Kill(); }
};

// The pid a started shell wrote into file, or 0.
pid_t WrittenPid(const QString& file)
{
    (void)QTest::qWaitFor([&] { return QFileInfo(file).size() > 0; }, 5000);
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? pid_t(f.readAll().trimmed().toInt()) : 0;
}
} // namespace

TEST(SingleInstance, OneHolderAtATimeUntilItCloses)
{
    QTemporaryDir dir;
    CSingleInstance first(dir.path());
    EXPECT_EQ(first.LockPath(), dir.path() + "/OrvikExcelToPDF.lock");
    ASSERT_EQ(first.Acquire(), Result::Held);
    EXPECT_EQ(first.Acquire(), Result::Held) << "a second call keeps the first result";
    {
        CSingleInstance second(dir.path());
        EXPECT_EQ(second.Acquire(), Result::AlreadyRunning);
    }
    struct stat st {};
    ASSERT_EQ(lstat(QFile::encodeName(first.LockPath()).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    first.Release();
    EXPECT_TRUE(QFile::exists(first.LockPath())) << "the lock file is never deleted";
    CSingleInstance third(dir.path());
    EXPECT_EQ(third.Acquire(), Result::Held);
}

TEST(SingleInstance, AKilledHolderFreesTheLock)
{
    QTemporaryDir dir;
    ForeignHolder holder(dir.path());
    ASSERT_EQ(holder.result, Result::Held);
    {
        CSingleInstance refused(dir.path());
        EXPECT_EQ(refused.Acquire(), Result::AlreadyRunning);
    }
    holder.Kill();
    CSingleInstance next(dir.path());
    EXPECT_EQ(next.Acquire(), Result::Held);
}

// A browser opened from the program lives on after it; it must not keep the
// lock, or every later start would end at once. Both ways the program starts
// programs are checked.
TEST(SingleInstance, ProgramsStartedWhileHeldDoNotKeepIt)
{
    QTemporaryDir dir;
    auto lock = std::make_unique<CSingleInstance>(dir.path());
    ASSERT_EQ(lock->Acquire(), Result::Held);

    const QString pidFile = dir.filePath("detached.pid");
    ASSERT_EQ(CLinkOpener::StartDetached(
                  {"/bin/sh", "-c", "echo $$ > '" + pidFile + "'; exec sleep 30"}),
              CLinkOpener::kOpened);
    const pid_t detached = WrittenPid(pidFile);
    ASSERT_GT(detached, 0);
    ChildProcess child;
    ASSERT_TRUE(child.Start("sleep", {"30"}));

    lock.reset();
    // A child lets go of its copy only when its exec completes, which may be a
    // moment after the start returned; a child that inherited the lock keeps
    // it for its thirty seconds.
    EXPECT_TRUE(QTest::qWaitFor([&] { return CSingleInstance(dir.path()).Acquire() == Result::Held; }, 5000))
        << "a started program inherited the lock";
    kill(detached, SIGKILL);
    child.Kill();
}

TEST(SingleInstance, UnusableFolderOrFileStartsUnguarded)
{
    QTemporaryDir dir;
    CSingleInstance missing(dir.filePath("no/such/folder"));
    EXPECT_EQ(missing.Acquire(), Result::Unguarded);

    // A link in place of the file is not followed, and nothing is made where it points.
    const QString target = dir.filePath("elsewhere");
    ASSERT_TRUE(QFile::link(target, dir.filePath("OrvikExcelToPDF.lock")));
    CSingleInstance linked(dir.path());
    EXPECT_EQ(linked.Acquire(), Result::Unguarded);
    EXPECT_FALSE(QFile::exists(target));

    QTemporaryDir other;
    ASSERT_TRUE(QDir(other.path()).mkdir("OrvikExcelToPDF.lock"));
    CSingleInstance folderInTheWay(other.path());
    EXPECT_EQ(folderInTheWay.Acquire(), Result::Unguarded);

    if (geteuid() != 0) { // root writes anywhere
        QTemporaryDir readOnly;
        QFile::setPermissions(readOnly.path(), QFile::ReadOwner | QFile::ExeOwner);
        CSingleInstance refused(readOnly.path());
        EXPECT_EQ(refused.Acquire(), Result::Unguarded);
        QFile::setPermissions(readOnly.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
}

TEST(SingleInstance, TheRuntimeFolderComesFromTheEnvironmentFirst)
{
    const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
    QTemporaryDir dir;
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(dir.path()));
    EXPECT_EQ(CSingleInstance::DefaultFolder(), dir.path());
    EXPECT_EQ(CSingleInstance().LockPath(), dir.path() + "/OrvikExcelToPDF.lock");
    qunsetenv("XDG_RUNTIME_DIR");
    const QString fallback = CSingleInstance::DefaultFolder();
    EXPECT_FALSE(fallback.isEmpty());
    EXPECT_EQ(QFileInfo(fallback).permissions() & (QFile::ReadOther | QFile::WriteOther | QFile::ReadGroup
                                                    | QFile::WriteGroup),
              QFile::Permissions());
    if (saved.isNull())
        qunsetenv("XDG_RUNTIME_DIR");
    else
        qputenv("XDG_RUNTIME_DIR", saved);
}
