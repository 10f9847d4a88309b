#include "printing/A4At600.h"
#include "errors/Exception.h"
#include "errors/StringTable.h"
#include "printing/poster/PaperSize.h"
#include "printing/poster/TileGeometry.h"

#include <gtest/gtest.h>

namespace {

CFitImageToPageSetting Fit(int across, int down)
{
    CFitImageToPageSetting s;
    s.fitType = FIT;
    s.papers = {across, down};
    return s;
}

CFitImageToPageSetting Dpi(int dpi)
{
    CFitImageToPageSetting s;
    s.fitType = DPI;
    s.dpi = dpi;
    return s;
}

uint32_t ErrorIdOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const my::CException& e) {
        return e.MsgId();
    }
    return 0;
}

}  // namespace

TEST(PrintGeometry, A4PrintableRectAt600Dpi)
{
    const CRect r = A4At600().GetPrintableRect();
    EXPECT_EQ(r, (CRect{236, 236, 4724, 6780}));
    EXPECT_EQ(r.Width(), 4488);
    EXPECT_EQ(r.Height(), 6544);
}

TEST(PrintGeometry, MarginsThatMeetLeaveNoPrintableRectAndNoSheets)
{
    CPaperInfo p = A4At600();
    p.margin = {10500, 1000, 10500, 1000};
    EXPECT_EQ(p.GetPrintableRect(), CRect{});
    p.margin = {1000, 15000, 1000, 15000};
    EXPECT_EQ(p.GetPrintableRect(), CRect{});
    EXPECT_EQ(Fit(2, 2).CalcPages(p, 1000, 1000), CPageGrid{});
    EXPECT_EQ(Dpi(144).CalcPages(p, 1000, 1000), CPageGrid{});
    EXPECT_FALSE(CalcBrowserSizeForPaper(Fit(1, 1), p, {100, 100}));
    // Margins as large as the settings file can hold once wrapped round.
    p.margin = {INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX};
    EXPECT_EQ(p.GetPrintableRect(), CRect{});
    EXPECT_EQ(Fit(2, 2).CalcPages(p, 1000, 1000), CPageGrid{});
}

TEST(PrintGeometry, FitTwoByTwoSquareBitmap)
{
    const CPaperInfo paper = A4At600();
    const CPageGrid grid = Fit(2, 2).CalcPages(paper, 1000, 1000);
    EXPECT_EQ(grid.papers, (CSize{2, 2}));
    EXPECT_EQ(grid.tile, (CSize{500, 729}));
    EXPECT_EQ(grid.TotalPages(), 4);

    const CRect sources[] = {{0, 0, 500, 729}, {500, 0, 1000, 729}, {0, 729, 500, 1000}, {500, 729, 1000, 1000}};
    for (int page = 1; page <= 4; ++page) {
        SCOPED_TRACE(page);
        const CTileMapping m = MapPageToTile(page, grid, paper, {1000, 1000});
        EXPECT_EQ(m.source, sources[page - 1]);
        // Drawn from the printable rectangle's corner, relative to the
        // hardware printable origin.
        EXPECT_EQ(m.dest.left, 236 - 100);
        EXPECT_EQ(m.dest.top, 236 - 120);
        EXPECT_EQ(m.dest.Width(), 4488);
        EXPECT_EQ(m.dest.Height(), page <= 2 ? 6544 : 2433);
    }
}

TEST(PrintGeometry, PagesOutsideTheGridMapToNothing)
{
    // A page range read from a settings file can name any page at all.
    const CPaperInfo paper = A4At600();
    const CPageGrid grid = Fit(2, 2).CalcPages(paper, 1000, 1000);
    for (int32_t page : {0, -1, INT32_MIN, 5, INT32_MAX - 1, INT32_MAX}) {
        SCOPED_TRACE(page);
        const CTileMapping m = MapPageToTile(page, grid, paper, {1000, 1000});
        EXPECT_TRUE(m.source.IsEmpty());
        EXPECT_EQ(m.dest.Width(), 0);
        EXPECT_EQ(m.dest.Height(), 0);
    }
}

TEST(PrintGeometry, FitWideBitmapNeedsOnlyOneRow)
{
    const CPageGrid grid = Fit(2, 2).CalcPages(A4At600(), 4000, 1000);
    EXPECT_EQ(grid.papers, (CSize{2, 1}));
    EXPECT_EQ(grid.TotalPages(), 2);
    EXPECT_EQ(grid.tile.cx, 2000);
}

TEST(PrintGeometry, FitTallBitmapLetsTheHeightDecide)
{
    // area 8976 x 13088: fit (4363, 13088)
    const CPageGrid grid = Fit(2, 2).CalcPages(A4At600(), 1000, 3000);
    EXPECT_EQ(grid.papers, (CSize{1, 2}));
    EXPECT_EQ(grid.tile, (CSize{1029, 1500}));
    const CTileMapping m = MapPageToTile(2, grid, A4At600(), {1000, 3000});
    EXPECT_EQ(m.source, (CRect{0, 1500, 1000, 3000}));
    EXPECT_EQ(m.dest.Width(), 4362);  // MulDiv(1000, 4488, 1029)
}

TEST(PrintGeometry, ThousandPixelsOverThreePapersDropTheLastColumn)
{
    const CPaperInfo paper = A4At600();
    const CPageGrid grid = Fit(3, 1).CalcPages(paper, 1000, 100);
    EXPECT_EQ(grid.papers, (CSize{3, 1}));
    EXPECT_EQ(grid.tile.cx, 333);
    const CTileMapping last = MapPageToTile(3, grid, paper, {1000, 100});
    EXPECT_EQ(last.source.left, 666);
    EXPECT_EQ(last.source.right, 999);
}

TEST(PrintGeometry, LastPageIsTheBottomRightTile)
{
    const CPaperInfo paper = A4At600();
    const CPageGrid grid = Fit(3, 3).CalcPages(paper, 3000, 4000);
    const CTileMapping m = MapPageToTile(grid.TotalPages(), grid, paper, {3000, 4000});
    EXPECT_EQ(m.source.right, grid.papers.cx * grid.tile.cx);
    EXPECT_EQ(m.source.bottom, 4000);
    EXPECT_EQ(m.source.left, (grid.papers.cx - 1) * grid.tile.cx);
}

TEST(PrintGeometry, Dpi144)
{
    const CPaperInfo paper = A4At600();
    const CPageGrid grid = Dpi(144).CalcPages(paper, 1440, 720);
    EXPECT_EQ(grid.papers, (CSize{2, 1}));
    EXPECT_EQ(grid.tile, (CSize{1077, 1571}));
    // The tile is taller than the bitmap: the source stops at its edge.
    const CTileMapping m = MapPageToTile(2, grid, paper, {1440, 720});
    EXPECT_EQ(m.source, (CRect{1077, 0, 1440, 720}));
    EXPECT_EQ(m.dest.Width(), 1513);   // MulDiv(363, 4488, 1077)
    EXPECT_EQ(m.dest.Height(), 2999);  // MulDiv(720, 6544, 1571)
}

TEST(PrintGeometry, AbsurdStoredSettingsGiveNoSheets)
{
    EXPECT_EQ(Dpi(0).CalcPages(A4At600(), 1440, 720).TotalPages(), 0);
    EXPECT_EQ(Dpi(-5).CalcPages(A4At600(), 1440, 720).TotalPages(), 0);
    // No sheets across: an area 0 dots wide, the square fits as 0 x 0.
    EXPECT_EQ(Fit(0, 2).CalcPages(A4At600(), 1000, 1000), CPageGrid{});
    // Minus one sheet each way: an area of -4488 x -6544; the height decides,
    // the fit is -6544 x -6544, and (-6544 + 4487) / 4488 and
    // (-6544 + 6543) / 6544 both truncate to 0 sheets.
    EXPECT_EQ(Fit(-1, -1).CalcPages(A4At600(), 1000, 1000), CPageGrid{});
    EXPECT_EQ(Fit(1, 1).CalcPages(A4At600(), 0, 1000), CPageGrid{});
    EXPECT_FALSE(CalcBrowserSizeForPaper(Dpi(0), A4At600(), {100, 100}));
    // Huge counts saturate instead of overflowing: the area is 2147483647
    // dots each way and the square fills it, (2147483647 + 4487) / 4488 =
    // 478495 sheets across and (2147483647 + 6543) / 6544 = 328161 down;
    // 1000 / 478495 and 6544 * 1000 / 2147483647 leave tiles of 0 pixels,
    // and the page count stops at 2147483647.
    const CPageGrid huge = Fit(INT32_MAX, INT32_MAX).CalcPages(A4At600(), 1000, 1000);
    EXPECT_EQ(huge, (CPageGrid{{478495, 328161}, {0, 0}}));
    EXPECT_EQ(huge.TotalPages(), INT32_MAX);
}

TEST(PrintGeometry, FitSizeInside)
{
    EXPECT_EQ(FitSizeInside({8976, 13088}, {1000, 1000}), (CSize{8976, 8976}));
    EXPECT_EQ(FitSizeInside({100, 100}, {300, 200}), (CSize{100, 67}));
    EXPECT_EQ(FitSizeInside({100, 100}, {200, 300}), (CSize{67, 100}));
}

TEST(PrintGeometry, GrowSizeToAspectNeverShrinks)
{
    // Already wider than the area's shape: keeps its width, grows in height.
    EXPECT_EQ(GrowSizeToAspect({800, 100}, {100, 100}), (CSize{800, 800}));
    EXPECT_EQ(GrowSizeToAspect({100, 800}, {100, 100}), (CSize{800, 800}));
    EXPECT_EQ(GrowSizeToAspect({1000, 500}, {8976, 6544}), (CSize{1000, 729}));
    EXPECT_EQ(GrowSizeToAspect({200, 100}, {200, 100}), (CSize{200, 100}));
}

TEST(PrintGeometry, BrowserSizeForPaper)
{
    const CPaperInfo paper = A4At600();
    // Two A4 sheets side by side: 8976 x 6544.
    EXPECT_EQ(CalcBrowserSizeForPaper(Fit(2, 1), paper, {1000, 500}), (CSize{1000, 729}));
    // 1440 x 720 at 144 dpi takes 2 x 1 sheets = 8976 x 6544 dots
    // = 37998 x 27703 hundredths of a mm = 2154 x 1570 pixels.
    EXPECT_EQ(CalcBrowserSizeForPaper(Dpi(144), paper, {1440, 720}), (CSize{2154, 1570}));
    EXPECT_FALSE(CalcBrowserSizeForPaper(Fit(1, 1), paper, {0, 100}));
}

struct PaperRow {
    int code;
    CSize size;
};

class PrintPaperTable : public testing::TestWithParam<PaperRow> {};

TEST_P(PrintPaperTable, Size)
{
    EXPECT_EQ(GetStandardPaperSize(GetParam().code), GetParam().size);
}

INSTANTIATE_TEST_SUITE_P(Rows, PrintPaperTable,
                         testing::Values(PaperRow{1, {21590, 27940}}, PaperRow{9, {21000, 29700}},
                                         PaperRow{13, {18200, 25700}}, PaperRow{19, {9842, 22542}},
                                         PaperRow{26, {86360, 111760}}, PaperRow{38, {9207, 16510}},
                                         PaperRow{47, {22000, 22000}}, PaperRow{50, {24130, 30480}},
                                         PaperRow{52, {29692, 45720}}, PaperRow{66, {42000, 59400}},
                                         PaperRow{77, {29700, 21000}}, PaperRow{90, {30480, 27940}},
                                         PaperRow{107, {15100, 9700}}, PaperRow{118, {45800, 32400}}),
                         [](const testing::TestParamInfo<PaperRow>& info) { return "Code" + std::to_string(info.param.code); });

TEST(PrintPaperTableErrors, UnknownCodes)
{
    EXPECT_EQ(ErrorIdOf([] { GetStandardPaperSize(0); }), 58981u);
    for (int code : {48, 49, 119, -1, 256})
        EXPECT_EQ(ErrorIdOf([=] { GetStandardPaperSize(code); }), 58982u) << code;
    int known = 0;
    for (int code = 1; code <= 118; ++code)
        known += ErrorIdOf([=] { GetStandardPaperSize(code); }) == 0;
    EXPECT_EQ(known, 116);
}

TEST(PrintPaperTableErrors, FindCodeBySize)
{
    EXPECT_EQ(FindStandardPaperCode(21000, 29700), 9);
    EXPECT_EQ(FindStandardPaperCode(21590, 27940), 1);
    EXPECT_EQ(FindStandardPaperCode(10478, 24130, 5), 20);
    // A4 from a PPD, in whole points; the nearest row wins.
    EXPECT_EQ(FindStandardPaperCode(20990, 29704, 20), 9);
    EXPECT_EQ(FindStandardPaperCode(21500, 27500, 100), 15);
    EXPECT_FALSE(FindStandardPaperCode(12345, 6789, 5));
}

class PrintDevMode : public testing::Test {
protected:
    void SetUp() override { SetLanguage(UiLanguage::Japanese); }
    static CDevMode A4(uint32_t extra = 0)
    {
        CDevMode dm;
        dm.fields = DM_ORIENTATION | DM_PAPERSIZE | extra;
        dm.paperSize = 9;
        return dm;
    }
    static CSize SizeOf(const CDevMode& dm)
    {
        CPaperInfo p;
        p.SetDevMode(dm);
        return {p.paperWidth, p.paperHeight};
    }
};

TEST_F(PrintDevMode, TableSizeAndLandscapeSwap)
{
    EXPECT_EQ(SizeOf(A4()), (CSize{21000, 29700}));
    CDevMode dm = A4();
    dm.orientation = DMORIENT_LANDSCAPE;
    EXPECT_EQ(SizeOf(dm), (CSize{29700, 21000}));
}

TEST_F(PrintDevMode, ExplicitWidthOverridesTheTable)
{
    CDevMode dm = A4(DM_PAPERWIDTH);
    dm.paperWidth = 2000;
    EXPECT_EQ(SizeOf(dm), (CSize{20000, 29700}));
}

TEST_F(PrintDevMode, UserCodeTakesTheLengths)
{
    CDevMode dm = A4(DM_PAPERLENGTH | DM_PAPERWIDTH);
    dm.paperSize = DMPAPER_USER;
    dm.paperLength = 3000;
    dm.paperWidth = 1500;
    EXPECT_EQ(SizeOf(dm), (CSize{15000, 30000}));
    dm.fields &= ~DM_PAPERSIZE;
    dm.paperSize = 9;
    EXPECT_EQ(SizeOf(dm), (CSize{15000, 30000}));
}

TEST_F(PrintDevMode, CodeAboveTheTableFailsEvenWithLengths)
{
    CDevMode dm = A4(DM_PAPERLENGTH | DM_PAPERWIDTH);
    dm.paperSize = 119;
    dm.paperLength = 3000;
    dm.paperWidth = 1500;
    EXPECT_EQ(ErrorIdOf([&] { SizeOf(dm); }), 58982u);
}

TEST_F(PrintDevMode, MissingFields)
{
    CDevMode dm = A4();
    dm.fields = DM_PAPERSIZE;
    EXPECT_EQ(ErrorIdOf([&] { SizeOf(dm); }), 58978u);
    dm.fields = DM_ORIENTATION;
    EXPECT_EQ(ErrorIdOf([&] { SizeOf(dm); }), 58979u);
    dm.fields = DM_ORIENTATION | DM_PAPERSIZE | DM_PAPERLENGTH;
    dm.paperSize = 0;
    EXPECT_EQ(ErrorIdOf([&] { SizeOf(dm); }), 58980u);
    try {
        dm.fields = DM_PAPERSIZE;
        SizeOf(dm);
        FAIL() << "a size without the orientation was accepted";
    } catch (const my::CException& e) {
        EXPECT_EQ(e.Err().text, "DM_ORIENTATION が設定されていません");
    }
}
