#include "browser/LoadTracker.h"

#include <gtest/gtest.h>

namespace {

using Clock = CLoadTracker::Clock;
using std::chrono::milliseconds;

class SettleDecision : public testing::Test {
protected:
    SettleState At(int ms, bool busy = false) const
    {
        return DecideSettle(loads, busy, t0, t0 + milliseconds(ms), CSettleRule{});
    }

    const Clock::time_point t0 = Clock::now();
    CLoadTracker loads;
    int a = 0, b = 0;  // two resources
};

TEST_F(SettleDecision, AQuietPageIsSettledAtOnce)
{
    EXPECT_EQ(At(0), SettleState::Settled);
}

TEST_F(SettleDecision, WaitsForEveryResourceAndThenTheQuietTime)
{
    loads.Started(&a, t0);
    loads.Started(&b, t0 + milliseconds(100));
    loads.Started(&a, t0 + milliseconds(150));  // the same resource again counts once
    EXPECT_EQ(loads.InFlight(), 2u);
    loads.Ended(&a, t0 + milliseconds(1000));
    EXPECT_EQ(At(3000), SettleState::Loading);
    loads.Ended(&b, t0 + milliseconds(3000));
    loads.Ended(&b, t0 + milliseconds(3200));  // "failed" and then "finished"
    EXPECT_EQ(loads.InFlight(), 0u);
    EXPECT_EQ(loads.LastActivity(), t0 + milliseconds(3000));
    EXPECT_EQ(At(3499), SettleState::Loading);
    EXPECT_EQ(At(3500), SettleState::Settled);
}

TEST_F(SettleDecision, AnEndOfAnUnknownResourceIsNoActivity)
{
    loads.Ended(&a, t0);
    EXPECT_EQ(loads.InFlight(), 0u);
    EXPECT_EQ(At(0), SettleState::Settled);
}

TEST_F(SettleDecision, ANavigationUnderWayOrANewLoadKeepsItWaiting)
{
    EXPECT_EQ(At(100, true), SettleState::Loading);
    loads.Touch(t0 + milliseconds(200));
    EXPECT_EQ(At(600), SettleState::Loading);
    EXPECT_EQ(At(700), SettleState::Settled);
}

TEST_F(SettleDecision, APageThatNeverSettlesEndsAtTheLimit)
{
    loads.Started(&a, t0);
    EXPECT_EQ(At(14999), SettleState::Loading);
    EXPECT_EQ(At(15000), SettleState::LimitReached);
    // A settled page is taken even at the limit.
    loads.Ended(&a, t0 + milliseconds(1000));
    EXPECT_EQ(At(15000), SettleState::Settled);
}

TEST_F(SettleDecision, AWebProcessThatWentAwayLeavesNothingInFlight)
{
    loads.Started(&a, t0);
    loads.Started(&b, t0);
    loads.Clear(t0 + milliseconds(100));
    EXPECT_EQ(loads.InFlight(), 0u);
    EXPECT_EQ(At(600), SettleState::Settled);
}

}  // namespace
