#include "browser/OverlayGeometry.h"
#include "browser/OverlayTrimDrag.h"
#include "settings/Setting.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

CSize HandleSize(int index)
{
    return index == kHandleTop || index == kHandleBottom ? CSize{95, 14} : CSize{14, 95};
}

struct CDragCase {
    const char* name;
    int index;
    CRect trim;        // at the press, also the current trims
    CPoint start;
    CPoint to;
    CRect expected;    // trims after the move
};

void PrintTo(const CDragCase& c, std::ostream* os)
{
    *os << c.name;
}

class OverlayTrimDragStep : public testing::TestWithParam<CDragCase> {};

TEST_P(OverlayTrimDragStep, MovesOneTrimWithinItsLimits)
{
    const CDragCase& c = GetParam();
    CSetting setting;
    setting.width = 400;
    setting.height = 300;
    setting.trim = c.trim;
    COverlayTrimDrag drag;
    drag.Begin(c.index, c.start, setting.trim);
    const bool changed = drag.Step(c.to, HandleSize(c.index), setting);
    EXPECT_EQ(setting.trim, c.expected);
    EXPECT_EQ(changed, !(c.trim == c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OverlayTrimDragStep,
    testing::Values(
        CDragCase{"LeftRight", kHandleLeft, {0, 0, 0, 0}, {7, 150}, {57, 170}, {50, 0, 0, 0}},
        // 400 - 2 * 14 - 100: the kept width never drops below 28.
        CDragCase{"LeftStopsAt28FromRightTrim", kHandleLeft, {0, 0, 100, 0}, {7, 150}, {900, 150}, {272, 0, 100, 0}},
        CDragCase{"LeftPastTheEdgeIsZero", kHandleLeft, {40, 0, 0, 0}, {47, 150}, {-200, 150}, {0, 0, 0, 0}},
        CDragCase{"RightInwardsGrows", kHandleRight, {0, 0, 10, 0}, {393, 150}, {363, 150}, {0, 0, 40, 0}},
        CDragCase{"RightOutwardsClampsAtZero", kHandleRight, {0, 0, 10, 0}, {383, 150}, {700, 150}, {0, 0, 0, 0}},
        CDragCase{"RightStopsAt28FromLeftTrim", kHandleRight, {300, 0, 0, 0}, {393, 150}, {0, 150}, {300, 0, 72, 0}},
        CDragCase{"TopDown", kHandleTop, {0, 5, 0, 0}, {200, 10}, {150, 30}, {0, 25, 0, 0}},
        CDragCase{"TopStopsAt28FromBottomTrim", kHandleTop, {0, 0, 0, 50}, {200, 7}, {200, 1000}, {0, 222, 0, 50}},
        CDragCase{"BottomUpGrows", kHandleBottom, {0, 0, 0, 0}, {200, 293}, {200, 280}, {0, 0, 0, 13}},
        CDragCase{"BottomDownClampsAtZero", kHandleBottom, {0, 0, 0, 20}, {200, 273}, {200, 400}, {0, 0, 0, 0}},
        CDragCase{"NoMoveNoChange", kHandleTop, {0, 5, 0, 0}, {200, 10}, {250, 10}, {0, 5, 0, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(OverlayTrimDrag, EveryStepMeasuresFromThePressNotFromTheLastStep)
{
    CSetting setting;
    setting.width = 400;
    COverlayTrimDrag drag;
    drag.Begin(kHandleLeft, {0, 0}, setting.trim);
    EXPECT_TRUE(drag.Step({30, 0}, {14, 95}, setting));
    EXPECT_TRUE(drag.Step({40, 0}, {14, 95}, setting));
    EXPECT_EQ(setting.trim.left, 40);
    EXPECT_FALSE(drag.Step({40, 5}, {14, 95}, setting));
    EXPECT_TRUE(drag.Step({10, 0}, {14, 95}, setting));
    EXPECT_EQ(setting.trim.left, 10);
}

TEST(OverlayTrimDrag, TheLimitUsesTheOppositeTrimAsItIsNow)
{
    CSetting setting;
    setting.width = 400;
    COverlayTrimDrag drag;
    drag.Begin(kHandleLeft, {0, 0}, setting.trim);
    setting.trim.right = 200;  // changed in the size bar during the drag
    drag.Step({1000, 0}, {14, 95}, setting);
    EXPECT_EQ(setting.trim.left, 400 - 28 - 200);
}

TEST(OverlayTrimDrag, BrowserNarrowerThanTwoHandlesKeepsTrimsAtZero)
{
    CSetting setting;
    setting.width = 20;
    COverlayTrimDrag drag;
    drag.Begin(kHandleLeft, {0, 0}, setting.trim);
    EXPECT_FALSE(drag.Step({15, 0}, {14, 95}, setting));
    EXPECT_EQ(setting.trim.left, 0);
}

TEST(OverlayTrimDrag, HugeValuesSaturateInsteadOfWrapping)
{
    CSetting setting;
    setting.width = INT_MAX;
    setting.trim.left = INT_MAX - 10;
    COverlayTrimDrag drag;
    drag.Begin(kHandleLeft, {0, 0}, setting.trim);
    drag.Step({INT_MAX, 0}, {14, 95}, setting);
    EXPECT_EQ(setting.trim.left, INT_MAX - 28);
    drag.Step({INT_MIN, 0}, {14, 95}, setting);
    EXPECT_EQ(setting.trim.left, 0);
}

TEST(OverlayTrimDrag, WithoutADragNothingChanges)
{
    CSetting setting;
    setting.trim = {5, 5, 5, 5};
    COverlayTrimDrag drag;
    EXPECT_FALSE(drag.IsDragging());
    EXPECT_FALSE(drag.Step({100, 100}, {14, 95}, setting));
    drag.Begin(kHandleTop, {0, 0}, setting.trim);
    EXPECT_EQ(drag.Index(), kHandleTop);
    drag.End();
    EXPECT_FALSE(drag.Step({100, 100}, {95, 14}, setting));
    EXPECT_EQ(setting.trim, (CRect{5, 5, 5, 5}));
}

}  // namespace
