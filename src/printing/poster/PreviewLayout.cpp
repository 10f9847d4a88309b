#include "printing/poster/PreviewLayout.h"

#include "common/MulDiv.h"
#include "printing/poster/PosterGeometry.h"

#include <algorithm>

void CPreviewLayout::Relayout(const CFitImageToPageSetting& setting, const CPaperInfo& paper, const CSize& bitmap,
                              const CSize& client, const CAssemblySetting& assembly)
{
    const CPosterGrid poster = CalcPosterPages(setting, paper, bitmap, assembly.overlap);
    grid = poster.grid;
    step = poster.step;
    leading = assembly.assemblySheet;
    if (grid.papers.cx <= 0 || grid.papers.cy <= 0)
        return;
    const int32_t columns = grid.papers.cx + (leading ? 1 : 0);
    const int32_t gx = columns - 1;
    const int32_t gy = grid.papers.cy - 1;
    int32_t sw = (client.cx - gap.cx * gx) / columns;
    const int32_t cell = (client.cy - gap.cy * gy) / grid.papers.cy;
    int32_t sh = MulDiv(sw, paper.physicalHeight, paper.physicalWidth);
    if (sh > cell) {
        sw = std::min(sw, MulDiv(cell, paper.physicalWidth, paper.physicalHeight));
        sh = cell;
    }
    sheet = {sw, sh};
    origin = {(client.cx - columns * sw - gap.cx * gx) / 2, (client.cy - grid.papers.cy * sh - gap.cy * gy) / 2};
}

bool CPreviewLayout::HasSheets() const
{
    return grid.papers.cx > 0 && grid.papers.cy > 0 && origin.x >= 0 && origin.y >= 0 && sheet.cx > 0 &&
           sheet.cy > 0;
}

CRect CPreviewLayout::SheetRect(int32_t column, int32_t row) const
{
    const int32_t left = origin.x + (column + (leading ? 1 : 0)) * (sheet.cx + gap.cx);
    const int32_t top = origin.y + row * (sheet.cy + gap.cy);
    return {left, top, left + sheet.cx, top + sheet.cy};
}

CRect ScaleToSheet(const CRect& dots, const CSize& sheet, const CPaperInfo& paper)
{
    return {MulDiv(dots.left, sheet.cx, paper.physicalWidth), MulDiv(dots.top, sheet.cy, paper.physicalHeight),
            MulDiv(dots.right, sheet.cx, paper.physicalWidth), MulDiv(dots.bottom, sheet.cy, paper.physicalHeight)};
}

CPreviewTile PreviewTileOf(const CPreviewLayout& layout, const CPaperInfo& paper, const CSize& bitmap,
                           int32_t column, int32_t row)
{
    CPreviewTile t;
    t.sheet = layout.SheetRect(column, row);
    const CRect printable = ScaleToSheet(paper.GetPrintableRect(), layout.sheet, paper);
    const CRect hardware = ScaleToSheet(paper.hardPrintable, layout.sheet, paper);
    t.clip = {t.sheet.left + hardware.left, t.sheet.top + hardware.top, t.sheet.left + hardware.right,
              t.sheet.top + hardware.bottom};
    const int32_t page = row * layout.grid.papers.cx + column + 1;
    t.source = MapPosterSheet(page, {layout.grid, layout.step}, paper, bitmap).tile.source;
    if (layout.grid.tile.cx <= 0 || layout.grid.tile.cy <= 0)
        return t;
    t.dest.left = t.sheet.left + printable.left;
    t.dest.top = t.sheet.top + printable.top;
    t.dest.right = t.dest.left + MulDiv(t.source.Width(), printable.Width(), layout.grid.tile.cx);
    t.dest.bottom = t.dest.top + MulDiv(t.source.Height(), printable.Height(), layout.grid.tile.cy);
    return t;
}
