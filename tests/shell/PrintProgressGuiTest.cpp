// The status bar's progress of a print job in the real main frame: the
// print task draws on a recording device that sends each sheet only when
// the test lets it, and the stop button asks through the real message box.
#include "GuiTestUtil.h"
#include "printing/RecordingPageDevice.h"

#include "controls/MessageBoxMsg.h"
#include "errors/StringTable.h"
#include "printing/job/QuorvaThread.h"
#include "settings/Setting.h"
#include "shell/CommandIds.h"
#include "shell/CommandPrint.h"
#include "shell/MainFrame.h"

#include <glib/gstdio.h>
#include <gtest/gtest.h>

#include <climits>
#include <condition_variable>
#include <mutex>

namespace {

// Lets the worker draw sheet n only after Allow(n).
class SheetGate {
public:
    void Allow(int sheets)
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_allowed = sheets;
        }
        m_changed.notify_all();
    }
    void Wait(int sheet)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait(lock, [&] { return m_allowed >= sheet; });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_allowed = 0;
};

// The message box that is up, if any.
Gtk::MessageDialog* ShownMessageBox()
{
    for (Gtk::Window* window : Gtk::Window::list_toplevels())
        if (auto* box = dynamic_cast<Gtk::MessageDialog*>(window); box && box->get_mapped())
            return box;
    return nullptr;
}

class PrintProgressTest : public testing::Test {
protected:
    static void SetUpTestSuite() { g_setenv("CUPS_SERVER", "/nonexistent/qv-test/cups.sock", TRUE); }

    void SetUp() override
    {
        SetLanguage(UiLanguage::Japanese);
        setting.url = FixtureUrl("shell-page.html");
        setting.pageSetting.papers = {2, 2};
        gchar* d = g_dir_make_tmp("qv-progress-XXXXXX", nullptr);
        dir = d;
        g_free(d);
        frame.Create();
        ASSERT_TRUE(RunUntil([&] { return frame.Browser().ReadyState() == 4 && frame.get_visible(); }, 60));

        CQuorvaThread& thread = frame.PrintThread();
        thread.SetPriority(THREAD_PRIORITY_NORMAL);
        thread.Task()->SetDeviceFactory([this](const CDevMode&) {
            auto device = std::make_unique<CRecordingPageDevice>(log);
            device->onDraw = [this](int sheet) { gate.Wait(sheet); };
            return device;
        });
        auto print = std::dynamic_pointer_cast<CCommandPrint>(frame.Command(ID_FILE_PRINT));
        ASSERT_TRUE(print);
        print->SetPrintDialog([](int, CSimplePrintSetting&) { return IDOK; });
        print->SetOutputFileDialog([this](const std::string&) { return dir + "/out.pdf"; });
    }

    void TearDown() override
    {
        gate.Allow(INT_MAX);
        CMessageBoxMsg::SetTestResponder(nullptr);
        frame.PrintThread().Terminate(true);
        frame.PrintThread().Wait(INFINITE);
        g_rmdir(dir.c_str());
    }

    // Answers the next message box with `response` from the main loop it
    // runs, and keeps its text.
    void AnswerNextBox(int response)
    {
        Glib::signal_timeout().connect(
            [this, response] {
                Gtk::MessageDialog* box = ShownMessageBox();
                if (!box)
                    return true;
                boxes.push_back(box->property_text().get_value());
                box->response(response);
                return false;
            },
            20);
    }

    bool StatusIs(const std::string& text) { return RunUntil([&] { return frame.StatusText() == text; }, 60); }

    CSetting setting;
    CMainFrame frame{setting};
    std::shared_ptr<CPageDeviceLog> log = std::make_shared<CPageDeviceLog>();
    SheetGate gate;
    std::string dir;
    std::vector<std::string> boxes;
};

TEST_F(PrintProgressTest, TextAndBarFollowTheSheetsAndGoWhenTheJobEnds)
{
    CMessageBoxMsg::SetTestResponder([this](const std::string& text, const std::string&, unsigned) {
        boxes.push_back(text);
        return IDOK;
    });
    frame.Dispatch(ID_FILE_PRINT);
    ASSERT_TRUE(StatusIs("印刷中: 1 / 4 ページ"));
    EXPECT_TRUE(frame.PrintProgress().get_visible());
    EXPECT_TRUE(frame.PrintProgress().StopButton().get_visible());
    EXPECT_EQ(frame.PrintProgress().Fraction(), 0.0);
    for (int sheet = 1; sheet <= 3; ++sheet) {
        gate.Allow(sheet);
        ASSERT_TRUE(StatusIs("印刷中: " + std::to_string(sheet + 1) + " / 4 ページ"));
        EXPECT_TRUE(RunUntil([&] { return frame.PrintProgress().Fraction() == sheet / 4.0; }));
    }
    gate.Allow(4);
    ASSERT_TRUE(RunUntil([&] { return !boxes.empty(); }, 60));
    EXPECT_EQ(boxes, std::vector<std::string>{"印刷が終了しました"});
    EXPECT_EQ(frame.StatusText(), "準備完了");
    EXPECT_FALSE(frame.PrintProgress().get_visible());
}

TEST_F(PrintProgressTest, StopAnsweredYesEndsTheJobAfterTheSheetItIsOn)
{
    frame.Dispatch(ID_FILE_PRINT);
    gate.Allow(1);
    ASSERT_TRUE(StatusIs("印刷中: 2 / 4 ページ"));
    // The worker is drawing sheet 2 while the question is up.
    AnswerNextBox(IDYES);
    frame.PrintProgress().StopButton().clicked();
    ASSERT_EQ(boxes, std::vector<std::string>{"印刷中です。中断しますか？"});
    AnswerNextBox(IDOK);
    gate.Allow(INT_MAX);
    ASSERT_TRUE(RunUntil([&] { return boxes.size() == 2; }, 60));
    EXPECT_EQ(boxes[1], "処理が中断されました");
    frame.PrintThread().Wait(INFINITE);
    EXPECT_EQ(log->Count("Draw"), 2);
    EXPECT_EQ(log->Count("StartPage"), 2);
    EXPECT_EQ(log->Count("AbortDoc"), 1);
    EXPECT_EQ(log->Count("EndDoc"), 0);
    EXPECT_EQ(frame.StatusText(), "準備完了");
}

TEST_F(PrintProgressTest, StopAnsweredNoChangesNothing)
{
    frame.Dispatch(ID_FILE_PRINT);
    ASSERT_TRUE(StatusIs("印刷中: 1 / 4 ページ"));
    AnswerNextBox(IDNO);
    frame.PrintProgress().StopButton().clicked();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(frame.StatusText(), "印刷中: 1 / 4 ページ");
    AnswerNextBox(IDOK);
    gate.Allow(INT_MAX);
    ASSERT_TRUE(RunUntil([&] { return boxes.size() == 2; }, 60));
    EXPECT_EQ(boxes[1], "印刷が終了しました");
    EXPECT_EQ(log->Count("Draw"), 4);
    EXPECT_EQ(log->Count("EndDoc"), 1);
}

}  // namespace
