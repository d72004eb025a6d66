// The office process behind "Excel.Application": a hung or crashed office is
// ended and replaced, a stop ends it at once, no office outlives its owner,
// and profiles are private.
#include "OfficeTestSupport.h"

#include "automation/OfficeProcess.h"
#include "automation/OfficeProfileTemplate.h"
#include "automation/OfficeServer.h"
#include "automation/OfficeSession.h"
#include "platform/StopGate.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <thread>

using namespace officetest;
using namespace std::chrono_literals;

namespace {

// The office process that appeared since `before` was taken.
pid_t NewOffice(const std::vector<pid_t>& before)
{
    for (pid_t pid : OfficeChildren())
        if (std::find(before.begin(), before.end(), pid) == before.end())
            return pid;
    return 0;
}

bool Running(pid_t pid)
{
    const std::vector<pid_t> now = OfficeChildren();
    return std::find(now.begin(), now.end(), pid) != now.end();
}

QString MessageOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const DispatchException& e) {
        return e.Message();
    }
    return QStringLiteral("(no exception)");
}

TEST(OfficeProcessTest, AHungOfficeIsEndedAfterTheBoundAndAFreshOneServesNext)
{
    ORVIK_REQUIRE_OFFICE();
    OfficeOptions options;
    options.callTimeout = 3s;
    OfficeSession session(options);
    const std::vector<pid_t> before = OfficeChildren();
    OpenWorkbook w = Open(TestData(QStringLiteral("SampleSS.xlsx")));
    const pid_t office = NewOffice(before);
    ASSERT_NE(office, 0);
    ASSERT_EQ(::kill(office, SIGSTOP), 0);

    EXPECT_EQ(MessageOf([&] { w.Print(1, QDir::tempPath() + QStringLiteral("/never.pdf")); }),
              QStringLiteral("The spreadsheet application stopped answering and was ended."));
    EXPECT_FALSE(Running(office));
    // Later calls on the dead office raise at once; closing and quitting stay quiet.
    EXPECT_THROW(w.sheets.GetProperty(118), DispatchException);
    EXPECT_NO_THROW(w.CloseAndQuit());

    OpenWorkbook next = Open(TestData(QStringLiteral("55906-MultiSheetRefs.xlsx")));
    EXPECT_EQ(next.count, 3);
    next.CloseAndQuit();
}

TEST(OfficeProcessTest, ACrashedOfficeIsReplacedForTheNextWorkbook)
{
    ORVIK_REQUIRE_OFFICE();
    OfficeSession session;
    const std::vector<pid_t> before = OfficeChildren();
    OpenWorkbook w = Open(TestData(QStringLiteral("SampleSS.xlsx")));
    const pid_t office = NewOffice(before);
    ASSERT_NE(office, 0);
    ASSERT_EQ(::kill(office, SIGKILL), 0);
    EXPECT_EQ(MessageOf([&] { w.sheets.GetObjectProperty(170, {Variant::Short(1)}); }),
              QStringLiteral("The spreadsheet application ended unexpectedly."));
    EXPECT_NO_THROW(w.CloseAndQuit());

    OpenWorkbook next = Open(TestData(QStringLiteral("SampleSS.xls")));
    EXPECT_EQ(next.count, 3);
    EXPECT_NE(NewOffice(before), office);
    next.CloseAndQuit();
}

TEST(OfficeProcessTest, AStopEndsTheOfficeAtOnce)
{
    ORVIK_REQUIRE_OFFICE();
    OfficeOptions options;
    options.callTimeout = 600s; // only the stop can end the call below
    OfficeSession session(options);
    StopGate gate;
    session.SetStopGate(&gate);
    const std::vector<pid_t> before = OfficeChildren();
    OpenWorkbook w = Open(TestData(QStringLiteral("SampleSS.xlsx")));
    const pid_t office = NewOffice(before);
    ASSERT_NE(office, 0);
    ASSERT_EQ(::kill(office, SIGSTOP), 0);
    std::thread stopper([&] {
        std::this_thread::sleep_for(300ms);
        gate.RequestStop();
    });
    EXPECT_THROW(w.sheets.GetProperty(118), DispatchException);
    stopper.join();
    EXPECT_FALSE(Running(office));
    w.CloseAndQuit();
}

TEST(OfficeProcessTest, WithoutASessionEachApplicationRunsItsOwnOfficeUntilQuit)
{
    ORVIK_REQUIRE_OFFICE();
    const std::vector<pid_t> before = OfficeChildren();
    OpenWorkbook first = Open(TestData(QStringLiteral("SampleSS.xlsx")));
    const pid_t firstOffice = NewOffice(before);
    OpenWorkbook second = Open(TestData(QStringLiteral("WithTextBox.xlsx")));
    EXPECT_EQ(OfficeChildren().size(), before.size() + 2);

    first.CloseAndQuit();
    EXPECT_FALSE(Running(firstOffice));
    EXPECT_EQ(OfficeChildren().size(), before.size() + 1);
    // Released without Close or Quit: the last reference ends the office too.
    second = OpenWorkbook();
    EXPECT_EQ(OfficeChildren().size(), before.size());
}

TEST(OfficeProcessTest, CreationFailsWhenTheOfficeDoesNotAnswerInTime)
{
    ORVIK_REQUIRE_OFFICE();
    const OfficeOptions saved = DefaultOfficeOptions();
    OfficeOptions hopeless = saved;
    hopeless.startTimeout = 1ms;
    SetDefaultOfficeOptions(hopeless);
    QString error;
    const auto app = DispatchRegistry::Create(QStringLiteral("Excel.Application"), &error);
    SetDefaultOfficeOptions(saved);
    EXPECT_EQ(app, nullptr);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(OfficeChildren().empty());
}

TEST(OfficeProcessTest, TheProfileTemplateIsMadeOnceInTheCacheFolderAndStartsQuickly)
{
    ORVIK_REQUIRE_OFFICE();
    QTemporaryDir cache;
    const QByteArray savedCache = qgetenv("XDG_CACHE_HOME");
    qputenv("XDG_CACHE_HOME", QFile::encodeName(cache.path()));
    const QString folder = cache.path() + QStringLiteral("/orvik-excel-to-pdf");
    {
        OpenWorkbook w = Open(TestData(QStringLiteral("SampleSS.xlsx")));
        EXPECT_EQ(w.count, 3);
        w.CloseAndQuit();
    }
    const QFileInfo made(folder + QStringLiteral("/profile-template/user/registrymodifications.xcu"));
    EXPECT_TRUE(made.exists());
    // Only the template is left there: no half-made folder.
    EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("profile-template")});
    {
        OpenWorkbook w = Open(TestData(QStringLiteral("SampleSS.xls")));
        w.CloseAndQuit();
    }
    EXPECT_EQ(QFileInfo(made.filePath()).lastModified(), made.lastModified()) << "the template was made again";

    // An office on a copy of the template answers without first running the
    // office's graphics self-checks (seconds of drawing), which leave their log
    // in the profile before the office answers.
    bool fromTemplate = false;
    auto profile = OfficeProfileTemplate::NewProfileFolder(&fromTemplate);
    ASSERT_TRUE(profile && fromTemplate);
    const QString checksLog = profile->path() + QStringLiteral("/user/GraphicsRenderTests.log");
    QFile::remove(checksLog);
    {
        OfficeProcess office(OfficeOptions{}, profile->path(), false);
        QString error;
        ASSERT_TRUE(office.Start(&error)) << qPrintable(error);
        EXPECT_FALSE(QFileInfo::exists(checksLog)) << "the office ran its first-start checks";
    }
    qputenv("XDG_CACHE_HOME", savedCache);
}

} // namespace
