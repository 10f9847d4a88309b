// Captures of a map whose tiles keep arriving after the load event, in the
// real main frame: the loopback server answers each tile after 1 to 3 s.
#include "GuiTestUtil.h"
#include "TileServer.h"
#include "browser/ScrollViewWindow.h"
#include "controls/GuiInput.h"

#include "bitmap/DibSection.h"
#include "browser/Capture.h"
#include "controls/MessageBoxMsg.h"
#include "errors/StringTable.h"
#include "settings/Setting.h"
#include "shell/CommandIds.h"
#include "shell/MainFrame.h"

#include <gtest/gtest.h>

#include <chrono>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

const char kWaiting[] = "地図の読み込みを待っています...";
const char kNote[] = "ページの読み込みが終わらないうちにキャプチャしました";

// Copy as the frame runs it after its capture, keeping the capture instead
// of putting it on the clipboard.
class RecordingCapture : public CCommand {
public:
    RecordingCapture(CMainFrame& frame) : CCommand(&TheMsg()), m_frame(frame) {}
    void Execute(bool) override
    {
        ++runs;
        dib = m_frame.TakeCapture();
    }
    int runs = 0;
    CDibSectionPtr dib;

private:
    CMainFrame& m_frame;
};

class RecordingQuit : public CCommand {
public:
    RecordingQuit() : CCommand(&TheMsg()) {}
    void Execute(bool) override { ++runs; }
    int runs = 0;
};

// The widget of `root`'s tree with that name.
Gtk::Widget* Named(Gtk::Widget& root, const std::string& name)
{
    if (root.get_name() == name)
        return &root;
    if (auto* container = dynamic_cast<Gtk::Container*>(&root))
        for (Gtk::Widget* child : container->get_children())
            if (Gtk::Widget* found = Named(*child, name))
                return found;
    return nullptr;
}

class CaptureWait : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.Running());
        SetLanguage(UiLanguage::Japanese);
        CMessageBoxMsg::SetTestResponder([this](const std::string& text, const std::string&, unsigned) {
            boxes.push_back(text);
            return IDOK;
        });
    }
    void TearDown() override { CMessageBoxMsg::SetTestResponder(nullptr); }

    // The frame on the map page, with Copy recording its capture; returns
    // right after the page's script has asked for its tiles, just after the
    // load event.
    void Open(int cols, int rows, int size, bool hang)
    {
        setting.width = cols * size;
        setting.height = rows * size;
        setting.url = server.MapUrl(cols, rows, size, hang);
        frame = std::make_unique<CMainFrame>(setting);
        frame->Create();
        copy = std::make_shared<RecordingCapture>(*frame);
        frame->SetCommand(ID_EDIT_COPY, copy);
        frame->StatusBar().signal_text_pushed().connect([this](guint, const Glib::ustring& text) {
            texts.push_back(text);
            if (text == kWaiting && onWaiting)
                Glib::signal_idle().connect_once(onWaiting);
        });
        ASSERT_TRUE(RunUntil(
            [&] {
                std::string title;
                return frame->Browser().ReadyState() == 4 && frame->get_visible() &&
                       frame->Browser().GetLocationName(title) && title == "map loaded";
            },
            60));
    }

    // Copy as a person starts it; the seconds until its capture has ended.
    double CopyAndTime()
    {
        const auto start = Clock::now();
        frame->Dispatch(ID_EDIT_COPY);
        EXPECT_TRUE(RunUntil([&] { return !frame->ScrollView().CaptureState().IsCapturing(); }, 60));
        return std::chrono::duration<double>(Clock::now() - start).count();
    }

    bool Shown(const std::string& text) const { return std::find(texts.begin(), texts.end(), text) != texts.end(); }

    TileServer server;
    CSetting setting;
    std::unique_ptr<CMainFrame> frame;
    std::shared_ptr<RecordingCapture> copy;
    std::vector<std::string> texts;
    std::vector<std::string> boxes;
    std::function<void()> onWaiting;
};

TEST_F(CaptureWait, CopyRightAfterTheLoadEventHasEveryTileDrawn)
{
    // Most of the 4000 x 3000 browser lies outside the window.
    Open(4, 3, 1000, false);
    // The load event is over, the tiles are not.
    EXPECT_EQ(frame->StatusText(), "ロード中...");
    Glib::RefPtr<Gdk::Cursor> frameCursor = Gdk::Cursor::create(frame->get_display(), "crosshair");
    Glib::RefPtr<Gdk::Cursor> shieldCursor;
    int runsDuringWait = -1;
    Gtk::Widget* copyButton = Named(*frame, "tool-" + std::to_string(ID_EDIT_COPY));
    ASSERT_TRUE(copyButton);
    bool copyOfferedDuringWait = true;
    onWaiting = [&] {
        copyOfferedDuringWait = copyButton->get_sensitive();
        frameCursor = frame->get_window()->get_cursor();
        std::vector<Gtk::Widget*> layers = frame->ScrollView().ClientOverlay().get_children();
        if (auto window = layers.back()->get_window())
            shieldCursor = window->get_cursor();
        // A second Copy while the first waits is not run.
        frame->Dispatch(ID_EDIT_COPY);
        runsDuringWait = copy->runs;
    };
    // The tiles answer 1 to 3 s after the load event.
    EXPECT_GE(CopyAndTime(), 1.0);
    ASSERT_TRUE(copy->dib);
    EXPECT_TRUE(boxes.empty());
    EXPECT_TRUE(Shown(kWaiting));
    // ... nor offered; the first goes on once the page is finished.
    EXPECT_EQ(runsDuringWait, 0);
    EXPECT_EQ(copy->runs, 1);
    EXPECT_FALSE(copyOfferedDuringWait);
    EXPECT_TRUE(copyButton->get_sensitive());
    // The busy cursor is over the client area only.
    EXPECT_TRUE(shieldCursor);
    EXPECT_FALSE(frameCursor);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            for (const CPoint& at : {CPoint{x * 1000 + 500, y * 1000 + 500}, CPoint{x * 1000 + 3, y * 1000 + 997}})
                EXPECT_EQ(PixelAt(*copy->dib, at.x, at.y), TileServer::TileColour(x, y)) << x << "," << y;
    EXPECT_EQ(frame->StatusText(), "準備完了");
    EXPECT_EQ(frame->ScrollView().ClientOverlay().get_children().size(), 2u);  // the shield is gone
}

TEST_F(CaptureWait, ATileThatNeverAnswersEndsTheWaitAtTheLimitWithANote)
{
    Open(2, 1, 200, true);
    const double seconds = CopyAndTime();
    ASSERT_TRUE(copy->dib);
    EXPECT_TRUE(boxes.empty());
    EXPECT_GE(seconds, 15.0);
    EXPECT_EQ(frame->StatusText(), kNote);
    // The tiles that did arrive are in the capture.
    EXPECT_EQ(PixelAt(*copy->dib, 100, 100), TileServer::TileColour(0, 0));
    EXPECT_EQ(PixelAt(*copy->dib, 300, 100), TileServer::TileColour(1, 0));
}

TEST_F(CaptureWait, EscapeDuringTheWaitCapturesAtOnce)
{
    Open(2, 1, 200, true);
    ASSERT_TRUE(guitest::ShowActive(*frame));
    onWaiting = [] { guitest::Key("Escape"); };
    const double seconds = CopyAndTime();
    ASSERT_TRUE(copy->dib);
    EXPECT_LT(seconds, 10.0);
    EXPECT_TRUE(Shown(kWaiting));
    EXPECT_NE(frame->StatusText(), kNote);
    EXPECT_NE(frame->StatusText(), kWaiting);
}

TEST_F(CaptureWait, ClosingTheWindowDuringTheWaitEndsTheCaptureFirst)
{
    Open(2, 1, 200, true);
    auto quit = std::make_shared<RecordingQuit>();
    frame->SetCommand(kCommandQuit, quit);
    onWaiting = [&] { frame->close(); };
    CopyAndTime();
    // The command never ran and nothing was said; then the window closed.
    EXPECT_EQ(copy->runs, 0);
    EXPECT_TRUE(boxes.empty());
    ASSERT_TRUE(RunUntil([&] { return !frame->get_visible(); }));
    EXPECT_EQ(quit->runs, 1);
}

TEST_F(CaptureWait, TheBusyCursorOfALoadingPageIsOverTheClientAreaOnly)
{
    setting.url = server.HangUrl();  // a navigation that never ends
    frame = std::make_unique<CMainFrame>(setting);
    frame->Create();
    ASSERT_TRUE(RunUntil([&] { return frame->Browser().ReadyState() == 1 && frame->get_visible(); }));
    // The status and the busy cursor follow the start of the load.
    RunUntil([&] {
        return frame->StatusText() == "ロード中..." && frame->ScrollView().ClientArea().get_window()->get_cursor();
    });
    EXPECT_EQ(frame->StatusText(), "ロード中...");
    EXPECT_FALSE(frame->get_window()->get_cursor());
    EXPECT_TRUE(frame->ScrollView().ClientArea().get_window()->get_cursor());
}

}  // namespace
