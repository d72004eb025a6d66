// The bound of a call counts only time this program ran: stopped (Ctrl-Z,
// SIGSTOP) and continued, a healthy call is not taken for a hung office.
#include "automation/CallWatchdog.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace {

using namespace std::chrono_literals;

// A child stops this whole process (every thread) for four seconds, then continues it.
void StopThisProcessForFourSeconds()
{
    const char* argv[] = {"sh", "-c", "kill -STOP $PPID && sleep 4 && kill -CONT $PPID", nullptr};
    pid_t child = 0;
    ASSERT_EQ(0, posix_spawnp(&child, "sh", nullptr, nullptr, const_cast<char**>(argv), environ));
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the process was not stopped";
}

TEST(CallWatchdog, TimeStoppedIsNotCountedButARealOverrunEndsTheCall)
{
    std::atomic<int> expiries{0};
    CallWatchdog watchdog([&] { ++expiries; });

    watchdog.Arm(3s);
    StopThisProcessForFourSeconds();
    // Running time for the watchdog to see the stop, well within the bound.
    std::this_thread::sleep_for(300ms);
    EXPECT_FALSE(watchdog.Disarm());
    EXPECT_EQ(0, expiries);

    watchdog.Arm(200ms);
    std::this_thread::sleep_for(1500ms);
    EXPECT_TRUE(watchdog.Disarm());
    EXPECT_EQ(1, expiries);
}

} // namespace
