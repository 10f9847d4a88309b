#include "shell/WindowPlacement.h"

#include <gtest/gtest.h>

namespace {

const CRect kScreen{0, 0, 1920, 1080};

TEST(FitRectIntoScreen, KeepsARectangleThatIsOnScreen)
{
    const CRect rect{100, 100, 900, 700};
    EXPECT_EQ(FitRectIntoScreen(rect, kScreen), rect);
}

TEST(FitRectIntoScreen, MovesBottomAndRightEdgesBackOntoTheScreen)
{
    EXPECT_EQ(FitRectIntoScreen(CRect{1500, 900, 2300, 1500}, kScreen), (CRect{1120, 480, 1920, 1080}));
    EXPECT_EQ(FitRectIntoScreen(CRect{-300, -200, 500, 400}, kScreen), (CRect{0, 0, 800, 600}));
}

TEST(FitRectIntoScreen, TallerThanTheScreenIsPlacedAtTheTopAndKeepsItsHeight)
{
    EXPECT_EQ(FitRectIntoScreen(CRect{10, 500, 800, 2000}, kScreen), (CRect{10, 0, 800, 1500}));
}

TEST(FitRectIntoScreen, UsesTheVirtualScreenOfSeveralMonitors)
{
    const CRect twoMonitors{-1280, 0, 1920, 1080};
    EXPECT_EQ(FitRectIntoScreen(CRect{-1500, 10, -700, 610}, twoMonitors), (CRect{-1280, 10, -480, 610}));
}

TEST(LimitRectToScreenSize, ShrinksOnlyWhatIsLargerThanTheScreenAndKeepsTheCorner)
{
    EXPECT_EQ(LimitRectToScreenSize(CRect{10, 500, 800, 2000}, kScreen), (CRect{10, 500, 800, 1580}));
    EXPECT_EQ(LimitRectToScreenSize(CRect{-32767, -32767, 32767, 32767}, kScreen), (CRect{-32767, -32767, -30847, -31687}));
    const CRect onScreen{100, 100, 900, 700};
    EXPECT_EQ(LimitRectToScreenSize(onScreen, kScreen), onScreen);
}

}  // namespace
