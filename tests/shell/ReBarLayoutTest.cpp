#include "shell/ReBarLayout.h"

#include <gtest/gtest.h>

namespace {

CReBarLayout ThreeBands()
{
    CReBarLayout layout;
    layout.AddBand(kBandMenuBar, false);
    layout.AddBand(kBandToolBar, true);
    layout.AddBand(kBandSizeBar, true);
    return layout;
}

TEST(ReBarLayout, StoredRecordsReorderBandsAndSetWidthsAndBreaks)
{
    CReBarLayout layout = ThreeBands();
    layout.Apply({{kBandSizeBar, 300, false}, {kBandMenuBar, 500, true}, {kBandToolBar, 400, false}});
    const auto stored = layout.Store();
    ASSERT_EQ(stored.size(), 3u);
    EXPECT_EQ(stored[0], (CReBarBandSetting{kBandSizeBar, 300, false}));
    EXPECT_EQ(stored[1], (CReBarBandSetting{kBandMenuBar, 500, true}));
    EXPECT_EQ(stored[2], (CReBarBandSetting{kBandToolBar, 400, false}));
    const auto rows = layout.Rows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].size(), 1u);
    EXPECT_EQ(rows[1].size(), 2u) << "the tool bar joins the menu bar's row";
}

TEST(ReBarLayout, UnknownBandsInTheFileAreSkipped)
{
    CReBarLayout layout = ThreeBands();
    layout.Apply({{0x1234, 10, true}, {kBandToolBar, 50, false}});
    EXPECT_EQ(layout.IndexOf(kBandToolBar), 1);
    EXPECT_EQ(layout.Bands()[1].cx, 50u);
    EXPECT_EQ(layout.Bands()[0].id, kBandMenuBar);
}

TEST(ReBarLayout, HiddenBandsLeaveTheirRow)
{
    CReBarLayout layout = ThreeBands();
    layout.Find(kBandToolBar)->visible = false;
    const auto rows = layout.Rows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1][0]->id, kBandSizeBar);
    EXPECT_EQ(layout.Store().size(), 3u) << "hidden bands are still stored";
}

}  // namespace
