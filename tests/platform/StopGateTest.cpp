#include "platform/ChildProcess.h"
#include "platform/StopGate.h"

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <chrono>
#include <thread>

using namespace std::chrono_literals;

// A paused worker stays at its safe point until released, then goes on.
TEST(StopGate, PauseHoldsTheWorkerUntilResumed)
{
    StopGate gate;
    gate.Pause();
    std::atomic<int> passed{0};
    std::thread worker([&] { passed = gate.PassSafePoint() ? 1 : -1; });
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(0, passed.load()) << "the worker went past a paused gate";
    gate.Resume();
    worker.join();
    EXPECT_EQ(1, passed.load());
}

// A stop releases a paused worker with "stop" and ends attached processes at once.
TEST(StopGate, StopReleasesPausedWorkerAndEndsProcesses)
{
    StopGate gate;
    ChildProcess sleeper;
    ASSERT_TRUE(sleeper.Start("sleep", {"30"}));
    StopGateAttachment attach(&gate, &sleeper);
    gate.Pause();
    std::atomic<int> passed{0};
    std::thread worker([&] { passed = gate.PassSafePoint() ? 1 : -1; });
    gate.RequestStop();
    worker.join();
    EXPECT_EQ(-1, passed.load());
    EXPECT_TRUE(sleeper.WaitForExit(5000)) << "the attached process outlived the stop";
    EXPECT_FALSE(gate.PassSafePoint());

    // A process attached after the stop is ended on arrival.
    ChildProcess late;
    ASSERT_TRUE(late.Start("sleep", {"30"}));
    StopGateAttachment lateAttach(&gate, &late);
    EXPECT_TRUE(late.WaitForExit(5000));
}

// A worker waiting without a limit for its child must not keep a stop from ending it.
TEST(StopGate, StopEndsAChildThatIsAwaitedWithoutLimit)
{
    StopGate gate;
    ChildProcess sleeper;
    ASSERT_TRUE(sleeper.Start("sleep", {"30"}));
    StopGateAttachment attach(&gate, &sleeper);
    std::atomic<bool> ended{false};
    std::thread worker([&] {
        sleeper.WaitForExit(-1);
        ended = true;
    });
    std::this_thread::sleep_for(50ms);
    std::thread stopper([&] { gate.RequestStop(); });
    for (int i = 0; i < 500 && !ended; ++i)
        std::this_thread::sleep_for(10ms);
    const bool endedInTime = ended.load();
    if (!endedInTime)
        ::kill(sleeper.Pid(), SIGKILL); // let the threads finish before failing
    stopper.join();
    worker.join();
    EXPECT_TRUE(endedInTime) << "the stop could not end a child awaited without limit";
}
