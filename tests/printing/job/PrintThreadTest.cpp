#include "printing/PosterFixture.h"
#include "printing/RecordingPageDevice.h"
#include "errors/StringTable.h"
#include "printing/job/PrintJobControl.h"
#include "printing/job/QuorvaThread.h"

#include <gtest/gtest.h>

#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <future>
#include <thread>

namespace {

using namespace std::chrono_literals;

// Holds the worker inside StartDoc until the test lets it go. Every wait has
// a time limit, so a fault fails the test instead of hanging it.
struct Gate {
    std::promise<void> entered;
    std::future<void> enteredFuture = entered.get_future();
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();

    // On the worker: says it is in, then waits for the release (30 s at most).
    void Hold()
    {
        entered.set_value();
        released.wait_for(30s);
    }
    // The worker is held; false when it did not come within 10 s.
    bool WaitEntered() { return enteredFuture.wait_for(10s) == std::future_status::ready; }
};

// Polls `done` until it holds; false when 10 s passed first.
template <class Done>
bool WaitUntil(Done done)
{
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

}  // namespace

class PrintThread : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        setenv("CUPS_SERVER", "/nonexistent/qv-test/cups.sock", 1);
        SetLanguage(UiLanguage::Japanese);
    }

    void SetUp() override
    {
        CDevMode dm;
        dm.fields = DM_ORIENTATION | DM_PAPERSIZE;
        dm.paperSize = 9;
        thread.Task()->ReplaceDevMode(dm);
        thread.Task()->SetDeviceFactory([this](const CDevMode&) {
            auto device = std::make_unique<CRecordingPageDevice>(log);
            device->onStartDoc = onStartDoc;
            device->onDraw = onDraw;
            return device;
        });
        thread.SetNotify([this](CThread* from) {
            notified.fetch_add(1);
            notifiedBy = from;
        });
        CPrintJob poster;
        poster.dib = poster::MakeCapture();
        poster.pageSetting.papers = {2, 2};
        job = thread.Task()->MakeJob(poster);
    }

    void HoldInStartDoc()
    {
        onStartDoc = [this] { gate.Hold(); };
    }

    // Before the thread: a worker still held is joined before the gate goes.
    Gate gate;
    std::shared_ptr<CPageDeviceLog> log = std::make_shared<CPageDeviceLog>();
    std::function<void()> onStartDoc;
    std::function<void(int)> onDraw;
    std::atomic<int> notified{0};
    std::atomic<CThread*> notifiedBy{nullptr};
    CPrintJobPtr job;
    CQuorvaThread thread;
};

TEST_F(PrintThread, StopDuringPageTwoOfFour)
{
    // The user-interface thread's stop request, arriving while page 2 is drawn.
    onDraw = [this](int index) {
        if (index == 2)
            thread.Terminate(true);
    };
    ASSERT_TRUE(thread.Start(job));
    ASSERT_TRUE(thread.Wait(INFINITE));
    EXPECT_EQ(log->calls, (std::vector<std::string>{"StartDoc", "StartPage", "Draw", "EndPage", "StartPage", "Draw",
                                                    "EndPage", "AbortDoc"}));
    EXPECT_EQ(thread.Task()->GetErr().msgId, 58725u);
    EXPECT_EQ(thread.Task()->GetErr().text, "処理が中断されました");
    EXPECT_EQ(notified.load(), 1);
    EXPECT_EQ(notifiedBy.load(), &thread);
}

TEST_F(PrintThread, WorkerRunsAtIdlePriority)
{
    ASSERT_TRUE(thread.Start(job));
    ASSERT_TRUE(thread.Wait(INFINITE));
    EXPECT_EQ(log->schedPolicy, SCHED_IDLE);
    EXPECT_FALSE(thread.Task()->HasErr());
    EXPECT_EQ(log->Count("StartPage"), 4);
}

TEST_F(PrintThread, StartWhileRunningStartsNothingAndWaitTimesOut)
{
    HoldInStartDoc();
    ASSERT_TRUE(thread.Start(job));
    ASSERT_TRUE(gate.WaitEntered());
    EXPECT_TRUE(thread.IsRunning());
    EXPECT_FALSE(thread.Start(job));
    EXPECT_EQ(thread.StartError().code, EBUSY);
    const auto before = std::chrono::steady_clock::now();
    EXPECT_FALSE(thread.Wait(50));
    EXPECT_GE(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(45));
    EXPECT_TRUE(thread.IsRunning());

    gate.release.set_value();
    EXPECT_TRUE(thread.Wait(INFINITE));
    EXPECT_FALSE(thread.IsRunning());
    EXPECT_EQ(log->startDocs, 1);
    EXPECT_EQ(notified.load(), 1);
}

TEST_F(PrintThread, WaitOnIdleThreadReturnsAtOnce)
{
    EXPECT_FALSE(thread.IsRunning());
    EXPECT_TRUE(thread.Wait(0));
    EXPECT_TRUE(thread.Wait(INFINITE));
}

TEST_F(PrintThread, TerminateThenStartClearsTheStop)
{
    thread.Terminate(true);
    EXPECT_TRUE(thread.IsTerminated());
    ASSERT_TRUE(thread.Start(job));
    ASSERT_TRUE(thread.Wait(INFINITE));
    EXPECT_FALSE(thread.Task()->HasErr()) << thread.Task()->GetErr().text;
    EXPECT_EQ(log->Count("EndDoc"), 1);
}

TEST_F(PrintThread, StopDuringStartDocTakesEffectBeforeTheFirstPage)
{
    HoldInStartDoc();
    ASSERT_TRUE(thread.Start(job));
    ASSERT_TRUE(gate.WaitEntered());
    thread.Terminate(true);
    gate.release.set_value();
    ASSERT_TRUE(thread.Wait(INFINITE));
    EXPECT_EQ(log->calls, (std::vector<std::string>{"StartDoc", "AbortDoc"}));
    EXPECT_EQ(thread.Task()->GetErr().msgId, 58725u);
}

TEST_F(PrintThread, EndedWorkerIsJoinedByTheNextStart)
{
    ASSERT_TRUE(thread.Start(job));
    while (thread.IsRunning())
        std::this_thread::yield();
    // Ended but not joined: Start joins and runs the task again.
    ASSERT_TRUE(thread.Start(job));
    ASSERT_TRUE(thread.Wait(INFINITE));
    EXPECT_EQ(log->startDocs, 2);
    EXPECT_EQ(notified.load(), 2);
}

TEST_F(PrintThread, ShutdownRefusesNewJobs)
{
    thread.SetShutdown(true);
    EXPECT_TRUE(thread.IsShutdown());
    EXPECT_TRUE(thread.IsTerminated());
    EXPECT_FALSE(thread.Start(job));
    EXPECT_FALSE(thread.IsRunning());
    EXPECT_EQ(log->startDocs, 0);
}

TEST_F(PrintThread, DestroyingTheThreadStopsAndJoinsTheWorker)
{
    HoldInStartDoc();
    auto other = std::make_unique<CQuorvaThread>();
    other->Task()->ReplaceDevMode(*thread.Task()->CopyDevMode());
    other->Task()->SetDeviceFactory([this](const CDevMode&) {
        auto device = std::make_unique<CRecordingPageDevice>(log);
        device->onStartDoc = onStartDoc;
        return device;
    });
    CPrintJob poster;
    poster.dib = poster::MakeCapture();
    ASSERT_TRUE(other->Start(other->Task()->MakeJob(poster)));
    ASSERT_TRUE(gate.WaitEntered());
    // StartDoc returns only once the destructor has asked the worker to stop
    // (it does so first, and joins the worker before anything is torn down).
    const CThread* const worker = other.get();
    bool stopSeen = false;
    std::thread releaser([&, worker] {
        stopSeen = WaitUntil([worker] { return worker->IsTerminated(); });
        gate.release.set_value();
    });
    other.reset();
    releaser.join();
    EXPECT_TRUE(stopSeen);
    EXPECT_EQ(log->Count("AbortDoc"), 1);
}

namespace {

// Answers the questions as told and remembers them.
class CAnsweringMsg : public qvn::CMsg {
public:
    int ShowText(const std::string& text, unsigned) override
    {
        texts.push_back(text);
        return answer;
    }
    std::vector<std::string> texts;
    int answer = IDNO;
};

}  // namespace

TEST_F(PrintThread, StopQuestionAsksOnlyWhileAJobRunsAndNeverWaits)
{
    CAnsweringMsg msg;
    EXPECT_TRUE(AskToStopPrinting(thread, msg));
    EXPECT_TRUE(msg.texts.empty());

    HoldInStartDoc();
    ASSERT_TRUE(thread.Start(job));
    ASSERT_TRUE(gate.WaitEntered());
    EXPECT_FALSE(AskToStopPrinting(thread, msg));
    EXPECT_EQ(msg.texts, std::vector<std::string>{"印刷中です。中断しますか？"});
    EXPECT_TRUE(thread.IsRunning());
    EXPECT_FALSE(thread.IsTerminated());

    // Yes asks the job to stop and returns while the worker is still held.
    msg.answer = IDYES;
    EXPECT_TRUE(AskToStopPrinting(thread, msg));
    EXPECT_TRUE(thread.IsTerminated());
    EXPECT_TRUE(thread.IsRunning());
    // A job already asked to stop is not asked about again.
    EXPECT_TRUE(AskToStopPrinting(thread, msg));
    EXPECT_EQ(msg.texts.size(), 2u);
    gate.release.set_value();
    ASSERT_TRUE(thread.Wait(INFINITE));
    EXPECT_EQ(thread.Task()->GetErr().msgId, 58725u);
    EXPECT_EQ(log->Count("StartPage"), 0);
}

namespace {

// Leaving SCHED_IDLE needs privilege or a RLIMIT_NICE that allows nice 0.
bool MayLeaveIdlePriority()
{
    rlimit limit{};
    return geteuid() == 0 || (getrlimit(RLIMIT_NICE, &limit) == 0 && limit.rlim_cur >= 20);
}

}  // namespace

TEST_F(PrintThread, StoppedWorkerGoesOnAtNormalPriority)
{
    std::atomic<int> policyAfterStop{-1};
    onStartDoc = [&] {
        gate.Hold();
        policyAfterStop = sched_getscheduler(0);
    };
    ASSERT_TRUE(thread.Start(job));
    ASSERT_TRUE(gate.WaitEntered());

    CAnsweringMsg msg;
    msg.answer = IDYES;
    EXPECT_TRUE(AskToStopPrinting(thread, msg));
    gate.release.set_value();
    ASSERT_TRUE(thread.Wait(INFINITE));
    EXPECT_EQ(thread.Task()->GetErr().msgId, 58725u);
    if (MayLeaveIdlePriority())
        EXPECT_EQ(policyAfterStop.load(), SCHED_OTHER);
    else
        std::printf("not allowed to leave idle priority here: the priority is not checked\n");

    // The next job runs at idle priority again.
    onStartDoc = nullptr;
    ASSERT_TRUE(thread.Start(job));
    ASSERT_TRUE(thread.Wait(INFINITE));
    EXPECT_EQ(log->schedPolicy, SCHED_IDLE);
}
