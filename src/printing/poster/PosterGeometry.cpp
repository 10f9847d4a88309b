#include "printing/poster/PosterGeometry.h"

#include "common/MulDiv.h"
#include "errors/Exception.h"
#include "errors/ProgramMessages.h"
#include "printing/poster/GeometryMath.h"

#include <algorithm>

namespace {

struct Axis {
    int32_t count = 0, tile = 0, step = 0;
};

// One direction of the poster: `bitmap` pixels shown `fitted` dots long on
// sheets whose printable part is `printable` dots, neighbours sharing
// `overlap` dots. DPI keeps its scale (`keepScale`) and takes as many sheets
// as the pixels need; FIT keeps the sheets it was given.
Axis OverlapAxis(int32_t bitmap, int32_t fitted, int32_t printable, int32_t overlap, bool keepScale)
{
    Axis a;
    if (bitmap <= 0 || fitted <= 0 || printable <= 0)
        return a;
    a.count = fitted > overlap ? SheetsFor(fitted - overlap, printable - overlap) : 1;
    a.tile = MulDiv(printable, bitmap, fitted);
    if (a.tile <= 0)
        return {a.count, 0, 0};
    const int32_t shared = std::min(MulDiv(overlap, bitmap, fitted), a.tile / 2);
    a.step = a.tile - shared;
    if (keepScale) {
        a.count = std::max(1, SheetsFor(bitmap - shared, a.step));
    } else if (static_cast<int64_t>(a.count - 1) * a.step + a.tile < bitmap) {
        // Rounding must not leave the capture's last pixels off the poster:
        // the tiles step a little further instead.
        a.step = SheetsFor(bitmap - shared, a.count);
        a.tile = a.step + shared;
    }
    return a;
}

// The glue strip in dots; it never takes more than half a sheet.
int32_t OverlapDots(int32_t overlap, int32_t resolution, int32_t printable)
{
    return std::clamp(MulDiv(overlap, resolution, 2540), 0, printable / 2);
}

// N sheets hold N printable widths less the N - 1 strips they share.
CSize OverlapArea(const CSize& papers, int32_t pw, int32_t ph, int32_t ox, int32_t oy)
{
    return {TruncSaturate32(double(pw) * papers.cx - double(ox) * (papers.cx - 1)),
            TruncSaturate32(double(ph) * papers.cy - double(oy) * (papers.cy - 1))};
}

}  // namespace

CPosterGrid CalcPosterPages(const CFitImageToPageSetting& setting, const CPaperInfo& paper, const CSize& bitmap,
                            int32_t overlap)
{
    overlap = kOverlapLimits.Clamp(overlap);
    const CRect printable = paper.GetPrintableRect();
    const int32_t pw = printable.Width();
    const int32_t ph = printable.Height();
    const int32_t ox = OverlapDots(overlap, paper.resX, pw);
    const int32_t oy = OverlapDots(overlap, paper.resY, ph);
    if (ox == 0 && oy == 0) {
        const CPageGrid grid = setting.CalcPages(paper, bitmap.cx, bitmap.cy);
        return {grid, grid.tile};
    }
    if (bitmap.cx <= 0 || bitmap.cy <= 0 || pw <= 0 || ph <= 0 || setting.papers.cx <= 0 || setting.papers.cy <= 0)
        return {};

    Axis x, y;
    if (setting.fitType == FIT) {
        const CSize area = OverlapArea(setting.papers, pw, ph, ox, oy);
        const CSize fit = FitSizeInside(area, bitmap);
        x = OverlapAxis(bitmap.cx, fit.cx, pw, ox, false);
        y = OverlapAxis(bitmap.cy, fit.cy, ph, oy, false);
    } else {
        const CSize dots = BitmapSizeInDots(paper, setting.dpi, bitmap.cx, bitmap.cy);
        x = OverlapAxis(bitmap.cx, dots.cx, pw, ox, true);
        y = OverlapAxis(bitmap.cy, dots.cy, ph, oy, true);
    }
    return {{{x.count, y.count}, {x.tile, y.tile}}, {x.step, y.step}};
}

std::optional<CSize> CalcPosterBrowserSize(const CFitImageToPageSetting& setting, const CPaperInfo& paper,
                                           const CSize& bitmap, int32_t overlap)
{
    overlap = kOverlapLimits.Clamp(overlap);
    const CRect printable = paper.GetPrintableRect();
    const int32_t pw = printable.Width();
    const int32_t ph = printable.Height();
    const int32_t ox = OverlapDots(overlap, paper.resX, pw);
    const int32_t oy = OverlapDots(overlap, paper.resY, ph);
    if (ox == 0 && oy == 0)
        return CalcBrowserSizeForPaper(setting, paper, bitmap);
    if (bitmap.cx <= 0 || bitmap.cy <= 0 || pw <= 0 || ph <= 0 || setting.papers.cx <= 0 || setting.papers.cy <= 0)
        return std::nullopt;
    if (setting.fitType == FIT)
        return GrowSizeToAspect(bitmap, OverlapArea(setting.papers, pw, ph, ox, oy));
    if (setting.dpi <= 0)
        return std::nullopt;
    // The sheets the print job takes at this scale, filled to their edges.
    const CSize papers = CalcPosterPages(setting, paper, bitmap, overlap).grid.papers;
    if (papers.cx <= 0 || papers.cy <= 0)
        return std::nullopt;
    const CSize dots = OverlapArea(papers, pw, ph, ox, oy);
    return DotsToBitmapSize(paper, setting.dpi, dots.cx, dots.cy);
}

CPosterSheet MapPosterSheet(int32_t sheet, const CPosterGrid& poster, const CPaperInfo& paper, const CSize& bitmap)
{
    CPosterSheet s;
    const CSize papers = poster.grid.papers;
    const CSize tile = poster.grid.tile;
    const CSize step = poster.step;
    if (papers.cx <= 0 || tile.cx <= 0 || tile.cy <= 0 || step.cx <= 0 || step.cy <= 0 || sheet < 1)
        return s;
    s.row = (sheet - 1) / papers.cx;
    s.column = (sheet - 1) % papers.cx;
    const CPoint origin{TruncSaturate32(double(s.column) * step.cx), TruncSaturate32(double(s.row) * step.cy)};
    s.tile = MapTileAt(origin, tile, paper, bitmap);
    const CRect& src = s.tile.source;
    if (src.IsEmpty())
        return s;

    // The strip a sheet shares with its right (lower) neighbour belongs to
    // that neighbour; the last sheet, or one whose neighbour gets nothing of
    // the capture, keeps all of its tile.
    const int64_t nextX = int64_t(origin.x) + step.cx;
    const int64_t nextY = int64_t(origin.y) + step.cy;
    const bool keepsRight = s.column == papers.cx - 1 || nextX >= bitmap.cx;
    const bool keepsBottom = s.row == papers.cy - 1 || nextY >= bitmap.cy;
    s.unique = {src.left, src.top, keepsRight ? src.right : int32_t(std::min<int64_t>(nextX, src.right)),
                keepsBottom ? src.bottom : int32_t(std::min<int64_t>(nextY, src.bottom))};

    const CRect printable = paper.GetPrintableRect();
    const CRect& dest = s.tile.dest;
    s.cut = {dest.left, dest.top, dest.left + MulDiv(s.unique.right - src.left, printable.Width(), tile.cx),
             dest.top + MulDiv(s.unique.bottom - src.top, printable.Height(), tile.cy)};
    return s;
}

CSize FinishedPosterSize(const CPosterGrid& poster, const CPaperInfo& paper, const CSize& bitmap)
{
    const CSize papers = poster.grid.papers;
    if (papers.cx <= 0 || papers.cy <= 0 || paper.resX <= 0 || paper.resY <= 0)
        return {};
    // Every sheet but the last of a row (column) gives one step; the last
    // one gives what is left of its tile.
    const CPosterSheet first = MapPosterSheet(1, poster, paper, bitmap);
    const CPosterSheet right = MapPosterSheet(papers.cx, poster, paper, bitmap);
    const CPosterSheet bottom = MapPosterSheet(TruncSaturate32(double(papers.cx) * (papers.cy - 1) + 1), poster, paper, bitmap);
    const double width = papers.cx == 1 ? right.cut.Width() : double(first.cut.Width()) * (papers.cx - 1) + right.cut.Width();
    const double height =
        papers.cy == 1 ? bottom.cut.Height() : double(first.cut.Height()) * (papers.cy - 1) + bottom.cut.Height();
    return {TruncSaturate32(width * 2540.0 / paper.resX + 0.5), TruncSaturate32(height * 2540.0 / paper.resY + 0.5)};
}

CAssemblySheetLayout LayOutAssemblySheet(const CPosterGrid& poster, const CPaperInfo& paper, const CSize& bitmap)
{
    CAssemblySheetLayout layout;
    const CRect printable = paper.GetPrintableRect();
    const CSize papers = poster.grid.papers;
    if (printable.IsEmpty() || papers.cx <= 0 || papers.cy <= 0)
        return layout;
    layout.source = {0, 0,
                     TruncSaturate32(std::min(double(bitmap.cx), double(papers.cx - 1) * poster.step.cx + poster.grid.tile.cx)),
                     TruncSaturate32(std::min(double(bitmap.cy), double(papers.cy - 1) * poster.step.cy + poster.grid.tile.cy))};
    // The caption takes 8 mm under the picture, or a quarter of a small sheet.
    const int32_t caption = std::min(MulDiv(800, paper.resY, 2540), printable.Height() / 4);
    const CPoint hw{paper.hardPrintable.left, paper.hardPrintable.top};
    layout.caption = {printable.left - hw.x, printable.bottom - caption - hw.y, printable.right - hw.x,
                      printable.bottom - hw.y};
    if (layout.source.IsEmpty())
        return layout;
    const CSize area{printable.Width(), printable.Height() - caption};
    const CSize fit = FitSizeInside(area, {layout.source.Width(), layout.source.Height()});
    layout.dest.left = printable.left - hw.x + (area.cx - fit.cx) / 2;
    layout.dest.top = printable.top - hw.y + (area.cy - fit.cy) / 2;
    layout.dest.right = layout.dest.left + fit.cx;
    layout.dest.bottom = layout.dest.top + fit.cy;
    return layout;
}

CRect MapToAssemblySheet(const CRect& unique, const CAssemblySheetLayout& layout)
{
    const CRect& s = layout.source;
    const CRect& d = layout.dest;
    if (s.IsEmpty())
        return {};
    return {d.left + MulDiv(unique.left - s.left, d.Width(), s.Width()),
            d.top + MulDiv(unique.top - s.top, d.Height(), s.Height()),
            d.left + MulDiv(unique.right - s.left, d.Width(), s.Width()),
            d.top + MulDiv(unique.bottom - s.top, d.Height(), s.Height())};
}

void CheckPosterSheets(const CPageGrid& grid)
{
    if (grid.papers.cx <= 0 || grid.papers.cy <= 0)
        throw my::CException(kMsgNoRoomOnPaper);
    if (grid.TotalPages() > kMaxJobSheets)
        throw my::CException(IDS_BATCH_TOO_MANY_SHEETS, {std::to_string(grid.TotalPages()), std::to_string(kMaxJobSheets)});
}

int32_t PosterPageCount(const CPageGrid& grid, const CAssemblySetting& assembly)
{
    const int32_t sheets = grid.TotalPages();
    if (sheets <= 0)
        return sheets;
    return assembly.assemblySheet && sheets < INT32_MAX ? sheets + 1 : sheets;
}

std::string SheetName(int32_t row, int32_t column)
{
    std::string letters;
    for (int64_t n = int64_t(row) + 1; n > 0; n = (n - 1) / 26)
        letters.insert(letters.begin(), char('A' + (n - 1) % 26));
    return letters + std::to_string(int64_t(column) + 1);
}
