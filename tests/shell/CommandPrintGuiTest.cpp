// The Print and EndPrint commands with the real print dialog, the real print
// thread and the built-in "PDF" destination.
#include "printing/PdfCheck.h"
#include "printing/PosterFixture.h"
#include "printing/PrintDialogDriver.h"
#include "controls/GuiInput.h"
#include "controls/MessageBoxMsg.h"
#include "errors/MessageFormat.h"
#include "errors/ProgramMessages.h"
#include "errors/StringTable.h"
#include "printing/job/PrintEndDispatcher.h"
#include "settings/Setting.h"
#include "shell/CommandEndPrint.h"
#include "shell/CommandPrint.h"

#include <glib/gstdio.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <climits>

using namespace guitest;

namespace {

// The real PDF device of a job, held at the start of its document until the
// test lets it go or the job is asked to stop; a held job is running for
// sure. Every wait has a time limit, so a fault fails the test instead of
// hanging it.
class CHeldDevice : public CPageDevice {
public:
    struct Gate {
        std::atomic<bool> entered{false};
        std::atomic<bool> released{false};
        std::atomic<bool> timedOut{false};
        // A sheet stuck in the spooler: a stop request does not let it go.
        std::atomic<bool> ignoresStop{false};
    };

    CHeldDevice(std::unique_ptr<CPageDevice> inner, Gate& gate, const CThread& thread)
        : m_inner(std::move(inner)), m_gate(gate), m_thread(thread)
    {
    }

    CDeviceMetrics GetDeviceCaps() const override { return m_inner->GetDeviceCaps(); }
    int StartDoc(const std::string& docName, SysErr& err) override
    {
        m_gate.entered = true;
        const gint64 end = g_get_monotonic_time() + 30 * G_USEC_PER_SEC;
        while (!m_gate.released && (m_gate.ignoresStop || !m_thread.IsTerminated())) {
            if (g_get_monotonic_time() > end) {
                m_gate.timedOut = true;
                break;
            }
            g_usleep(1000);
        }
        return m_inner->StartDoc(docName, err);
    }
    int StartPage(SysErr& err) override { return m_inner->StartPage(err); }
    int EndPage() override { return m_inner->EndPage(); }
    int EndDoc(SysErr& err) override { return m_inner->EndDoc(err); }
    int AbortDoc() override { return m_inner->AbortDoc(); }
    bool StretchDib(const CDib& dib, const CRect& dest, const CRect& src) override
    {
        return m_inner->StretchDib(dib, dest, src);
    }
    bool Paint(const Painter& draw) override { return m_inner->Paint(draw); }

private:
    std::unique_ptr<CPageDevice> m_inner;
    Gate& m_gate;
    const CThread& m_thread;
};

size_t PagesIn(const std::string& path)
{
    std::string why;
    const auto facts = ReadPdfFacts(ReadFile(path), why);
    return facts ? facts->pages : 0;
}

}  // namespace

class CommandPrintTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        // No CUPS server: the print task's printer is the built-in "PDF".
        g_setenv("CUPS_SERVER", "/nonexistent/qv-test/cups.sock", TRUE);
    }

    void SetUp() override
    {
        SetLanguage(UiLanguage::Japanese);
        CMessageBoxMsg::SetTestResponder([this](const std::string& text, const std::string&, unsigned type) {
            messages.push_back(text);
            return (type & MB_YESNO) == MB_YESNO ? answer : IDOK;
        });
        gchar* d = g_dir_make_tmp("qv-print-XXXXXX", nullptr);
        dir = d;
        g_free(d);
        setting.pageSetting.papers = {2, 2};
        // Idle priority is tested with the thread itself; here the worker must
        // not wait for a machine that is busy with other work.
        thread.SetPriority(THREAD_PRIORITY_NORMAL);
        print.SetOutputFileDialog([this](const std::string& name) -> std::optional<std::string> {
            suggestedNames.push_back(name);
            if (!giveFile)
                return std::nullopt;
            return lastFile = dir + "/job" + std::to_string(suggestedNames.size()) + ".pdf";
        });
    }

    // The next jobs print through the real device, held by `gate`.
    void HoldJobs()
    {
        thread.Task()->SetDeviceFactory([this](const CDevMode& dm) -> std::unique_ptr<CPageDevice> {
            // The file is chosen before the job starts; the worker reads it after.
            return std::make_unique<CHeldDevice>(thread.Task()->Printer()->CreateDevice(dm, lastFile), gate, thread);
        });
    }

    // The held job has reached its device.
    bool WaitHeld() { return WaitIdle([&] { return gate.entered.load(); }, 10); }

    void TearDown() override
    {
        m_fallback.disconnect();
        thread.Terminate(true);
        thread.Wait(INFINITE);
        Pump();
        CMessageBoxMsg::SetTestResponder(nullptr);
        if (GDir* d = g_dir_open(dir.c_str(), 0, nullptr)) {
            while (const char* name = g_dir_read_name(d))
                g_unlink((dir + "/" + name).c_str());
            g_dir_close(d);
        }
        g_rmdir(dir.c_str());
    }

    void InDialog(std::function<void()> keys) { RunInPrintDialog(std::move(keys), m_fallback); }

    // Waits in the main loop without spinning, so the worker gets the processor.
    bool WaitForMessage(const std::string& text, double seconds = 120)
    {
        return WaitIdle([&] { return std::count(messages.begin(), messages.end(), text) > 0; }, seconds);
    }

    static bool WaitIdle(const std::function<bool()>& done, double seconds)
    {
        const gint64 end = g_get_monotonic_time() + gint64(seconds * 1e6);
        while (!done()) {
            if (g_get_monotonic_time() > end)
                return false;
            // A tick that wakes the blocking iteration; it removes itself.
            g_timeout_add(10, [](gpointer) { return gboolean(G_SOURCE_REMOVE); }, nullptr);
            g_main_context_iteration(nullptr, TRUE);
        }
        return true;
    }

    CDibSectionPtr capture = poster::MakeCapture();
    std::string title = "map";
    CSetting setting;
    CQuorvaThread thread;
    CCommandEndPrint endPrint{&TheMsg(), thread};
    CPrintEndDispatcher endNotice{thread, [this] {
                                      endPrint.RunAndReport(true, false);
                                      print.OnPrintEnded();
                                  }};
    CCommandPrint print{&TheMsg(), setting, thread, [this] { return capture; },
                        [this](std::string& t) {
                            t = title;
                            return !title.empty();
                        }};
    std::string dir;
    std::string lastFile;
    CHeldDevice::Gate gate;
    std::vector<std::string> messages;
    std::vector<std::string> suggestedNames;
    bool giveFile = true;
    int answer = IDYES;
    sigc::connection m_fallback;
};

TEST_F(CommandPrintTest, PrintsThePosterAndReportsTheEnd)
{
    InDialog([] {
        Key("alt+c");
        Type("2");
        Key("Return");
    });
    const std::weak_ptr<CDibSection> printed = capture;
    print.RunAndReport(true, false);
    capture.reset();
    ASSERT_TRUE(WaitForMessage("印刷が終了しました"));
    EXPECT_TRUE(printed.expired()) << "the capture outlives its job";
    EXPECT_EQ(messages, std::vector<std::string>{"印刷が終了しました"});
    EXPECT_EQ(setting.printSetting.copies, 2);
    EXPECT_EQ(suggestedNames, std::vector<std::string>{"map.pdf"});
    EXPECT_EQ(PagesIn(dir + "/job1.pdf"), 8u);
    EXPECT_FALSE(thread.IsRunning());
}

TEST_F(CommandPrintTest, CancelledDialogPrintsNothingAndKeepsTheSetting)
{
    setting.printSetting = {USE_PAGENUMS, 2, 3, 1};
    InDialog([] {
        Key("alt+a");
        Key("Escape");
    });
    print.RunAndReport(true, false);
    Pump();
    EXPECT_EQ(setting.printSetting, (CSimplePrintSetting{USE_PAGENUMS, 2, 3, 1}));
    EXPECT_TRUE(suggestedNames.empty());
    EXPECT_FALSE(thread.IsRunning());
    EXPECT_EQ(thread.FinishedRuns(), 0u);
    EXPECT_TRUE(messages.empty());
}

TEST_F(CommandPrintTest, CancelledFileDialogPrintsNothing)
{
    giveFile = false;
    title.clear();
    InDialog([] { Key("Return"); });
    print.RunAndReport(true, false);
    Pump();
    EXPECT_EQ(suggestedNames, std::vector<std::string>{"Quorvane.pdf"});
    EXPECT_FALSE(thread.IsRunning());
    EXPECT_EQ(thread.FinishedRuns(), 0u);
}

TEST_F(CommandPrintTest, PrintWhileRunningAnsweredNoLeavesTheJob)
{
    setting.printSetting.copies = 4;
    int dialogs = 0;
    print.SetPrintDialog([&](int total, CSimplePrintSetting&) {
        ++dialogs;
        EXPECT_EQ(total, 4);
        return IDOK;
    });
    HoldJobs();
    print.RunAndReport(true, false);
    ASSERT_TRUE(WaitHeld());
    answer = IDNO;
    print.RunAndReport(true, false);
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(messages, std::vector<std::string>{"印刷中です。中断しますか？"});
    EXPECT_TRUE(thread.IsRunning());
    gate.released = true;
    ASSERT_TRUE(WaitForMessage("印刷が終了しました"));
    EXPECT_FALSE(gate.timedOut);
    EXPECT_EQ(PagesIn(dir + "/job1.pdf"), 16u);
}

TEST_F(CommandPrintTest, PrintWhileRunningAnsweredYesStopsItFirst)
{
    print.SetPrintDialog([&](int, CSimplePrintSetting& s) {
        s.copies = 4;
        return IDOK;
    });
    HoldJobs();
    print.RunAndReport(true, false);
    // Held until the stop request lets it go.
    ASSERT_TRUE(WaitHeld());

    // The stopped job's end is reported while the next print dialog is open.
    print.SetPrintDialog([&](int total, CSimplePrintSetting& s) {
        InDialog([this] {
            EXPECT_TRUE(WaitForMessage("処理が中断されました", 10));
            Key("alt+c");
            Type("1");
            Key("Return");
        });
        return RunPrintDialog(total, s, &TheMsg());
    });
    gate.entered = false;
    print.RunAndReport(true, false);
    ASSERT_TRUE(WaitHeld());
    gate.released = true;
    ASSERT_TRUE(WaitForMessage("印刷が終了しました"));
    EXPECT_FALSE(gate.timedOut);
    EXPECT_EQ(messages, (std::vector<std::string>{"印刷中です。中断しますか？", "処理が中断されました",
                                                  "印刷が終了しました"}));
    EXPECT_FALSE(g_file_test((dir + "/job1.pdf").c_str(), G_FILE_TEST_EXISTS));
    EXPECT_EQ(PagesIn(dir + "/job2.pdf"), 4u);
}

// A sheet stuck in the spooler: the stopped job ends when it can, and the
// window goes on meanwhile; the new job starts at the old one's end.
TEST_F(CommandPrintTest, PrintWhileAStuckJobStopsNeverWaitsForIt)
{
    print.SetPrintDialog([&](int, CSimplePrintSetting& s) {
        s.copies = 4;
        return IDOK;
    });
    gate.ignoresStop = true;
    HoldJobs();
    print.RunAndReport(true, false);
    ASSERT_TRUE(WaitHeld());

    bool stuckAtDialog = false;
    print.SetPrintDialog([&](int, CSimplePrintSetting& s) {
        stuckAtDialog = thread.IsRunning() && thread.IsTerminated();
        s.copies = 1;
        return IDOK;
    });
    print.RunAndReport(true, false);
    EXPECT_TRUE(stuckAtDialog);
    EXPECT_TRUE(print.HasWaitingJob());
    EXPECT_EQ(thread.StartedRuns(), 1u);
    EXPECT_FALSE(gate.timedOut);

    gate.released = true;
    ASSERT_TRUE(WaitForMessage("印刷が終了しました"));
    EXPECT_FALSE(print.HasWaitingJob());
    EXPECT_EQ(messages, (std::vector<std::string>{"印刷中です。中断しますか？", "処理が中断されました",
                                                  "印刷が終了しました"}));
    EXPECT_FALSE(g_file_test((dir + "/job1.pdf").c_str(), G_FILE_TEST_EXISTS));
    EXPECT_EQ(PagesIn(dir + "/job2.pdf"), 4u);
}

TEST_F(CommandPrintTest, FailedJobIsReportedByEndPrint)
{
    print.SetPrintDialog([](int, CSimplePrintSetting&) { return IDOK; });
    print.SetOutputFileDialog([this](const std::string&) { return dir + "/missing/folder/job.pdf"; });
    print.RunAndReport(true, false);
    ASSERT_TRUE(WaitIdle([&] { return !messages.empty(); }, 60));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].rfind("印刷の開始に失敗しました: ", 0), 0u) << messages[0];
}

TEST_F(CommandPrintTest, TheAssemblySheetIsCountedAmongThePages)
{
    setting.pageSetting.assembly = {1000, true, true, true};
    int shown = 0;
    print.SetPrintDialog([&](int total, CSimplePrintSetting& s) {
        shown = total;
        InDialog([] { Key("Return"); });
        return RunPrintDialog(total, s, &TheMsg());
    });
    print.RunAndReport(true, false);
    ASSERT_TRUE(WaitForMessage("印刷が終了しました"));
    EXPECT_EQ(shown, 5);
    EXPECT_EQ(PagesIn(dir + "/job1.pdf"), 5u);
}

// Margins that leave nothing of the paper, or a stored sheet count far
// beyond what one job prints, are said before the dialog; no job starts and
// the settings stay as they were.
TEST_F(CommandPrintTest, UnprintablePostersAreRefusedBeforeTheDialog)
{
    int dialogs = 0;
    print.SetPrintDialog([&](int, CSimplePrintSetting&) {
        ++dialogs;
        return IDOK;
    });
    setting.pageSetting.margin = {INT32_MAX, INT32_MAX, 0, 0};
    const CSetting before = setting;
    print.RunAndReport(true, false);
    EXPECT_EQ(setting.pageSetting, before.pageSetting);
    setting.pageSetting.margin = {0, 0, 0, 0};
    setting.pageSetting.papers = {INT32_MAX, INT32_MAX};
    print.RunAndReport(true, false);
    Pump();
    EXPECT_EQ(dialogs, 0);
    EXPECT_TRUE(suggestedNames.empty());
    EXPECT_EQ(thread.FinishedRuns(), 0u);
    EXPECT_EQ(setting.printSetting, before.printSetting);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0], FormatMessageText(kMsgNoRoomOnPaper));
    EXPECT_EQ(messages[1].rfind("ポスターが ", 0), 0u) << messages[1];
    EXPECT_NE(messages[1].find("一度に印刷できるのは 1000 枚までです"), std::string::npos) << messages[1];
}

// An impossible poster is refused at once: the running job is not put in
// question and goes on.
TEST_F(CommandPrintTest, AnImpossiblePosterIsRefusedBeforeAskingToStopTheJob)
{
    print.SetPrintDialog([](int, CSimplePrintSetting&) { return IDOK; });
    HoldJobs();
    print.RunAndReport(true, false);
    ASSERT_TRUE(WaitHeld());
    setting.pageSetting.papers = {INT32_MAX, INT32_MAX};
    print.RunAndReport(true, false);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].rfind("ポスターが ", 0), 0u) << messages[0];
    EXPECT_TRUE(thread.IsRunning());
    gate.released = true;
    ASSERT_TRUE(WaitForMessage("印刷が終了しました"));
    EXPECT_EQ(PagesIn(dir + "/job1.pdf"), 4u);
}

TEST_F(CommandPrintTest, AJobWithNoWorkerToRunItIsReportedAndLetGo)
{
    print.SetPrintDialog([](int, CSimplePrintSetting&) { return IDOK; });
    bool started = false;
    print.SetOnJobStarted([&] { started = true; });
    // Start makes no worker from now on.
    thread.SetShutdown(true);
    const std::weak_ptr<CDibSection> printed = capture;
    print.RunAndReport(true, false);
    capture.reset();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].rfind("印刷の開始に失敗しました: ", 0), 0u) << messages[0];
    EXPECT_FALSE(started);
    EXPECT_TRUE(printed.expired()) << "the capture outlives a job that never ran";
    EXPECT_EQ(thread.StartedRuns(), 0u);
}
