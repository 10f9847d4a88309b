#include "browser/QuorvaScrollViewGeometry.h"

#include "ParamName.h"

#include <gtest/gtest.h>

#include <cairo.h>

#include <limits>
#include <ostream>

TEST(ScrollBarRange, RunsPastTheBrowserByNineTenthsOfTheClient)
{
    // 1024-wide browser in a 800-wide client: 1023 + MulDiv(800, 9, 10) = 1743.
    const CScrollBarInfo bar = CalcScrollBar(1024, 800, 0);
    EXPECT_EQ(bar, (CScrollBarInfo{0, 1743, 800, 0}));
    EXPECT_EQ(LastScrollPos(bar), 944);
}

TEST(ScrollBarRange, RoundsTheNineTenthsHalfAwayFromZero)
{
    EXPECT_EQ(CalcScrollBar(100, 15, 0).max, 99 + 14);  // 13.5 -> 14
    EXPECT_EQ(CalcScrollBar(100, 14, 0).max, 99 + 13);  // 12.6 -> 13
}

TEST(ScrollBarRange, PositionIsMinusTheBrowserOriginKeptInTheLastPage)
{
    EXPECT_EQ(CalcScrollBar(1024, 800, -300).pos, 300);
    // The stored offset lies beyond the last page of a larger client.
    EXPECT_EQ(CalcScrollBar(1024, 800, -2000).pos, 944);
    EXPECT_EQ(CalcScrollBar(1024, 800, 50).pos, 0);
}

TEST(ScrollBarRange, TinyAndHugeBrowsersStayInRange)
{
    EXPECT_EQ(CalcScrollBar(0, 0, 0), (CScrollBarInfo{0, -1, 0, 0}));
    const CScrollBarInfo huge = CalcScrollBar(std::numeric_limits<int32_t>::max(), 1000, 0);
    EXPECT_EQ(huge.max, std::numeric_limits<int32_t>::max());
    EXPECT_EQ(CalcScrollBar(-5, 100, 0).max, -1 + 90);
}

TEST(BrowserSide, NegativeIsEmptyAndTheWindowLimitHolds)
{
    EXPECT_EQ(BrowserSide(-5), 0);
    EXPECT_EQ(BrowserSide(0), 0);
    EXPECT_EQ(BrowserSide(1024), 1024);
    EXPECT_EQ(BrowserSide(kMaxBrowserSide), kMaxBrowserSide);
    EXPECT_EQ(BrowserSide(40000), kMaxBrowserSide);
}

struct StepCase {
    ScrollRequest request;
    int32_t pos;
    int32_t track;
    std::optional<int32_t> expected;

    friend void PrintTo(const StepCase& c, std::ostream* os)
    {
        *os << "request " << static_cast<int>(c.request) << " at " << c.pos << " track " << c.track;
    }
};

class ScrollStepTest : public testing::TestWithParam<StepCase> {};

// Bar 0..1743, page 800: the last page starts at 944.
TEST_P(ScrollStepTest, FollowsTheStepTable)
{
    const StepCase& c = GetParam();
    const CScrollBarInfo bar{0, 1743, 800, c.pos};
    EXPECT_EQ(CalcScrollStep(bar, c.request, c.track), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, ScrollStepTest,
    testing::Values(StepCase{ScrollRequest::LineUp, 10, 0, 9}, StepCase{ScrollRequest::LineUp, 0, 0, std::nullopt},
                    StepCase{ScrollRequest::PageUp, 500, 0, 0}, StepCase{ScrollRequest::PageUp, 900, 0, 100},
                    StepCase{ScrollRequest::PageUp, 0, 0, std::nullopt},
                    StepCase{ScrollRequest::LineDown, 10, 0, 11},
                    // Line down at the last position changes nothing.
                    StepCase{ScrollRequest::LineDown, 944, 0, std::nullopt},
                    // Page down near the end moves to the last page.
                    StepCase{ScrollRequest::PageDown, 900, 0, 944},
                    StepCase{ScrollRequest::PageDown, 100, 0, 900},
                    StepCase{ScrollRequest::PageDown, 944, 0, std::nullopt},
                    StepCase{ScrollRequest::ThumbTrack, 10, 500, 500},
                    StepCase{ScrollRequest::ThumbTrack, 10, 10, std::nullopt},
                    StepCase{ScrollRequest::ThumbTrack, 10, 1500, 944},
                    StepCase{ScrollRequest::ThumbTrack, 10, 1744, std::nullopt},
                    StepCase{ScrollRequest::ThumbTrack, 10, -1, std::nullopt},
                    StepCase{ScrollRequest::ThumbPosition, 10, 500, std::nullopt},
                    StepCase{ScrollRequest::Top, 10, 0, std::nullopt},
                    StepCase{ScrollRequest::Bottom, 10, 0, std::nullopt},
                    StepCase{ScrollRequest::EndScroll, 10, 0, std::nullopt}),
                    [](const testing::TestParamInfo<StepCase>& info) {
                        return "Request" + std::to_string(static_cast<int>(info.param.request)) + "_At" +
                               testname::FromNumber(info.param.pos) + "_Track" + testname::FromNumber(info.param.track);
                    });

TEST(ScrollStep, RefusesLineAndPageDownThatReachTheMaximum)
{
    // Position + 1 reaching the maximum is refused before the page clamp.
    const CScrollBarInfo bar{0, 100, 1, 99};
    EXPECT_EQ(RequestedScrollPos(bar, ScrollRequest::LineDown), std::nullopt);
    EXPECT_EQ(RequestedScrollPos({0, 100, 1, 98}, ScrollRequest::LineDown), 99);
    EXPECT_EQ(RequestedScrollPos({0, 100, 10, 85}, ScrollRequest::PageDown), 95);
    EXPECT_EQ(RequestedScrollPos({0, 100, 10, 90}, ScrollRequest::PageDown), std::nullopt);
}

struct ZoneCase {
    CPoint pt;
    int zone;

    friend void PrintTo(const ZoneCase& c, std::ostream* os) { *os << "at " << c.pt.x << "," << c.pt.y; }
};

class SplitterZoneTest : public testing::TestWithParam<ZoneCase> {};

// Browser edges at x = 500, y = 300.
TEST_P(SplitterZoneTest, BandsAreSevenPixelsWideForHitTesting)
{
    EXPECT_EQ(SplitterZone(GetParam().pt, {500, 300}), GetParam().zone);
}

INSTANTIATE_TEST_SUITE_P(
    Zones, SplitterZoneTest,
    testing::Values(ZoneCase{{499, 100}, kZoneNone}, ZoneCase{{500, 100}, kZoneRight},
                    ZoneCase{{506, 100}, kZoneRight}, ZoneCase{{507, 100}, kZoneNone},
                    ZoneCase{{100, 299}, kZoneNone}, ZoneCase{{100, 300}, kZoneBottom},
                    ZoneCase{{100, 306}, kZoneBottom}, ZoneCase{{100, 307}, kZoneNone},
                    ZoneCase{{503, 303}, kZoneCorner}, ZoneCase{{506, 306}, kZoneCorner},
                    ZoneCase{{507, 306}, kZoneBottom}, ZoneCase{{506, 307}, kZoneRight},
                    // The bands run the whole client: far below or right of the browser.
                    ZoneCase{{503, 5000}, kZoneRight}, ZoneCase{{5000, 303}, kZoneBottom}),
                    [](const testing::TestParamInfo<ZoneCase>& info) {
                        return "X" + std::to_string(info.param.pt.x) + "_Y" + std::to_string(info.param.pt.y);
                    });

TEST(SplitterZone, EdgeNearTheIntegerLimitDoesNotOverflow)
{
    const int32_t big = std::numeric_limits<int32_t>::max() - 2;
    EXPECT_EQ(SplitterZone({std::numeric_limits<int32_t>::max(), 0}, {big, 100}), kZoneRight);
}

TEST(SplitterDrag, EachZoneChangesItsOwnDirection)
{
    const CPoint start{500, 300};
    const CSize size{1024, 768};
    EXPECT_EQ(SplitterDragSize(kZoneRight, start, size, {550, 340}), (CSize{1074, 768}));
    EXPECT_EQ(SplitterDragSize(kZoneBottom, start, size, {550, 340}), (CSize{1024, 808}));
    EXPECT_EQ(SplitterDragSize(kZoneCorner, start, size, {450, 280}), (CSize{974, 748}));
}

TEST(SplitterDrag, NeverGoesBelowOneByOne)
{
    EXPECT_EQ(SplitterDragSize(kZoneCorner, {500, 300}, {100, 80}, {-5000, -5000}), (CSize{1, 1}));
    EXPECT_EQ(SplitterDragSize(kZoneRight, {500, 300}, {100, 80}, {400, 0}), (CSize{1, 80}));
    // A stored size below 1 in the other direction is raised as well.
    EXPECT_EQ(SplitterDragSize(kZoneRight, {500, 300}, {100, 0}, {510, 300}), (CSize{110, 1}));
}

TEST(SurroundPaint, RaisedBandAndPatternAroundTheBrowser)
{
    const CRect client{0, 0, 800, 600};
    const CSurroundPaint paint = CalcSurroundPaint(client, {500, 300});
    EXPECT_EQ(paint.highlight, (std::vector<CRect>{{500, 0, 501, 301}, {500, 305, 501, 600}, {0, 300, 500, 301},
                                                   {506, 300, 800, 301}}));
    EXPECT_EQ(paint.shadow, (std::vector<CRect>{{505, 0, 506, 301}, {505, 305, 506, 600}, {0, 305, 500, 306},
                                                {505, 305, 800, 306}}));
    EXPECT_EQ(paint.face, (std::vector<CRect>{{501, 0, 505, 301}, {501, 305, 505, 600}, {0, 301, 800, 305}}));
    EXPECT_EQ(paint.pattern, (std::vector<CRect>{{506, 0, 800, 300}, {506, 306, 800, 600}, {0, 306, 500, 600}}));
}

TEST(SurroundPaint, BrowserLargerThanTheClientPaintsNothing)
{
    const CSurroundPaint paint = CalcSurroundPaint({0, 0, 800, 600}, {5000, 4000});
    EXPECT_TRUE(paint.highlight.empty());
    EXPECT_TRUE(paint.shadow.empty());
    EXPECT_TRUE(paint.face.empty());
    EXPECT_TRUE(paint.pattern.empty());
}

TEST(SurroundPaint, BrowserScrolledOutLeftLeavesTheRightSideOnly)
{
    // Right edge left of the client: only rectangles right of it remain.
    const CSurroundPaint paint = CalcSurroundPaint({0, 0, 800, 600}, {-10, 5000});
    EXPECT_TRUE(paint.highlight.empty());
    EXPECT_TRUE(paint.face.empty());
    EXPECT_EQ(paint.pattern, (std::vector<CRect>{{-4, 0, 800, 5000}}));
}

TEST(Checker, ThreeByThreeCellsOfWhiteAndGrey)
{
    EXPECT_EQ(CheckerColor(0, 0), 0xFFFFFFu);
    EXPECT_EQ(CheckerColor(2, 2), 0xFFFFFFu);
    EXPECT_EQ(CheckerColor(3, 0), 0xC8C8C8u);
    EXPECT_EQ(CheckerColor(0, 3), 0xC8C8C8u);
    EXPECT_EQ(CheckerColor(5, 5), 0xFFFFFFu);
    EXPECT_EQ(CheckerColor(6, 3), 0xC8C8C8u);
    EXPECT_EQ(CheckerColor(-1, 0), 0xC8C8C8u);
}

TEST(Checker, PatternRepeatsTheTile)
{
    cairo_pattern_t* pattern = CreateCheckerPattern();
    ASSERT_NE(pattern, nullptr);
    cairo_surface_t* target = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 13, 13);
    cairo_t* cr = cairo_create(target);
    cairo_set_source(cr, pattern);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_flush(target);
    const unsigned char* data = cairo_image_surface_get_data(target);
    const int stride = cairo_image_surface_get_stride(target);
    for (int y = 0; y < 13; ++y)
        for (int x = 0; x < 13; ++x)
            EXPECT_EQ(reinterpret_cast<const uint32_t*>(data + y * stride)[x] & 0xFFFFFF, CheckerColor(x, y))
                << x << "," << y;
    cairo_surface_destroy(target);
    cairo_pattern_destroy(pattern);
}
