// The hand-out of a long sheet's page ranges between lanes: each range is
// printed once, a range given back is taken again, and no wait outlasts the
// work it waits for or a stop.
#include "engine/PageRangeShare.h"
#include "engine/SharedSheets.h"
#include "platform/StopGate.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <memory>
#include <thread>

using namespace std::chrono_literals;

namespace {

std::shared_ptr<PageRangeShare> ThreeRanges()
{
    return std::make_shared<PageRangeShare>(QStringLiteral("/b/Long.xlsx"), QStringLiteral("secret"), 1,
                                            std::vector<CPageChunks::Range>{{1, 10}, {11, 20}, {21, 25}},
                                            QStringList{"p1.pdf", "p2.pdf", "p3.pdf"});
}

} // namespace

TEST(PageRangeShare, RangesAreTakenOnceInPageOrderAndAGivenBackOneAgain)
{
    const auto share = ThreeRanges();
    EXPECT_EQ(0, share->Take());
    EXPECT_EQ(1, share->Take());
    share->GiveBack(0);
    EXPECT_TRUE(share->HasOpen());
    EXPECT_EQ(0, share->Take());
    EXPECT_EQ(2, share->Take());
    EXPECT_EQ(-1, share->Take());
    EXPECT_FALSE(share->HasOpen());
    share->Done(2, true);
    EXPECT_EQ(PageRangeShare::State::Empty, share->StateOf(2));
}

TEST(PageRangeShare, WaitsEndWhenTheTakerIsDoneOrOnAStop)
{
    const auto share = ThreeRanges();
    const int helped = share->Take();
    auto printed = std::async(std::launch::async, [&] { return share->Await(helped, nullptr); });
    EXPECT_EQ(std::future_status::timeout, printed.wait_for(150ms)) << "the range is still being printed";
    share->Done(helped, false);
    EXPECT_EQ(PageRangeShare::State::Printed, printed.get());

    // A helper whose office a stop ended has not given its range back yet.
    StopGate gate;
    const int stuck = share->Take();
    auto stopped = std::async(std::launch::async, [&] { return share->Await(stuck, &gate); });
    gate.RequestStop();
    ASSERT_EQ(std::future_status::ready, stopped.wait_for(2s));
    EXPECT_EQ(PageRangeShare::State::Taken, stopped.get());

    // Closing waits for the range still taken, and nothing is handed out after.
    auto closed = std::async(std::launch::async, [&] { share->Close(); });
    EXPECT_EQ(std::future_status::timeout, closed.wait_for(150ms)) << "closed while a helper still prints";
    share->GiveBack(stuck);
    ASSERT_EQ(std::future_status::ready, closed.wait_for(2s));
    EXPECT_EQ(-1, share->Take());
}

TEST(SharedSheets, AnIdleLaneWaitsWhileAnotherPrintsAndSkipsTheSheetItFailedWith)
{
    SharedSheets sheets;
    StopGate gate;
    EXPECT_FALSE(sheets.AwaitShare(gate, {})) << "nobody prints: nothing can be shared";

    sheets.BeginPrinting();
    const auto share = ThreeRanges();
    auto offered = std::async(std::launch::async, [&] { return sheets.AwaitShare(gate, {}); });
    EXPECT_EQ(std::future_status::timeout, offered.wait_for(150ms));
    sheets.Offer(share);
    EXPECT_TRUE(offered.get());
    EXPECT_EQ(share, sheets.ToHelp({}));

    // The lane that failed with this sheet waits for another, until printing ends.
    const std::weak_ptr<PageRangeShare> failed = share;
    EXPECT_EQ(nullptr, sheets.ToHelp(failed));
    auto ended = std::async(std::launch::async, [&] { return sheets.AwaitShare(gate, failed); });
    EXPECT_EQ(std::future_status::timeout, ended.wait_for(150ms));
    sheets.EndPrinting();
    EXPECT_FALSE(ended.get());

    // A sheet whose ranges are all taken is no longer offered.
    while (share->Take() >= 0) {
    }
    EXPECT_EQ(nullptr, sheets.ToHelp({}));
}
