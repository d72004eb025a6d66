// The built converter as a user starts it (offscreen, with a private runtime
// and configuration folder): a second start ends at once, silently, with 0; a
// killed copy does not keep the next one from starting; nothing is written to
// the configuration folder.
#include "platform/SingleInstance.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {
const QString kProgram = QStringLiteral(ORVIK_BINARY_DIR "/app/OrvikExcelToPDF");

class Program : public ::testing::Test {
protected:
    void SetUp() override
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_RUNTIME_DIR", runtime.path());
        env.insert("XDG_CONFIG_HOME", config.path());
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.remove("DISPLAY");
        for (QProcess* p : {&first, &second}) {
            p->setProcessEnvironment(env);
            p->setProgram(kProgram);
        }
    }
    void TearDown() override
    {
        for (QProcess* p : {&first, &second})
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(10000);
            }
    }
    // True once a started copy holds the lock.
    bool LockTaken()
    {
        return QTest::qWaitFor(
            [&] { return CSingleInstance(runtime.path()).Acquire() == CSingleInstance::Result::AlreadyRunning; },
            30000);
    }

    QTemporaryDir runtime, config;
    QProcess first, second;
};
} // namespace

TEST_F(Program, ASecondStartEndsAtOnceAndAKilledCopyFreesTheLock)
{
    first.start();
    ASSERT_TRUE(first.waitForStarted());
    ASSERT_TRUE(LockTaken());

    second.start();
    ASSERT_TRUE(second.waitForFinished(5000)) << "the second start kept running";
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(second.readAllStandardOutput(), QByteArray());
    EXPECT_EQ(second.readAllStandardError(), QByteArray()) << "the second start said something";
    EXPECT_EQ(first.state(), QProcess::Running);

    first.kill();
    ASSERT_TRUE(first.waitForFinished(10000));
    second.start();
    ASSERT_TRUE(second.waitForStarted());
    EXPECT_TRUE(LockTaken()) << "a new start after the kill did not run";
    EXPECT_EQ(second.state(), QProcess::Running);

    EXPECT_EQ(QDir(config.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList())
        << "the program wrote settings";
}
