#include "browser/LoadTracker.h"

#include <gtest/gtest.h>

namespace {

using Clock = CLoadTracker::Clock;
using std::chrono::milliseconds;

class SettleDecision : public testing::Test {
protected:
    SettleState At(int ms, bool busy = false) const
    {
        return DecideSettle(loads, scripts, busy, t0, t0 + milliseconds(ms), CSettleRule{});
    }

    const Clock::time_point t0 = Clock::now();
    // A frame's report "FRAME FLAGS FRAME-AGO WORK-AGO", received at `ms`.
    void Report(int ms, const std::string& text)
    {
        CFrameReport report;
        ASSERT_TRUE(ParseFrameReport(text, report)) << text;
        scripts.Report(report, t0 + milliseconds(ms));
    }

    CLoadTracker loads;
    CPageActivity scripts;
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

TEST_F(SettleDecision, AWorkerAnsweringLateAndTheFrameItDrawsKeepItWaiting)
{
    Report(0, "top d -1 -1");
    EXPECT_EQ(At(600), SettleState::Loading);
    Report(100, "top w -1 0");  // the load event is over; a worker computes
    EXPECT_EQ(At(1500), SettleState::Loading);
    Report(1600, "top a -1 0");  // its answer asks for a frame...
    EXPECT_EQ(At(2500), SettleState::Loading);  // ...which a busy machine runs late
    Report(2600, "top - 0 1000");
    EXPECT_EQ(At(3099), SettleState::Loading);
    EXPECT_EQ(At(3100), SettleState::Settled);
    // A report sent late says how long ago the frame ran.
    Report(3300, "top - 100 1700");
    EXPECT_EQ(At(3699), SettleState::Loading);
    EXPECT_EQ(At(3700), SettleState::Settled);
}

TEST_F(SettleDecision, EveryFrameMustBeReadyUntilItGoesAway)
{
    Report(0, "top - -1 -1");
    Report(0, "ad1 f -1 -1");  // an inner frame whose fonts load
    EXPECT_EQ(At(1000), SettleState::Loading);
    Report(1000, "ad1 fg -1 -1");
    EXPECT_EQ(scripts.Frames(), 1u);
    EXPECT_EQ(At(1499), SettleState::Loading);
    EXPECT_EQ(At(1500), SettleState::Settled);
    // A new document: what the old one's frames said is forgotten.
    Report(1600, "top w -1 0");
    scripts.Clear(t0 + milliseconds(1700));
    EXPECT_TRUE(scripts.Ready());
    EXPECT_EQ(At(2200), SettleState::Settled);
}

TEST_F(SettleDecision, APageThatOnlyAnimatesIsTakenAfterTheAnimatingTime)
{
    loads.Touch(t0);
    Report(100, "top a 0 -1");  // a frame is always asked for
    EXPECT_TRUE(scripts.FramePending());
    EXPECT_EQ(At(2999), SettleState::Loading);
    EXPECT_EQ(At(3000), SettleState::StillAnimating);
    // Animating while a worker still owes its answer is no reason to stop.
    Report(5000, "top w 0 0");
    EXPECT_EQ(At(8000 + 1), SettleState::Loading);
    EXPECT_EQ(At(15000), SettleState::LimitReached);
}

TEST(FrameReport, OnlyWellFormedReportsAreRead)
{
    CFrameReport report;
    ASSERT_TRUE(ParseFrameReport("k3j wfdga 12 -1", report));
    EXPECT_EQ(report.frame, "k3j");
    EXPECT_TRUE(report.workersBusy && report.fontsLoading && report.documentLoading && report.gone &&
                report.framePending);
    EXPECT_EQ(report.frameAgo.count(), 12);
    EXPECT_EQ(report.workAgo.count(), -1);
    for (const char* bad : {"", "k3j - 1", "k3j - 1 2 3", "k3j x 1 2", "k3j - -5 2", "k3j - 1e3 2", "k3j - 123456789 2",
                            "k3j - 0x10 2", "k3j -  2"})
        EXPECT_FALSE(ParseFrameReport(bad, report)) << bad;
    EXPECT_FALSE(ParseFrameReport(std::string(65, 'a') + " - 1 2", report));
}

}  // namespace
