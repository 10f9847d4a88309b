// Captures in the real main frame of pages that draw after their last
// resource has arrived: WebGL after a web worker's answer, and a page that
// animates for ever.
#include "GuiTestUtil.h"
#include "TileServer.h"
#include "browser/ScrollViewWindow.h"

#include "bitmap/DibSection.h"
#include "browser/Capture.h"
#include "controls/MessageBoxMsg.h"
#include "errors/StringTable.h"
#include "settings/Setting.h"
#include "shell/CommandIds.h"
#include "shell/MainFrame.h"

#include <webkit2/webkit2.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Copy as the frame runs it after its capture, keeping the capture instead of
// putting it on the clipboard.
class RecordingCopy : public CCommand {
public:
    explicit RecordingCopy(CMainFrame& frame) : CCommand(&TheMsg()), m_frame(frame) {}
    void Execute(bool) override
    {
        dib = m_frame.TakeCapture();
        capturedAt = std::chrono::system_clock::now();
    }
    CDibSectionPtr dib;
    std::chrono::system_clock::time_point capturedAt;

private:
    CMainFrame& m_frame;
};

class PageDrawing : public testing::Test {
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

    // The frame on the page, at its load event. `readyAt` gets the time the
    // status bar first said "準備完了".
    void Open(const std::string& page)
    {
        setting.width = 400;
        setting.height = 300;
        setting.url = server.PageUrl(page);
        frame = std::make_unique<CMainFrame>(setting);
        frame->Create();
        copy = std::make_shared<RecordingCopy>(*frame);
        frame->SetCommand(ID_EDIT_COPY, copy);
        frame->StatusBar().signal_text_pushed().connect([this](guint, const Glib::ustring& text) {
            if (text == "準備完了" && !readyAt)
                readyAt = WallMs();
        });
        ASSERT_TRUE(RunUntil([&] { return frame->Browser().ReadyState() == 4 && frame->get_visible(); }, 60));
    }

    static double WallMs()
    {
        return std::chrono::duration<double, std::milli>(std::chrono::system_clock::now().time_since_epoch()).count();
    }

    static std::string Title(PageDrawing& test)
    {
        std::string title;
        test.frame->Browser().GetLocationName(title);
        return title;
    }

    TileServer server;
    // Copy as a person starts it; returns when its capture has ended.
    void Copy()
    {
        frame->Dispatch(ID_EDIT_COPY);
        ASSERT_TRUE(RunUntil([&] { return !frame->ScrollView().CaptureState().IsCapturing(); }, 60));
    }

    CSetting setting;
    std::unique_ptr<CMainFrame> frame;
    std::shared_ptr<RecordingCopy> copy;
    double readyAt = 0;
    std::vector<std::string> boxes;
};

TEST_F(PageDrawing, CopyHoldsAMapThatWebGlDrawsAfterAWorkersAnswer)
{
    Open("webgl-worker.html");
    Copy();
    ASSERT_TRUE(copy->dib);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(PixelAt(*copy->dib, 200, 150), 0x0080FFu);
    EXPECT_EQ(PixelAt(*copy->dib, 399, 299), 0x0080FFu);
    // The page's "drawn" moment, by its own clock, and the capture's end.
    // WebKit tells the new title with the next rendering, after the capture.
    ASSERT_TRUE(RunUntil([&] { return Title(*this).rfind("drawn ", 0) == 0; }, 30));
    const std::string title = Title(*this);
    EXPECT_EQ(title.find("webkit"), std::string::npos) << "the page sees the watcher's name";
    const double drawnMs = std::strtod(title.c_str() + 6, nullptr);
    const double capturedMs =
        std::chrono::duration<double, std::milli>(copy->capturedAt.time_since_epoch()).count();
    std::printf("drawn to captured: %.0f ms\n", capturedMs - drawnMs);
    RecordProperty("drawn_to_captured_ms", static_cast<int>(capturedMs - drawnMs));
    EXPECT_GE(capturedMs - drawnMs, 500.0 - 20.0);  // the quiet time, less the clocks' rounding
}

TEST_F(PageDrawing, TheStatusSaysLoadingUntilTheWorkerDrawnPageIsFinished)
{
    Open("webgl-worker.html");
    readyAt = 0;
    EXPECT_EQ(frame->StatusText(), "ロード中...");
    ASSERT_TRUE(RunUntil([&] { return readyAt != 0 && Title(*this).rfind("drawn ", 0) == 0; }, 60));
    // Ready only after the page drew, by the clock that both share.
    EXPECT_GT(readyAt, std::strtod(Title(*this).c_str() + 6, nullptr));
}

TEST_F(PageDrawing, APageThatAnimatesForEverIsCapturedWithANote)
{
    Open("animating.html");
    const auto start = Clock::now();
    Copy();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    ASSERT_TRUE(copy->dib);
    std::printf("animating page captured after %.2f s\n", seconds);
    // Well before the 15 s limit (about 3 s on a quiet machine).
    EXPECT_LT(seconds, 10.0);
    EXPECT_EQ(frame->StatusText(), "ページがアニメーションを続けている間にキャプチャしました");
}

}  // namespace
