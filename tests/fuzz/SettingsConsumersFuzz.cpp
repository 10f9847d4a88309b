// libFuzzer target: any bytes as a settings file, read as start-up reads it
// (values brought into range), then handed to everything display-free that
// consumes them: the capture rectangle, the poster geometry (with its glue
// overlap and assembly sheet), the window placement, the band layout, the
// scroll ranges and the overlay layout. The sanitizers report any overflow,
// out-of-range index or leak on the way.
#include "browser/CapturePixels.h"
#include "browser/OverlayGeometry.h"
#include "browser/QuorvaScrollViewGeometry.h"
#include "common/Saturate.h"
#include "printing/poster/PosterGeometry.h"
#include "printing/poster/TileGeometry.h"
#include "settings/SettingFormat.h"
#include "settings/SettingRange.h"
#include "shell/ReBarLayout.h"
#include "shell/WindowPlacement.h"

#include <cstdint>
#include <string>
#include <tuple>

namespace {

// A4 at 600 dots per inch with 4 mm hardware margins, and a small sheet at an
// odd resolution.
CPaperInfo Paper(int which)
{
    CPaperInfo paper;
    if (which == 0) {
        paper.paperWidth = 21000, paper.paperHeight = 29700, paper.resX = paper.resY = 600;
        paper.physicalWidth = 4960, paper.physicalHeight = 7016;
        paper.hardPrintable = {94, 94, 4866, 6922};
    } else {
        paper.paperWidth = 10000, paper.paperHeight = 14800, paper.resX = 203, paper.resY = 97;
        paper.physicalWidth = 799, paper.physicalHeight = 565;
        paper.hardPrintable = {0, 0, 799, 565};
    }
    return paper;
}

void Poster(const CSetting& setting, const CSize& bitmap)
{
    for (int which = 0; which < 2; ++which) {
        CPaperInfo paper = Paper(which);
        paper.margin = setting.pageSetting.margin;
        paper.GetPrintableRect();
        const CPageGrid grid = setting.pageSetting.CalcPages(paper, bitmap.cx, bitmap.cy);
        const int32_t total = grid.TotalPages();
        // The first and last pages and a few beyond, as the print dialog's
        // range may ask for them.
        for (int32_t page : {1, 2, total - 1, total, total + 1, setting.printSetting.pageFrom, setting.printSetting.pageTo})
            MapPageToTile(page, grid, paper, bitmap);
        CalcBrowserSizeForPaper(setting.pageSetting, paper, bitmap);

        // The same with the glue overlap and the assembly aids.
        const CPosterGrid poster = CalcPosterPages(setting.pageSetting, paper, bitmap, setting.pageSetting.assembly.overlap);
        const int32_t sheets = poster.Sheets();
        const CAssemblySheetLayout overview = LayOutAssemblySheet(poster, paper, bitmap);
        for (int32_t sheet : {1, 2, sheets - 1, sheets, sheets + 1}) {
            const CPosterSheet mapped = MapPosterSheet(sheet, poster, paper, bitmap);
            MapToAssemblySheet(mapped.unique, overview);
            SheetName(mapped.row, mapped.column);
        }
        FinishedPosterSize(poster, paper, bitmap);
        PosterPageCount(poster.grid, setting.pageSetting.assembly);
    }
}

void Screen(const CSetting& setting)
{
    const CRect screens[] = {{0, 0, 1920, 1080}, {-1280, -200, 2560, 1440}};
    for (const CRect& screen : screens)
        FitRectIntoScreen(LimitRectToScreenSize(setting.mainFrame.rect, screen), screen);

    CReBarLayout layout;
    layout.AddBand(kBandMenuBar, false);
    layout.AddBand(kBandToolBar, true);
    layout.AddBand(kBandSizeBar, true);
    layout.Apply(setting.mainFrame.bands);
    layout.Rows();
    layout.Store();
}

void View(const CSetting& setting)
{
    const CSize browser{BrowserSide(setting.width), BrowserSide(setting.height)};
    const CRect kept = CaptureRect(browser, setting.trim);
    kept.Width();
    kept.Height();

    const CRect clients[] = {{0, 0, 800, 600}, {0, 0, 1, 1}};
    for (const CRect& client : clients) {
        for (const auto& [size, origin, clientSize] :
             {std::tuple{browser.cx, -setting.scrollX, client.Width()}, std::tuple{browser.cy, -setting.scrollY, client.Height()}}) {
            const CScrollBarInfo bar = CalcScrollBar(size, clientSize, origin);
            for (auto request : {ScrollRequest::LineUp, ScrollRequest::LineDown, ScrollRequest::PageUp,
                                 ScrollRequest::PageDown, ScrollRequest::ThumbTrack})
                CalcScrollStep(bar, request, origin);
        }
        const CPoint edge{SaturatedSum(browser.cx, -setting.scrollX), SaturatedSum(browser.cy, -setting.scrollY)};
        CalcSurroundPaint(client, edge);
        SplitterZone({edge.x + 3, edge.y + 3}, edge);
        SplitterDragSize(kZoneCorner, edge, {setting.width, setting.height}, {0, 0});

        const COverlayGeometry overlay(client, setting);
        overlay.Kept();
        overlay.Strips();
        for (int handle = 0; handle < kHandleCount; ++handle)
            overlay.HandleRect(handle, {95, 14});
    }
    if (!kept.IsEmpty())
        Poster(setting, {kept.Width(), kept.Height()});
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CXmlSerializer xml;
    CSetting setting;
    if (!xml.LoadText(std::string(reinterpret_cast<const char*>(data), size), "Quorvane32.config"))
        return 0;
    // Start-up goes on with what was read when the user answers OK.
    ReadSettingDocument(xml, setting);
    BringIntoRange(setting);
    Screen(setting);
    View(setting);
    return 0;
}
