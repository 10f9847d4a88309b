#include "common/MulDiv.h"
#include "printing/poster/GeometryMath.h"
#include "printing/poster/TileGeometry.h"

#include <algorithm>

CSize FitSizeInside(const CSize& area, const CSize& bitmap)
{
    const int32_t h = MulDiv(area.cx, bitmap.cy, bitmap.cx);
    if (h <= area.cy)
        return {area.cx, h};
    const int32_t w = MulDiv(area.cy, bitmap.cx, bitmap.cy);
    return {std::min(w, area.cx), area.cy};
}

CSize GrowSizeToAspect(const CSize& size, const CSize& area)
{
    const int32_t w = MulDiv(area.cx, size.cy, area.cy);
    if (w >= size.cx)
        return {w, size.cy};
    const int32_t h = MulDiv(area.cy, size.cx, area.cx);
    if (h >= size.cy)
        return {size.cx, h};
    return size;
}

CPageGrid CFitImageToPageSetting::CalcPages(const CPaperInfo& paper, int32_t bitmapWidth, int32_t bitmapHeight) const
{
    const CRect printable = paper.GetPrintableRect();
    const int32_t pw = printable.Width();
    const int32_t ph = printable.Height();
    if (bitmapWidth <= 0 || bitmapHeight <= 0 || pw <= 0 || ph <= 0)
        return {};

    CPageGrid grid;
    if (fitType == FIT) {
        const CSize area{Times(pw, papers.cx), Times(ph, papers.cy)};
        const CSize fit = FitSizeInside(area, {bitmapWidth, bitmapHeight});
        grid.papers = {SheetsFor(fit.cx, pw), SheetsFor(fit.cy, ph)};
        if (grid.papers.cx <= 0 || grid.papers.cy <= 0)
            return {grid.papers, {}};
        if (fit.cx == area.cx) {
            grid.tile = {bitmapWidth / grid.papers.cx, MulDiv(ph, bitmapHeight, fit.cy)};
        } else {
            grid.tile = {MulDiv(pw, bitmapWidth, fit.cx), bitmapHeight / grid.papers.cy};
        }
    } else {
        const CSize dev = BitmapSizeInDots(paper, dpi, bitmapWidth, bitmapHeight);
        grid.papers = {SheetsFor(dev.cx, pw), SheetsFor(dev.cy, ph)};
        grid.tile = {MulDiv(pw, bitmapWidth, dev.cx), MulDiv(ph, bitmapHeight, dev.cy)};
    }
    return grid;
}

CTileMapping MapPageToTile(int32_t page, const CPageGrid& grid, const CPaperInfo& paper, const CSize& bitmap)
{
    // A page number from a settings file or a page range may lie far outside
    // the grid: such a page maps to no part of the capture.
    if (grid.papers.cx <= 0 || grid.tile.cx <= 0 || grid.tile.cy <= 0 || page < 1)
        return {};
    const int32_t index = page - 1;
    const int32_t row = index / grid.papers.cx;
    const int32_t column = index % grid.papers.cx;
    return MapTileAt({TruncSaturate32(double(column) * grid.tile.cx), TruncSaturate32(double(row) * grid.tile.cy)},
                     grid.tile, paper, bitmap);
}

CTileMapping MapTileAt(const CPoint& origin, const CSize& tile, const CPaperInfo& paper, const CSize& bitmap)
{
    CTileMapping m;
    if (tile.cx <= 0 || tile.cy <= 0)
        return m;
    m.source = {std::max(origin.x, 0), std::max(origin.y, 0), std::min(SaturatedSum(origin.x, tile.cx), bitmap.cx),
                std::min(SaturatedSum(origin.y, tile.cy), bitmap.cy)};
    if (m.source.IsEmpty())
        m.source = {};

    const CRect printable = paper.GetPrintableRect();
    const int32_t w = MulDiv(m.source.Width(), printable.Width(), tile.cx);
    const int32_t h = MulDiv(m.source.Height(), printable.Height(), tile.cy);
    m.dest.left = printable.left - paper.hardPrintable.left;
    m.dest.top = printable.top - paper.hardPrintable.top;
    m.dest.right = m.dest.left + w;
    m.dest.bottom = m.dest.top + h;
    return m;
}

std::optional<CSize> CalcBrowserSizeForPaper(const CFitImageToPageSetting& setting, const CPaperInfo& paper,
                                             const CSize& bitmap)
{
    if (bitmap.cx <= 0 || bitmap.cy <= 0)
        return std::nullopt;
    const CRect printable = paper.GetPrintableRect();
    const int32_t pw = printable.Width();
    const int32_t ph = printable.Height();
    if (pw <= 0 || ph <= 0)
        return std::nullopt;

    if (setting.fitType == FIT)
        return GrowSizeToAspect(bitmap, {Times(pw, setting.papers.cx), Times(ph, setting.papers.cy)});

    if (setting.dpi <= 0)
        return std::nullopt;
    const CSize dev = BitmapSizeInDots(paper, setting.dpi, bitmap.cx, bitmap.cy);
    const int32_t w = Times(SheetsFor(dev.cx, pw), pw);
    const int32_t h = Times(SheetsFor(dev.cy, ph), ph);
    return DotsToBitmapSize(paper, setting.dpi, w, h);
}
