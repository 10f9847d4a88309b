// The capture of the real web view: a fixture page whose pixels say where they
// are, captured with and without trims, scrolled away, and larger than the
// screen.
#include "ScrollViewWindow.h"

#include "bitmap/DibSection.h"
#include "browser/Capture.h"
#include "browser/SnapshotRequest.h"
#include "errors/StringTable.h"
#include "errors/ProgramMessages.h"
#include "errors/Exception.h"
#include "imaging/Img.h"

#include <cerrno>
#include <cstring>

namespace {

class CaptureGrid : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(win.WaitShown());
        ASSERT_TRUE(win.Load("grid")) << win.Title();
    }

    void ExpectGridArea(const CDib& dib, const CRect& trim)
    {
        const int32_t w = dib.Width(), h = dib.Height();
        const CPoint probes[] = {{0, 0}, {w - 1, 0}, {0, h - 1}, {w - 1, h - 1}, {w / 2, h / 3}, {w / 3, h - 2}};
        for (const CPoint& p : probes)
            EXPECT_EQ(PixelAt(dib, p.x, p.y), GridColor(p.x + trim.left, p.y + trim.top)) << p.x << "," << p.y;
    }

    ScrollViewWindow win{{300, 280}, {640, 480}};
};

TEST_F(CaptureGrid, WholeBrowserWithoutTrims)
{
    const CDibSectionPtr dib = Capture(*win.view);
    ASSERT_TRUE(dib);
    EXPECT_EQ(dib->Header()->biSize, 40u);
    EXPECT_EQ(dib->Header()->biHeight, 280);  // positive: bottom-up rows
    EXPECT_EQ(dib->BitCount(), 24);
    EXPECT_EQ(dib->Width(), 300);
    EXPECT_EQ(dib->Height(), 280);
    ExpectGridArea(*dib, {});
    // Bottom-up: the first row in memory is the page's last line.
    EXPECT_EQ(dib->Bits()[2], 0);
    EXPECT_EQ(dib->Bits()[1], 279 & 255);
}

TEST_F(CaptureGrid, TrimsOnAllSides)
{
    win.setting.trim = {7, 11, 13, 17};
    const CDibSectionPtr dib = Capture(*win.view);
    ASSERT_TRUE(dib);
    EXPECT_EQ(dib->Width(), 300 - 7 - 13);
    EXPECT_EQ(dib->Height(), 280 - 11 - 17);
    EXPECT_EQ(dib->Stride(), 840u);
    ExpectGridArea(*dib, win.setting.trim);
    EXPECT_EQ(PixelAt(*dib, 0, 0), GridColor(7, 11));
}

TEST_F(CaptureGrid, OddWidthRowsArePaddedWithZeros)
{
    win.setting.trim = {0, 0, 1, 0};  // 299 pixels: 897 bytes, stride 900
    const CDibSectionPtr dib = Capture(*win.view);
    ASSERT_TRUE(dib);
    EXPECT_EQ(dib->Stride(), 900u);
    ExpectGridArea(*dib, win.setting.trim);
    for (int32_t y = 0; y < dib->Height(); ++y)
        ASSERT_EQ(dib->RowFromTop(y)[897] | dib->RowFromTop(y)[898] | dib->RowFromTop(y)[899], 0) << y;
}

TEST_F(CaptureGrid, OneByOneKeptArea)
{
    win.setting.trim = {150, 100, 149, 179};
    const CDibSectionPtr dib = Capture(*win.view);
    ASSERT_TRUE(dib);
    EXPECT_EQ(dib->Width(), 1);
    EXPECT_EQ(dib->Height(), 1);
    EXPECT_EQ(dib->Stride(), 4u);
    EXPECT_EQ(PixelAt(*dib, 0, 0), GridColor(150, 100));
}

TEST_F(CaptureGrid, TrimsThatLeaveNothingRaise189)
{
    for (const CRect& trim : {CRect{100, 0, 200, 0}, CRect{0, 280, 0, 0}, CRect{0, 140, 0, 141}, CRect{301, 0, 0, 0}}) {
        win.setting.trim = trim;
        try {
            Capture(*win.view);
            ADD_FAILURE() << "no failure for trims " << trim.left << "," << trim.top << "," << trim.right << ","
                          << trim.bottom;
        } catch (const my::CException& e) {
            EXPECT_EQ(e.MsgId(), 189u);
            EXPECT_EQ(e.Err().text, "ブラウザーの幅、もしくは高さが0です");
        }
    }
}

TEST_F(CaptureGrid, FollowsANewBrowserSizeAtOnce)
{
    ASSERT_TRUE(win.Resize({420, 150}, "grid"));
    const CDibSectionPtr dib = Capture(*win.view);
    ASSERT_TRUE(dib);
    EXPECT_EQ(dib->Width(), 420);
    EXPECT_EQ(dib->Height(), 150);
    ExpectGridArea(*dib, {});
}

TEST_F(CaptureGrid, BrowserWiderThanTheViewCanBeMadeRaises190)
{
    win.setting.width = kMaxBrowserSide + 1;
    win.view->ApplyBrowserSize();
    EXPECT_EQ(win.WebViewAllocation().get_width(), kMaxBrowserSide);
    try {
        Capture(*win.view);
        ADD_FAILURE() << "a cut capture was taken";
    } catch (const my::CException& e) {
        EXPECT_EQ(e.MsgId(), 190u);
        EXPECT_EQ(e.Err().value, EFBIG);
        // The reason follows the message.
        EXPECT_EQ(e.Err().text, "ブラウザのハードコピーに失敗しました\n\nブラウザーの幅と高さは 32767 ピクセルまでです");
    }
}

// Negative trims (a damaged settings file) once read before the snapshot's
// pixels; the kept area never reaches beyond the browser.
TEST_F(CaptureGrid, NegativeTrimsKeepTheWholeBrowserAndNoMore)
{
    win.setting.trim = {-20000, -20000, -5, 3};
    const CDibSectionPtr dib = Capture(*win.view);
    ASSERT_TRUE(dib);
    EXPECT_EQ(dib->Width(), 300);
    EXPECT_EQ(dib->Height(), 277);
    ExpectGridArea(*dib, {});
}

TEST_F(CaptureGrid, TimeLimitRaises190AndTheNextCaptureWorks)
{
    try {
        Capture(*win.view, std::chrono::milliseconds(0));
        ADD_FAILURE() << "the capture did not give up";
    } catch (const my::CException& e) {
        EXPECT_EQ(e.MsgId(), 190u);
        EXPECT_EQ(e.Err().value, ETIMEDOUT);
        // The reason follows in the user's language.
        EXPECT_NE(e.Err().text.find("\n\n" + LoadString(kMsgSnapshotTimedOut)), std::string::npos) << e.Err().text;
    }
    // The abandoned request still answers later; it must find nothing freed.
    ASSERT_TRUE(RunUntil([] { return SnapshotsInFlight() == 0; })) << "the abandoned request never answered";
    const CDibSectionPtr dib = Capture(*win.view);
    ASSERT_TRUE(dib);
    ExpectGridArea(*dib, {});
}

// A rendered page is compared with a bitmap without making one of its own:
// the same kept area is shown, a pixel changed or another size is not, and
// the capture still converts afterwards to those very bits.
TEST_F(CaptureGrid, RenderedPageTellsWhetherABitmapShowsIt)
{
    win.setting.trim = {7, 11, 13, 17};
    const CDibSectionPtr shown = Capture(*win.view);
    ASSERT_TRUE(shown);
    const std::shared_ptr<CRenderedCapture> rendered =
        CaptureRendered(*win.view, kCaptureNoWait, kCaptureTimeLimit, CBitmapReady::WhenConverted);
    EXPECT_TRUE(rendered->Shows(*shown));

    const CDibSectionPtr changed = CDibSection::New(shown->Width(), shown->Height(), 24);
    ASSERT_TRUE(changed);
    std::memcpy(changed->Bits(), shown->Bits(), shown->ImageSize());
    changed->RowFromTop(shown->Height() - 1)[3 * (shown->Width() - 1) + 1] ^= 1;  // the last pixel's green
    EXPECT_FALSE(rendered->Shows(*changed));
    const CDibSectionPtr smaller = CDibSection::New(shown->Width() - 1, shown->Height(), 24);
    ASSERT_TRUE(smaller);
    EXPECT_FALSE(rendered->Shows(*smaller));
    std::stop_source stop;
    stop.request_stop();
    EXPECT_FALSE(rendered->Shows(*shown, stop.get_token()));

    const CDibSectionPtr converted = rendered->Convert();
    ASSERT_TRUE(converted);
    ASSERT_EQ(converted->ImageSize(), shown->ImageSize());
    EXPECT_EQ(std::memcmp(converted->Bits(), shown->Bits(), shown->ImageSize()), 0);
    EXPECT_FALSE(rendered->Shows(*shown));  // the rendered page is gone
}

// The batch save's image: the kept area turned into 24-bit rows where WebKit
// rendered it, the same pixels as the capture's bitmap.
TEST_F(CaptureGrid, RenderedPageConvertedInPlaceEqualsTheBitmap)
{
    win.setting.trim = {7, 11, 13, 17};
    const CDibSectionPtr shown = Capture(*win.view);
    ASSERT_TRUE(shown);
    const std::unique_ptr<CRenderedCapture> rendered =
        CaptureRendered(*win.view, kCaptureNoWait, kCaptureTimeLimit, CBitmapReady::WhenConverted);
    const std::shared_ptr<CImg> image = rendered->ConvertInPlace();
    ASSERT_TRUE(image) << "WebKit's snapshot could not be written";
    ASSERT_EQ(image->Width(), shown->Width());
    ASSERT_EQ(image->Height(), shown->Height());
    for (int32_t y = 0; y < image->Height(); ++y)
        ASSERT_EQ(std::memcmp(image->Row(y), shown->RowFromTop(y), image->RowBytes()), 0) << "row " << y;
    EXPECT_THROW(rendered->Convert(), my::CException) << "the rendered page is the image's now";
}

TEST(CaptureScrolled, ScrolledFarAwayEqualsUnscrolled)
{
    ScrollViewWindow win({1200, 900}, {500, 400});
    ASSERT_TRUE(win.WaitShown());
    ASSERT_TRUE(win.Load("grid"));
    win.setting.trim = {5, 6, 7, 8};
    const CDibSectionPtr before = Capture(*win.view);
    ASSERT_TRUE(before);

    win.view->Scroll(Gtk::ORIENTATION_HORIZONTAL, ScrollRequest::ThumbTrack, 1300);
    win.view->Scroll(Gtk::ORIENTATION_VERTICAL, ScrollRequest::ThumbTrack, 1000);
    ASSERT_GT(win.setting.scrollX, 1100);
    ASSERT_GT(win.setting.scrollY, 800);
    ASSERT_TRUE(WaitDrawn(win.frame));
    const CDibSectionPtr after = Capture(*win.view);
    ASSERT_TRUE(after);
    ASSERT_EQ(after->ImageSize(), before->ImageSize());
    EXPECT_EQ(std::memcmp(after->Bits(), before->Bits(), before->ImageSize()), 0);
    EXPECT_EQ(PixelAt(*after, 1200 - 5 - 7 - 1, 900 - 6 - 8 - 1), GridColor(1200 - 7 - 1, 900 - 8 - 1));
}

TEST(CaptureLarge, BrowserLargerThanTheScreenIsCapturedWhole)
{
    ScrollViewWindow win({5000, 4000}, {640, 480});
    ASSERT_TRUE(win.WaitShown());
    ASSERT_TRUE(win.Load("corners"));
    win.view->Scroll(Gtk::ORIENTATION_HORIZONTAL, ScrollRequest::ThumbTrack, 2500);
    const CDibSectionPtr dib = Capture(*win.view);
    ASSERT_TRUE(dib);
    ASSERT_EQ(dib->Width(), 5000);
    ASSERT_EQ(dib->Height(), 4000);
    EXPECT_EQ(PixelAt(*dib, 0, 0), 0xFF0000u);
    EXPECT_EQ(PixelAt(*dib, 4999, 0), 0x0000FFu);
    EXPECT_EQ(PixelAt(*dib, 0, 3999), 0xFFFF00u);
    EXPECT_EQ(PixelAt(*dib, 4999, 3999), 0xFF00FFu);
    EXPECT_EQ(PixelAt(*dib, 4990, 3990), 0xFF00FFu);
    EXPECT_EQ(PixelAt(*dib, 4989, 3989), 0x20A040u);
    EXPECT_EQ(PixelAt(*dib, 2500, 2000), 0x20A040u);
}

TEST(CaptureUnshown, ViewThatWasNeverShownRaises190)
{
    CSetting setting;
    setting.width = 200;
    setting.height = 100;
    CQuorvaScrollView view(setting);
    try {
        Capture(view, std::chrono::milliseconds(5000));
        ADD_FAILURE() << "a view without a page gave a bitmap";
    } catch (const my::CException& e) {
        EXPECT_EQ(e.MsgId(), 190u);
    }
}

}  // namespace
