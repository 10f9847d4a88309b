#include "browser/OverlayGeometry.h"
#include "settings/Setting.h"

#include <gtest/gtest.h>

namespace {

CSetting MakeSetting(int width, int height, int scrollX, int scrollY, CRect trim = {})
{
    CSetting s;
    s.width = width;
    s.height = height;
    s.scrollX = scrollX;
    s.scrollY = scrollY;
    s.trim = trim;
    return s;
}

const CSize kHorizontal{95, 14};
const CSize kVertical{14, 95};

CSize SizeOf(int index)
{
    return index == kHandleTop || index == kHandleBottom ? kHorizontal : kVertical;
}

}  // namespace

TEST(OverlayGeometry, InsetsKeptAndVisibleForAScrolledBrowser)
{
    const COverlayGeometry g({0, 0, 800, 600}, MakeSetting(1024, 768, 100, 50, {10, 20, 30, 40}));
    EXPECT_EQ(g.browser, (CRect{-100, -50, 924, 718}));
    EXPECT_EQ(g.insets, (CRect{-90, -30, 800 - 924 + 30, 600 - 718 + 40}));
    EXPECT_EQ(g.Kept(), (CRect{-90, -30, 894, 678}));
    EXPECT_EQ(g.visible, (CRect{0, 0, 800, 600}));
}

// The view holds the browser at 32767 pixels at most; the trim lines sit on
// the real browser's edges, not where the setting would put them.
TEST(OverlayGeometry, ABrowserSetLargerThanTheViewCanHoldKeepsTheRealEdges)
{
    const COverlayGeometry g({0, 0, 800, 600}, MakeSetting(40000, 2147483647, 32000, 100, {0, 0, 10, 20}));
    EXPECT_EQ(g.browser, (CRect{-32000, -100, 767, 32667}));
    EXPECT_EQ(g.Kept(), (CRect{-32000, -100, 757, 32647}));
}

TEST(OverlayGeometry, HandlesSitOnTheBrowserEdgesWithoutTrims)
{
    const COverlayGeometry g({0, 0, 800, 600}, MakeSetting(400, 300, 0, 0));
    // Centred on the visible browser: 400/2 - 95/2 = 153, 300/2 - 95/2 = 103.
    EXPECT_EQ(g.HandleRect(kHandleTop, kHorizontal), (CRect{153, 0, 248, 14}));
    EXPECT_EQ(g.HandleRect(kHandleRight, kVertical), (CRect{386, 103, 400, 198}));
    EXPECT_EQ(g.HandleRect(kHandleBottom, kHorizontal), (CRect{153, 286, 248, 300}));
    EXPECT_EQ(g.HandleRect(kHandleLeft, kVertical), (CRect{0, 103, 14, 198}));
}

TEST(OverlayGeometry, HandlesFollowTrimLinesAndCentreOnTheVisiblePart)
{
    // Scrolled so the browser's left 300 pixels are out of sight.
    const COverlayGeometry g({0, 0, 500, 400}, MakeSetting(1000, 1000, 300, 0, {350, 5, 20, 7}));
    EXPECT_EQ(g.visible, (CRect{0, 0, 500, 400}));
    EXPECT_EQ(g.HandleRect(kHandleLeft, kVertical), (CRect{50, 153, 64, 248}));
    EXPECT_EQ(g.HandleRect(kHandleTop, kHorizontal), (CRect{203, 5, 298, 19}));
    // The right and bottom trim lines lie outside the client: so do the handles.
    EXPECT_EQ(g.HandleRect(kHandleRight, kVertical), (CRect{666, 153, 680, 248}));
    EXPECT_EQ(g.HandleRect(kHandleBottom, kHorizontal), (CRect{203, 979, 298, 993}));
}

TEST(OverlayGeometry, LeftHandleOffScreenIsNotCollapsedWhileTheVisiblePartIsWide)
{
    const COverlayGeometry g({0, 0, 500, 400}, MakeSetting(1000, 400, 300, 0, {10, 0, 0, 0}));
    const CRect left = g.HandleRect(kHandleLeft, kVertical);
    EXPECT_EQ(left.left, -290);
    EXPECT_EQ(left.Width(), 14);
}

struct CCollapseCase {
    const char* name;
    int visibleWidth;
    int visibleHeight;
    bool topBottomWide;    // top/bottom handles keep their width (visible >= 95)
    bool topBottomTall;    // top/bottom keep their height (visible >= 28)
    bool sideWide;         // left/right keep their width (visible >= 28)
    bool sideTall;         // left/right keep their height (visible >= 95)
};

void PrintTo(const CCollapseCase& c, std::ostream* os)
{
    *os << c.name;
}

class OverlayHandleCollapse : public testing::TestWithParam<CCollapseCase> {};

TEST_P(OverlayHandleCollapse, CollapsesWhenTheVisiblePartIsTooSmall)
{
    const CCollapseCase& c = GetParam();
    // The browser is scrolled so that exactly the requested part stays visible.
    const int width = 2000, height = 2000;
    const COverlayGeometry g({0, 0, 800, 600},
                             MakeSetting(width, height, width - c.visibleWidth, height - c.visibleHeight));
    ASSERT_EQ(g.visible.Width(), c.visibleWidth);
    ASSERT_EQ(g.visible.Height(), c.visibleHeight);
    for (int i = 0; i < kHandleCount; ++i) {
        const CRect r = g.HandleRect(i, SizeOf(i));
        const bool horizontal = i == kHandleTop || i == kHandleBottom;
        EXPECT_EQ(r.Width() > 0, horizontal ? c.topBottomWide : c.sideWide) << "handle " << i;
        EXPECT_EQ(r.Height() > 0, horizontal ? c.topBottomTall : c.sideTall) << "handle " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Thresholds, OverlayHandleCollapse,
    testing::Values(CCollapseCase{"Roomy", 500, 500, true, true, true, true},
                    CCollapseCase{"Width95", 95, 500, true, true, true, true},
                    CCollapseCase{"Width94", 94, 500, false, true, true, true},
                    CCollapseCase{"Width28", 28, 500, false, true, true, true},
                    CCollapseCase{"Width27", 27, 500, false, true, false, true},
                    CCollapseCase{"Height95", 500, 95, true, true, true, true},
                    CCollapseCase{"Height94", 500, 94, true, true, true, false},
                    CCollapseCase{"Height28", 500, 28, true, true, true, false},
                    CCollapseCase{"Height27", 500, 27, true, false, true, false},
                    CCollapseCase{"Gone", 0, 0, false, false, false, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(OverlayGeometry, SmallBrowserCollapsesEveryHandleDimensionItCannotHold)
{
    const COverlayGeometry g({0, 0, 800, 600}, MakeSetting(50, 20, 0, 0));
    EXPECT_TRUE(g.HandleRect(kHandleTop, kHorizontal).IsEmpty());
    EXPECT_TRUE(g.HandleRect(kHandleBottom, kHorizontal).IsEmpty());
    const CRect left = g.HandleRect(kHandleLeft, kVertical);
    EXPECT_EQ(left.Width(), 14);
    EXPECT_EQ(left.Height(), 0);
}

TEST(OverlayGeometry, StripsOfAnUnscrolledBrowserSmallerThanTheClient)
{
    const COverlayGeometry g({0, 0, 800, 600}, MakeSetting(400, 300, 0, 0, {10, 20, 30, 40}));
    const auto strips = g.Strips();
    EXPECT_EQ(strips[0], (CRect{0, 20, 10, 260}));     // left
    EXPECT_EQ(strips[1], (CRect{370, 20, 400, 260}));  // right
    EXPECT_EQ(strips[2], (CRect{0, 0, 400, 20}));      // top
    EXPECT_EQ(strips[3], (CRect{0, 260, 400, 300}));   // bottom
}

TEST(OverlayGeometry, StripsOfAScrolledBrowserStartAtTheClientEdge)
{
    const COverlayGeometry g({0, 0, 500, 400}, MakeSetting(1000, 1000, 300, 200, {350, 250, 100, 100}));
    const auto strips = g.Strips();
    EXPECT_EQ(strips[0], (CRect{0, 50, 50, 700}));
    EXPECT_EQ(strips[1], (CRect{600, 50, 500, 700}));  // beyond the client: empty
    EXPECT_TRUE(strips[1].IsEmpty());
    EXPECT_EQ(strips[2], (CRect{0, 0, 500, 50}));
    EXPECT_TRUE(strips[3].IsEmpty());
}

TEST(OverlayGeometry, TrimLinesScrolledOutOfSightLeaveNoStrip)
{
    const COverlayGeometry g({0, 0, 500, 400}, MakeSetting(1000, 1000, 300, 200, {10, 10, 0, 0}));
    for (const CRect& strip : g.Strips())
        EXPECT_TRUE(IntersectRects(strip, g.client).IsEmpty());
}

TEST(OverlayGeometry, StripsCoverTheVisibleTrimmedMarginsOnce)
{
    const CSetting settings[] = {
        MakeSetting(400, 300, 0, 0, {10, 20, 30, 40}),
        MakeSetting(900, 700, 120, 80, {200, 150, 90, 60}),
        MakeSetting(300, 250, 0, 0, {0, 0, 0, 0}),
    };
    for (const CSetting& s : settings) {
        const COverlayGeometry g({0, 0, 640, 480}, s);
        const CRect kept = IntersectRects(g.Kept(), g.client);
        long area = 0;
        const auto strips = g.Strips();
        for (size_t i = 0; i < strips.size(); ++i) {
            const CRect a = IntersectRects(strips[i], g.client);
            area += long(a.Width()) * a.Height();
            EXPECT_TRUE(IntersectRects(a, g.Kept()).IsEmpty());
            for (size_t j = i + 1; j < strips.size(); ++j)
                EXPECT_TRUE(IntersectRects(a, strips[j]).IsEmpty()) << i << " overlaps " << j;
        }
        EXPECT_EQ(area, long(g.visible.Width()) * g.visible.Height() - long(kept.Width()) * kept.Height());
    }
}

TEST(OverlayGeometry, ExtremeSizesDoNotOverflow)
{
    const COverlayGeometry g({0, 0, 800, 600}, MakeSetting(INT32_MIN, INT32_MAX, 0, 0, {INT32_MAX, 0, INT32_MAX, 0}));
    EXPECT_TRUE(g.visible.IsEmpty());
    for (int i = 0; i < kHandleCount; ++i)
        EXPECT_TRUE(g.HandleRect(i, SizeOf(i)).IsEmpty());
}
