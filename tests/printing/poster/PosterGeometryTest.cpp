#include "printing/A4At600.h"
#include "errors/Exception.h"
#include "errors/MessageFormat.h"
#include "errors/ProgramMessages.h"
#include "printing/poster/PosterGeometry.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace {

CFitImageToPageSetting Setting(PrintImageFitType type, int across, int down, int dpi = 144)
{
    CFitImageToPageSetting s;
    s.fitType = type;
    s.papers = {across, down};
    s.dpi = dpi;
    return s;
}

constexpr int32_t k10mm = 1000;

}  // namespace

TEST(PosterGeometry, WithoutOverlapTheSheetsAreThePlainTiles)
{
    const CPaperInfo paper = A4At600();
    struct Case {
        CFitImageToPageSetting setting;
        CSize bitmap;
    };
    for (const Case& c : {Case{Setting(FIT, 2, 2), {1000, 1000}}, Case{Setting(FIT, 3, 1), {1000, 100}},
                          Case{Setting(DPI, 1, 1), {1440, 720}}}) {
        const CPageGrid plain = c.setting.CalcPages(paper, c.bitmap.cx, c.bitmap.cy);
        // Negative values read from a file count as none.
        for (int32_t overlap : {0, -50}) {
            const CPosterGrid poster = CalcPosterPages(c.setting, paper, c.bitmap, overlap);
            ASSERT_EQ(poster.grid, plain);
            EXPECT_EQ(poster.step, plain.tile);
            for (int32_t page = 1; page <= plain.TotalPages(); ++page) {
                const CPosterSheet sheet = MapPosterSheet(page, poster, paper, c.bitmap);
                const CTileMapping today = MapPageToTile(page, plain, paper, c.bitmap);
                EXPECT_EQ(sheet.tile.source, today.source);
                EXPECT_EQ(sheet.tile.dest, today.dest);
                EXPECT_EQ(sheet.unique, today.source);
                EXPECT_EQ(sheet.cut, today.dest);
            }
        }
    }
}

// Worked by hand: 10 mm = 236 dots; two sheets hold 2 x 4488 - 236 = 8740
// dots across, so the square bitmap is 8740 dots wide. A sheet carries
// 4488 / 8740 of it (514 px), the strip is 236 / 8740 of it (27 px).
TEST(PosterGeometry, FitTwoByTwoWithTenMillimetres)
{
    const CPaperInfo paper = A4At600();
    const CPosterGrid poster = CalcPosterPages(Setting(FIT, 2, 2), paper, {1000, 1000}, k10mm);
    EXPECT_EQ(poster.grid.papers, (CSize{2, 2}));
    EXPECT_EQ(poster.grid.tile, (CSize{514, 749}));
    EXPECT_EQ(poster.step, (CSize{487, 722}));

    const CRect sources[] = {{0, 0, 514, 749}, {487, 0, 1000, 749}, {0, 722, 514, 1000}, {487, 722, 1000, 1000}};
    const CRect uniques[] = {{0, 0, 487, 722}, {487, 0, 1000, 722}, {0, 722, 487, 1000}, {487, 722, 1000, 1000}};
    for (int page = 1; page <= 4; ++page) {
        SCOPED_TRACE(page);
        const CPosterSheet s = MapPosterSheet(page, poster, paper, {1000, 1000});
        EXPECT_EQ(s.tile.source, sources[page - 1]);
        EXPECT_EQ(s.unique, uniques[page - 1]);
        EXPECT_EQ(s.row, (page - 1) / 2);
        EXPECT_EQ(s.column, (page - 1) % 2);
        EXPECT_EQ(s.tile.dest.left, 136);
        EXPECT_EQ(s.tile.dest.top, 116);
    }
    const CPosterSheet first = MapPosterSheet(1, poster, paper, {1000, 1000});
    EXPECT_EQ(first.tile.dest, (CRect{136, 116, 136 + 4488, 116 + 6544}));
    // 487 of 514 px on 4488 dots; 722 of 749 px on 6544 dots.
    EXPECT_EQ(first.cut, (CRect{136, 116, 136 + 4252, 116 + 6308}));
    const CPosterSheet last = MapPosterSheet(4, poster, paper, {1000, 1000});
    EXPECT_EQ(last.cut, last.tile.dest);
    EXPECT_EQ(last.tile.dest, (CRect{136, 116, 136 + 4479, 116 + 2429}));

    // (4252 + 4479) x (6308 + 2429) dots at 600 dpi.
    EXPECT_EQ(FinishedPosterSize(poster, paper, {1000, 1000}), (CSize{36961, 36987}));
}

TEST(PosterGeometry, DpiKeepsItsScaleAndTakesMoreSheets)
{
    const CPaperInfo paper = A4At600();
    const CFitImageToPageSetting dpi = Setting(DPI, 1, 1, 144);
    // 1440 px at 144 dpi = 6000 dots: a sheet carries 4488 / 6000 of it
    // (1077 px) with or without overlap; the strip is 236 / 6000 (57 px).
    const CPosterGrid poster = CalcPosterPages(dpi, paper, {1440, 720}, k10mm);
    EXPECT_EQ(poster.grid.tile, dpi.CalcPages(paper, 1440, 720).tile);
    EXPECT_EQ(poster.grid.tile, (CSize{1077, 1571}));
    EXPECT_EQ(poster.step, (CSize{1020, 1514}));
    EXPECT_EQ(poster.grid.papers, (CSize{2, 1}));

    // 2100 px = 8750 dots fit two plain sheets (8976) but not two that share
    // a strip: 1020 + 1077 = 2097 px < 2100.
    EXPECT_EQ(dpi.CalcPages(paper, 2100, 720).papers, (CSize{2, 1}));
    const CPosterGrid wider = CalcPosterPages(dpi, paper, {2100, 720}, k10mm);
    EXPECT_EQ(wider.grid.papers, (CSize{3, 1}));
    EXPECT_EQ(wider.grid.tile, (CSize{1077, 1571}));
}

// Button 161 with a glue strip: the capture grows to fill the sheets that
// share it, and the print job's grid then ends exactly at its edge.
TEST(PosterGeometry, BrowserSizeForPaperCountsTheOverlap)
{
    const CPaperInfo paper = A4At600();
    // Two sheets of 4488 x 6544 dots sharing 236 dots: 8740 x 6544; a
    // 1000 x 500 capture grows to 1000 x 6544 * 1000 / 8740 = 1000 x 749
    // (729 without the strip).
    EXPECT_EQ(CalcPosterBrowserSize(Setting(FIT, 2, 1), paper, {1000, 500}, k10mm), (CSize{1000, 749}));
    EXPECT_EQ(CalcPosterBrowserSize(Setting(FIT, 2, 1), paper, {1000, 500}, 0), (CSize{1000, 729}));

    // 1440 x 720 at 144 dpi takes 2 x 1 sheets: 8740 x 6544 dots =
    // 36999 x 27702 hundredths of a mm = 2097 x 1570 pixels (2154 without).
    const CFitImageToPageSetting dpi = Setting(DPI, 1, 1, 144);
    const auto grown = CalcPosterBrowserSize(dpi, paper, {1440, 720}, k10mm);
    ASSERT_EQ(grown, (CSize{2097, 1570}));
    const CPosterGrid poster = CalcPosterPages(dpi, paper, *grown, k10mm);
    EXPECT_EQ(poster.grid.papers, (CSize{2, 1}));
    EXPECT_EQ(poster.step.cx + poster.grid.tile.cx, grown->cx);
    EXPECT_FALSE(CalcPosterBrowserSize(dpi, paper, {0, 720}, k10mm));
    EXPECT_FALSE(CalcPosterBrowserSize(Setting(FIT, 0, 1), paper, {1000, 500}, k10mm));
}

TEST(PosterGeometry, FitKeepsItsSheetsWhereTheAreaAllowsAndOverlapIsBounded)
{
    const CPaperInfo paper = A4At600();
    EXPECT_EQ(CalcPosterPages(Setting(FIT, 3, 3), paper, {3000, 4000}, k10mm).grid.papers, (CSize{3, 3}));
    EXPECT_EQ(CalcPosterPages(Setting(FIT, 2, 2), paper, {4000, 1000}, k10mm).grid.papers, (CSize{2, 1}));
    // A stored overlap beyond 30 mm counts as 30 mm.
    EXPECT_EQ(CalcPosterPages(Setting(FIT, 2, 2), paper, {1000, 1000}, 99999),
              CalcPosterPages(Setting(FIT, 2, 2), paper, {1000, 1000}, 3000));
    // On a sheet with 40 mm of printable width the strip stops at half of
    // it. Printable 2008..2953 = 945 x 6544 dots; 30 mm is 709 dots, held to
    // 945 / 2 = 472 across. Two sheets hold 2 x 945 - 472 = 1418 dots, the
    // square fills 1418 x 1418. Across: tiles of 945 * 1000 / 1418 = 666
    // pixels would share 472 * 1000 / 1418 = 333 and reach only
    // 333 + 666 = 999 of the 1000 pixels, so they step (1000 - 333) / 2
    // rounded up = 334 and are 334 + 333 = 667 wide. Down: one sheet, tile
    // 6544 * 1000 / 1418 = 4615, step 4615 - 709 * 1000 / 1418 = 4615 - 500.
    CPaperInfo narrow = paper;
    narrow.margin = {8500, 1000, 8500, 1000};
    const CPosterGrid poster = CalcPosterPages(Setting(FIT, 2, 1), narrow, {1000, 1000}, 3000);
    EXPECT_EQ(poster, (CPosterGrid{{{2, 1}, {667, 4615}}, {334, 4115}}));
}

// The property a person relies on: cut along the guides, the unique parts
// make the whole capture, nothing missing and nothing twice, and inner
// neighbours repeat the overlap's width (at the printer's resolution).
struct OverlapCase {
    PrintImageFitType type;
    int across, down, dpi;
    CSize bitmap;
    int32_t overlap;
};

class PosterOverlap : public testing::TestWithParam<OverlapCase> {};

TEST_P(PosterOverlap, UniquePartsTileTheCaptureAndNeighboursShareTheStrip)
{
    const OverlapCase& c = GetParam();
    const CPaperInfo paper = A4At600();
    const CPosterGrid poster = CalcPosterPages(Setting(c.type, c.across, c.down, c.dpi), paper, c.bitmap, c.overlap);
    ASSERT_GT(poster.Sheets(), 1);
    if (c.type == FIT) {
        EXPECT_TRUE(poster.grid.papers.cx == c.across || poster.grid.papers.cy == c.down);
    }

    std::vector<uint8_t> covered(size_t(c.bitmap.cx) * c.bitmap.cy, 0);
    const CRect printable = paper.GetPrintableRect();
    for (int32_t page = 1; page <= poster.Sheets(); ++page) {
        const CPosterSheet s = MapPosterSheet(page, poster, paper, c.bitmap);
        for (int32_t y = s.unique.top; y < s.unique.bottom; ++y)
            for (int32_t x = s.unique.left; x < s.unique.right; ++x)
                ++covered[size_t(y) * c.bitmap.cx + x];
        if (s.column + 1 < poster.grid.papers.cx) {
            const CPosterSheet right = MapPosterSheet(page + 1, poster, paper, c.bitmap);
            // The overlap in dots, in this sheet's pixels.
            const double dots = c.overlap * 600 / 2540.0;
            const double expected = dots * poster.grid.tile.cx / printable.Width();
            EXPECT_NEAR(s.tile.source.right - right.tile.source.left, expected, 1.0) << page;
            EXPECT_EQ(right.unique.left, s.unique.right);
        }
    }
    size_t missing = 0, twice = 0;
    for (uint8_t n : covered) {
        missing += n == 0;
        twice += n > 1;
    }
    EXPECT_EQ(missing, 0u);
    EXPECT_EQ(twice, 0u);
}

INSTANTIATE_TEST_SUITE_P(Grids, PosterOverlap,
                         testing::Values(OverlapCase{FIT, 2, 2, 0, {1000, 1000}, 1000},
                                         OverlapCase{FIT, 3, 3, 0, {3001, 1999}, 1000},
                                         OverlapCase{FIT, 4, 2, 0, {997, 1500}, 2550},
                                         OverlapCase{FIT, 3, 1, 0, {1000, 100}, 5},
                                         OverlapCase{DPI, 1, 1, 144, {2100, 720}, 1000},
                                         OverlapCase{DPI, 1, 1, 300, {3003, 4001}, 3000}),
                         [](const testing::TestParamInfo<OverlapCase>& info) {
                             const OverlapCase& c = info.param;
                             return std::string(c.type == FIT ? "Fit" : "Dpi") + std::to_string(c.across) + "x" +
                                    std::to_string(c.down) + "Of" + std::to_string(c.bitmap.cx) + "x" +
                                    std::to_string(c.bitmap.cy) + "Overlap" + std::to_string(c.overlap);
                         });

TEST(PosterGeometry, AssemblySheetShowsThePrintedAreaAboveItsCaption)
{
    const CPaperInfo paper = A4At600();
    const CPosterGrid poster = CalcPosterPages(Setting(FIT, 2, 2), paper, {1000, 1000}, k10mm);
    const CAssemblySheetLayout layout = LayOutAssemblySheet(poster, paper, {1000, 1000});
    // 8 mm caption (189 dots) at the bottom of the printable rectangle; the
    // square picture 4488 dots wide, centred in the 6355 dots above it.
    EXPECT_EQ(layout.source, (CRect{0, 0, 1000, 1000}));
    EXPECT_EQ(layout.caption, (CRect{136, 6471, 4624, 6660}));
    EXPECT_EQ(layout.dest, (CRect{136, 1049, 4624, 5537}));
    EXPECT_EQ(MapToAssemblySheet({487, 722, 1000, 1000}, layout), (CRect{2322, 4289, 4624, 5537}));
}

// Margins wider or taller than the paper (as a damaged settings file may
// hold them) leave no sheets, whatever the fit, scale and overlap; the
// command is refused with a message that says so, before any job exists.
TEST(PosterGeometry, MarginsLargerThanThePaperAreRefusedBeforeTheJob)
{
    CPaperInfo paper = A4At600();
    for (const CRect& margin : {CRect{INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX}, CRect{0, 15000, 0, 15000},
                                CRect{10500, 0, 10500, 0}}) {
        paper.margin = margin;
        for (const CFitImageToPageSetting& setting : {Setting(FIT, 1, 1), Setting(FIT, 3, 2), Setting(DPI, 1, 1)}) {
            for (int32_t overlap : {0, k10mm}) {
                const CPosterGrid poster = CalcPosterPages(setting, paper, {320, 240}, overlap);
                try {
                    CheckPosterSheets(poster.grid);
                    ADD_FAILURE() << "no refusal for margin " << margin.left << "," << margin.top;
                } catch (const my::CException& e) {
                    EXPECT_EQ(e.Err().msgId, uint32_t{kMsgNoRoomOnPaper});
                    EXPECT_EQ(e.Err().text, FormatMessageText(kMsgNoRoomOnPaper));
                    EXPECT_NE(e.Err().text.find("余白"), std::string::npos) << e.Err().text;
                }
            }
        }
    }
}

// A stored sheet count of 2147483647 would print for ever: more than
// kMaxJobSheets sheets are refused with the count and the limit; the limit
// itself is printed.
TEST(PosterGeometry, PostersOfMoreSheetsThanTheLimitAreRefused)
{
    const CPaperInfo paper = A4At600();
    EXPECT_NO_THROW(CheckPosterSheets(CalcPosterPages(Setting(FIT, 2, 2), paper, {320, 240}, 0).grid));
    EXPECT_NO_THROW(CheckPosterSheets(CPageGrid{{kMaxJobSheets, 1}, {1, 1}}));
    struct Case {
        CPageGrid grid;
        std::string count;
    };
    for (const Case& c : {Case{{{kMaxJobSheets + 1, 1}, {1, 1}}, "1001"},
                          Case{{{INT32_MAX, INT32_MAX}, {1, 1}}, "2147483647"},
                          Case{CalcPosterPages(Setting(FIT, INT32_MAX, INT32_MAX), paper, {320, 240}, 0).grid, ""},
                          Case{CalcPosterPages(Setting(DPI, 1, 1, 1), paper, {32767, 32767}, 0).grid, ""}}) {
        try {
            CheckPosterSheets(c.grid);
            ADD_FAILURE() << "no refusal for " << c.grid.papers.cx << " x " << c.grid.papers.cy << " sheets";
        } catch (const my::CException& e) {
            EXPECT_EQ(e.Err().msgId, 61751u);
            const std::string count = c.count.empty() ? std::to_string(c.grid.TotalPages()) : c.count;
            EXPECT_EQ(e.Err().text, FormatMessageText(61751, {count, "1000"}));
        }
    }
}
