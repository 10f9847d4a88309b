#include "printing/dialogs/PageSetupPaper.h"
#include "printing/poster/PreviewLayout.h"

#include <gtest/gtest.h>

namespace {

// A4 portrait at 300 dpi with 10 mm margins; the printer cannot print on
// 4, 5, 6 and 7 mm along the left, top, right and bottom edges. Worked by
// hand: 2480 x 3508 dots, printable (118, 118)-(2362, 3390), that is
// 2244 x 3272 dots, hardware printable (47, 59)-(2409, 3425).
const CMediaInfo kA4{"iso_a4_210x297mm", "A4", 21000, 29700, {400, 500, 600, 700}};
const CMediaInfo kA3{"iso_a3_297x420mm", "A3", 29700, 42000, {400, 500, 600, 700}};

CPrinterPtr TestPrinter()
{
    return std::make_shared<CPrinter>("test", false, 300, std::vector<CMediaInfo>{kA4, kA3}, kA4.name,
                                      std::vector<std::string>{"tray-1"}, "", DMORIENT_PORTRAIT);
}

CPaperInfo A4Paper()
{
    CPrinterPtr printer = TestPrinter();
    return CPageSetupPaper(printer, printer->DefaultDevMode(), {1000, 1000, 1000, 1000}).PaperInfo();
}

CFitImageToPageSetting Fit(int across, int down)
{
    CFitImageToPageSetting s;
    s.papers = {across, down};
    return s;
}

}  // namespace

TEST(PreviewLayout, TheTestPaperIsWhatWasWorkedOut)
{
    const CPaperInfo paper = A4Paper();
    EXPECT_EQ(paper.physicalWidth, 2480);
    EXPECT_EQ(paper.physicalHeight, 3508);
    EXPECT_EQ(paper.GetPrintableRect(), (CRect{118, 118, 2362, 3390}));
    EXPECT_EQ(paper.hardPrintable, (CRect{47, 59, 2409, 3425}));
}

TEST(PreviewLayout, OneSheetHasThePapersShapeAndIsCentred)
{
    CPreviewLayout layout;
    layout.Relayout(Fit(1, 1), A4Paper(), {1000, 1000}, {200, 300});
    EXPECT_EQ(layout.grid.papers, (CSize{1, 1}));
    EXPECT_EQ(layout.sheet, (CSize{200, 283}));
    EXPECT_EQ(layout.origin, (CPoint{0, 8}));

    // A square preview: the height decides, the width follows the paper.
    layout.Relayout(Fit(1, 1), A4Paper(), {1000, 1000}, {300, 300});
    EXPECT_EQ(layout.sheet, (CSize{212, 300}));
    EXPECT_EQ(layout.origin, (CPoint{44, 0}));
}

TEST(PreviewLayout, AWideMapOnTwoByTwoTakesTwoSheetsSideBySide)
{
    CPreviewLayout layout;
    layout.Relayout(Fit(2, 2), A4Paper(), {4000, 1000}, {400, 300});
    EXPECT_EQ(layout.grid.papers, (CSize{2, 1}));
    EXPECT_EQ(layout.grid.tile, (CSize{2000, 2916}));
    EXPECT_EQ(layout.sheet, (CSize{198, 280}));
    EXPECT_EQ(layout.SheetRect(0, 0), (CRect{0, 10, 198, 290}));
    EXPECT_EQ(layout.SheetRect(1, 0), (CRect{202, 10, 400, 290}));
}

TEST(PreviewLayout, ThreeByThreeWithGaps)
{
    CPreviewLayout layout;
    layout.Relayout(Fit(3, 3), A4Paper(), {1000, 1000}, {300, 300});
    EXPECT_EQ(layout.grid.papers, (CSize{3, 3}));
    EXPECT_EQ(layout.sheet, (CSize{69, 97}));
    EXPECT_EQ(layout.origin, (CPoint{42, 0}));
    EXPECT_EQ(layout.SheetRect(2, 2), (CRect{42 + 2 * 73, 2 * 101, 42 + 2 * 73 + 69, 2 * 101 + 97}));
}

TEST(PreviewLayout, NoSheetsKeepTheOldGeometryAndDrawNothing)
{
    CPreviewLayout layout;
    layout.Relayout(Fit(1, 1), A4Paper(), {1000, 1000}, {200, 300});
    layout.Relayout(Fit(1, 1), A4Paper(), {0, 0}, {200, 300});
    EXPECT_EQ(layout.grid.papers, (CSize{0, 0}));
    EXPECT_EQ(layout.sheet, (CSize{200, 283}));
    EXPECT_FALSE(layout.HasSheets());
}

TEST(PreviewLayout, ScalesPrintableAndHardwareRectanglesOntoTheSheet)
{
    const CPaperInfo paper = A4Paper();
    EXPECT_EQ(ScaleToSheet(paper.GetPrintableRect(), {200, 283}, paper), (CRect{10, 10, 190, 273}));
    EXPECT_EQ(ScaleToSheet(paper.hardPrintable, {200, 283}, paper), (CRect{4, 5, 194, 276}));

    CPreviewLayout layout;
    layout.Relayout(Fit(1, 1), paper, {1000, 1000}, {200, 300});
    const CPreviewTile tile = PreviewTileOf(layout, paper, {1000, 1000}, 0, 0);
    EXPECT_EQ(tile.sheet, (CRect{0, 8, 200, 291}));
    EXPECT_EQ(tile.source, (CRect{0, 0, 1000, 1000}));
    // Tile 1000 x 1458 pixels onto 180 x 263: the bitmap's 1000 rows take 180.
    EXPECT_EQ(tile.dest, (CRect{10, 18, 190, 198}));
    EXPECT_EQ(tile.clip, (CRect{4, 13, 194, 284}));
}

TEST(PageSetupPaper, MarginsAreRaisedToWhatThePrinterCannotPrintOn)
{
    CPrinterPtr printer = TestPrinter();
    CPageSetupPaper paper(printer, printer->DefaultDevMode(), {1000, 1000, 1000, 1000});
    paper.SetMargin({100, 1000, 0, 1000});
    EXPECT_EQ(paper.Margin(), (CRect{400, 1000, 600, 1000}));
    // Landscape turns the paper a quarter: the bottom edge's 7 mm come to the left.
    CDevMode landscape = printer->DefaultDevMode();
    landscape.orientation = DMORIENT_LANDSCAPE;
    CPageSetupPaper turned(printer, landscape, {});
    turned.SetMargin({0, 0, 0, 0});
    EXPECT_EQ(turned.Margin(), (CRect{700, 400, 500, 600}));
    EXPECT_EQ(turned.PaperInfo().paperWidth, 29700);
    EXPECT_EQ(turned.PaperInfo().paperHeight, 21000);
    // Turning raises what the new edges need and lowers nothing.
    paper.SetOrientation(DMORIENT_LANDSCAPE);
    EXPECT_EQ(paper.Margin(), (CRect{700, 1000, 600, 1000}));
}

TEST(PageSetupPaper, PaperAndPrinterChoices)
{
    CPrinterPtr printer = TestPrinter();
    std::vector<std::string> opened;
    CPageSetupPaper paper(printer, printer->DefaultDevMode(), {1000, 1000, 1000, 1000},
                          [&](const std::string& name) -> CPrinterPtr {
                              opened.push_back(name);
                              return name == "other" ? TestPrinter() : nullptr;
                          });
    EXPECT_TRUE(paper.SelectMedia(kA3.name));
    EXPECT_EQ(paper.PaperInfo().paperHeight, 42000);
    EXPECT_FALSE(paper.SelectMedia("na_letter_8.5x11in"));
    EXPECT_EQ(paper.DevMode().media, kA3.name);

    paper.SetOrientation(DMORIENT_LANDSCAPE);
    EXPECT_FALSE(paper.SelectPrinter("gone"));
    EXPECT_EQ(paper.Printer(), printer);
    // Another printer with the same paper keeps the paper and the orientation.
    EXPECT_TRUE(paper.SelectPrinter("other"));
    EXPECT_EQ(paper.DevMode().media, kA3.name);
    EXPECT_EQ(paper.DevMode().orientation, DMORIENT_LANDSCAPE);
    EXPECT_EQ(opened, (std::vector<std::string>{"gone", "other"}));

    paper.SetSource("tray-1");
    EXPECT_TRUE(paper.DevMode().fields & DM_DEFAULTSOURCE);
    paper.SetSource("");
    EXPECT_FALSE(paper.DevMode().fields & DM_DEFAULTSOURCE);
}
