// Finding processes by exact name and ending them, with real /proc and real
// children: copies of sleep under chosen names.
#include "platform/ProcessList.h"
#include "support/NamedSleepers.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <grp.h>
#include <set>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Names unique to this test program, so parallel tests never meet its processes.
QString Base()
{
    return QStringLiteral("XL%1").arg(::getpid() % 100000);
}

using Sleepers = testsupport::NamedSleepers;

std::set<pid_t> MatchedAmong(const CProcessList& list, std::initializer_list<pid_t> ours)
{
    std::set<pid_t> found;
    for (const CProcessList::Match& m : list.Matches())
        for (pid_t p : ours)
            if (m.pid == p)
                found.insert(p);
    return found;
}

} // namespace

// Only the exact names match: no other case, no longer or shorter name.
TEST(ProcessList, MatchesExactNamesOnlyAndEndsJustThose)
{
    const QString upper = Base() + QStringLiteral(".EXE");
    const QString lower = upper.toLower();
    Sleepers s;
    const pid_t a = s.Start(upper);
    const pid_t b = s.Start(lower);
    const pid_t mixed = s.Start(Base() + QStringLiteral(".exe"));
    const pid_t longer = s.Start(upper + QStringLiteral(".bak"));
    const pid_t shorter = s.Start(upper.chopped(1));
    ASSERT_GT(shorter, 0);

    CProcessList list;
    QString error;
    ASSERT_TRUE(list.Scan({upper, lower}, &error)) << error.toStdString();
    EXPECT_EQ((std::set<pid_t>{a, b}), MatchedAmong(list, {a, b, mixed, longer, shorter}));
    for (const CProcessList::Match& m : list.Matches())
        EXPECT_GE(m.pidfd, 0);

    // Nothing is signalled by the scan; End() kills the matches and waits for them.
    EXPECT_EQ(0, Sleepers::KilledBy(a));
    QStringList problems;
    EXPECT_EQ(0, list.End(&problems)) << problems.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(SIGKILL, Sleepers::KilledBy(a));
    EXPECT_EQ(SIGKILL, Sleepers::KilledBy(b));
    for (pid_t other : {mixed, longer, shorter})
        EXPECT_EQ(0, Sleepers::KilledBy(other)) << other;

    // Ended and gone: a new scan finds neither.
    ASSERT_TRUE(list.Scan({upper, lower}));
    EXPECT_TRUE(MatchedAmong(list, {a, b}).empty());
}

TEST(ProcessList, NeverListsItself)
{
    char own[16] = {};
    ASSERT_EQ(0, ::prctl(PR_GET_NAME, own));
    const QByteArray name = (Base() + QStringLiteral("self")).toUtf8();
    ASSERT_EQ(0, ::prctl(PR_SET_NAME, name.constData()));
    CProcessList list;
    const bool scanned = list.Scan({QString::fromUtf8(name)});
    ::prctl(PR_SET_NAME, own);
    ASSERT_TRUE(scanned);
    for (const CProcessList::Match& m : list.Matches())
        EXPECT_NE(::getpid(), m.pid);
}

// A process that ended after the scan is not an error, and whatever got its
// number afterwards is left alone.
TEST(ProcessList, AnEndedProcessIsSkippedAndItsNumberReusedIsNotHit)
{
    const QString name = Base() + QStringLiteral(".EXE");
    Sleepers s;
    const pid_t gone = s.Start(name);
    CProcessList list;
    ASSERT_TRUE(list.Scan({name}));
    ASSERT_EQ(1u, MatchedAmong(list, {gone}).size());
    ::kill(gone, SIGKILL);
    ::waitpid(gone, nullptr, 0);

    // As root, hand the freed number to a new child.
    pid_t successor = -1;
    QFile last(QStringLiteral("/proc/sys/kernel/ns_last_pid"));
    for (int attempt = 0; ::geteuid() == 0 && attempt < 20 && successor != gone; ++attempt) {
        if (successor > 0) {
            ::kill(successor, SIGKILL);
            ::waitpid(successor, nullptr, 0);
        }
        if (!last.open(QIODevice::WriteOnly))
            break;
        last.write(QByteArray::number(gone - 1));
        last.close();
        successor = ::fork();
        if (successor == 0) {
            ::pause();
            ::_exit(0);
        }
    }

    QStringList problems;
    EXPECT_EQ(0, list.End(&problems)) << problems.join(QLatin1Char('\n')).toStdString();
    if (successor > 0) {
        EXPECT_EQ(0, Sleepers::KilledBy(successor)) << "the process that reused the number was hit";
        const bool reused = successor == gone;
        ::kill(successor, SIGKILL);
        ::waitpid(successor, nullptr, 0);
        if (!reused)
            GTEST_SKIP() << "the freed process number could not be handed on; checked the ended process only";
    }
}

// Another user's process cannot be ended by an ordinary one: reported, not hidden.
TEST(ProcessList, AnotherUsersProcessIsReportedNotEnded)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to try as an ordinary user against a root process";
    const QString name = Base() + QStringLiteral(".EXE");
    Sleepers s;
    const pid_t root = s.Start(name);
    int fds[2];
    ASSERT_EQ(0, ::pipe(fds));
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(fds[0]);
        const uid_t nobody = 65534;
        if (::setgroups(0, nullptr) != 0 || ::setgid(nobody) != 0 || ::setuid(nobody) != 0)
            ::_exit(3);
        CProcessList list;
        if (!list.Scan({name}) || list.Matches().size() != 1)
            ::_exit(4);
        QStringList problems;
        const int failed = list.End(&problems);
        const QByteArray text = problems.join(QLatin1Char('\n')).toUtf8();
        (void)!::write(fds[1], text.constData(), text.size());
        ::_exit(failed == 1 ? 0 : 5);
    }
    ::close(fds[1]);
    QByteArray text;
    char buffer[512];
    for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, n);
    ::close(fds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(0, WEXITSTATUS(status)) << text.toStdString();
    EXPECT_TRUE(text.contains("another user")) << text.toStdString();
    EXPECT_TRUE(text.contains(QByteArray::number(root))) << text.toStdString();
    EXPECT_EQ(0, Sleepers::KilledBy(root));
}
