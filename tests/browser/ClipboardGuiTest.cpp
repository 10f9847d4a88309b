// The clipboard through the X server: what another program (xclip) pastes
// after Copy, and the text that prefills the open dialog.
#include "ScrollViewWindow.h"

#include "bitmap/DibSection.h"
#include "browser/Capture.h"
#include "browser/Clipboard.h"
#include "errors/Exception.h"
#include "controls/MessageBoxMsg.h"
#include "shell/CommandCopy.h"

#include <gdk-pixbuf/gdk-pixbuf.h>
#include <glib/gstdio.h>
#include <glibmm/fileutils.h>
#include <glibmm/miscutils.h>
#include <glibmm/spawn.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// Runs a shell command to its end while this process keeps serving the
// clipboard; its standard output, or nothing when it failed. Its error output
// is dropped: an xclip left serving a selection must not hold the test
// runner's pipe open.
std::string RunServing(const std::string& command)
{
    const std::string out = Glib::build_filename(Glib::get_tmp_dir(), "qv-clip-" + std::to_string(getpid()));
    Glib::Pid pid = 0;
    const std::vector<std::string> argv{"sh", "-c", "(" + command + ") > " + out + " 2>/dev/null"};
    Glib::spawn_async("", argv, Glib::SPAWN_SEARCH_PATH | Glib::SPAWN_DO_NOT_REAP_CHILD, Glib::SlotSpawnChildSetup(), &pid);
    int status = -1;
    bool exited = false;
    Glib::signal_child_watch().connect(
        [&](Glib::Pid, int childStatus) {
            status = childStatus;
            exited = true;
        },
        pid);
    EXPECT_TRUE(RunUntil([&] { return exited; }, 60)) << command;
    Glib::spawn_close_pid(pid);
    std::string bytes;
    if (exited && g_spawn_check_wait_status(status, nullptr))
        bytes = Glib::file_get_contents(out);
    g_unlink(out.c_str());
    return bytes;
}

std::string Paste(const std::string& target)
{
    return RunServing("xclip -selection clipboard -t " + target + " -o");
}

class ClipboardCopy : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(win.WaitShown());
        ASSERT_TRUE(win.Load("grid"));
        win.setting.trim = {3, 4, 5, 6};
        CMessageBoxMsg::SetTestResponder([this](const std::string& text, const std::string&, unsigned) {
            boxes.push_back(text);
            return IDOK;
        });
    }
    void TearDown() override { CMessageBoxMsg::SetTestResponder(nullptr); }

    ScrollViewWindow win{{250, 170}, {640, 480}};
    std::vector<std::string> boxes;
};

TEST_F(ClipboardCopy, OtherProgramsPasteTheCapturedPixels)
{
    CDibSectionPtr captured;
    CCommandCopy copy(&TheMsg(), [&] { return captured = Capture(*win.view); }, &win.frame);
    copy.RunAndReport(true, false);
    ASSERT_TRUE(boxes.empty()) << boxes.front();
    ASSERT_TRUE(captured);

    const std::string targets = Paste("TARGETS");
    EXPECT_NE(targets.find("image/bmp"), std::string::npos) << targets;
    EXPECT_NE(targets.find("image/png"), std::string::npos) << targets;

    // image/bmp: file header, then the packed DIB as captured.
    const std::string bmp = Paste("image/bmp");
    const size_t image = captured->ImageSize();
    ASSERT_EQ(bmp.size(), 14 + 40 + image);
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    uint32_t offBits = 0;
    std::memcpy(&offBits, bmp.data() + 10, 4);
    EXPECT_EQ(offBits, 54u);
    EXPECT_EQ(std::memcmp(bmp.data() + 14, captured->Header(), 40), 0);
    EXPECT_EQ(std::memcmp(bmp.data() + 54, captured->Bits(), image), 0);

    // image/png: the same pixels.
    const std::string png = Paste("image/png");
    ASSERT_GT(png.size(), 8u);
    GdkPixbufLoader* loader = gdk_pixbuf_loader_new_with_mime_type("image/png", nullptr);
    ASSERT_TRUE(loader);
    ASSERT_TRUE(gdk_pixbuf_loader_write(loader, reinterpret_cast<const guchar*>(png.data()), png.size(), nullptr));
    ASSERT_TRUE(gdk_pixbuf_loader_close(loader, nullptr));
    GdkPixbuf* pixbuf = gdk_pixbuf_loader_get_pixbuf(loader);
    ASSERT_EQ(gdk_pixbuf_get_width(pixbuf), 250 - 3 - 5);
    ASSERT_EQ(gdk_pixbuf_get_height(pixbuf), 170 - 4 - 6);
    const guchar* pixels = gdk_pixbuf_get_pixels(pixbuf);
    const int stride = gdk_pixbuf_get_rowstride(pixbuf);
    const int channels = gdk_pixbuf_get_n_channels(pixbuf);
    for (int y = 0; y < captured->Height(); y += 7) {
        for (int x = 0; x < captured->Width(); x += 5) {
            const guchar* p = pixels + y * stride + x * channels;
            ASSERT_EQ((uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2], PixelAt(*captured, x, y)) << x << "," << y;
        }
    }
    EXPECT_EQ(PixelAt(*captured, 0, 0), GridColor(3, 4));
    g_object_unref(loader);
}

TEST_F(ClipboardCopy, CaptureFailureIsReportedOnceAndLeavesTheClipboard)
{
    ASSERT_TRUE(WriteBitmapToClipboard(CDibSection::New(2, 2), &win.frame));
    const std::string before = Paste("image/bmp");
    ASSERT_FALSE(before.empty());

    win.setting.trim = {125, 0, 125, 0};
    CCommandCopy copy(&TheMsg(), [&] { return Capture(*win.view); }, &win.frame);
    copy.RunAndReport(true, false);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "ブラウザーの幅、もしくは高さが0です");
    EXPECT_EQ(Paste("image/bmp"), before);
}

TEST_F(ClipboardCopy, BitmapTheClipboardRefusesRaises191)
{
    CCommandCopy copy(&TheMsg(), [] { return CDibSectionPtr(); }, &win.frame);
    copy.RunAndReport(true, false);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "画像をクリップボードにコピーできませんでした");
}

TEST(ClipboardWrite, OnlyFortyAnd124ByteHeadersAreWritten)
{
    auto v5 = std::make_shared<CDib>();
    ASSERT_TRUE(v5->Create(124, 3, 2, 32) && v5->AllocateBits());
    EXPECT_TRUE(WriteBitmapToClipboard(v5, nullptr));
    const std::string bmp = Paste("image/bmp");
    EXPECT_EQ(bmp.size(), 14u + 124 + 3 * 4 * 2);

    auto odd = std::make_shared<CDib>();
    ASSERT_TRUE(odd->Create(40, 3, 2, 24) && odd->AllocateBits());
    odd->Header()->biSize = 108;
    EXPECT_FALSE(WriteBitmapToClipboard(odd, nullptr));

    auto noPixels = std::make_shared<CDib>();
    ASSERT_TRUE(noPixels->Create(40, 3, 2, 24));
    EXPECT_FALSE(WriteBitmapToClipboard(noPixels, nullptr));
}

TEST(ClipboardText, TwoLinesPrefillTheTrimmedFirstLine)
{
    RunServing("printf '  \\t https://example.test/map?x=1 \\r\\nsecond line\\n' | xclip -selection clipboard -i");
    std::string prefill;
    EXPECT_TRUE(RunUntil([&] { return (prefill = ReadClipboardUrlPrefill(nullptr)) == "https://example.test/map?x=1"; },
                         10))
        << prefill;

    CClipboardOpener clipboard;
    std::string text;
    ASSERT_TRUE(ReadClipboardText(clipboard, text));
    EXPECT_EQ(text, "  \t https://example.test/map?x=1 \r\nsecond line\n");
}

TEST(ClipboardText, ImageOnTheClipboardGivesNoText)
{
    ASSERT_TRUE(WriteBitmapToClipboard(CDibSection::New(2, 2), nullptr));
    CClipboardOpener clipboard;
    std::string text = "left over";
    EXPECT_FALSE(ReadClipboardText(clipboard, text));
    EXPECT_TRUE(text.empty());
    EXPECT_EQ(ReadClipboardUrlPrefill(nullptr), "");
}

}  // namespace
