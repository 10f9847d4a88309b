#pragma once
#include "common/Types.h"
#include "printing/PageSetting.h"
#include "printing/poster/PaperInfo.h"

// Where the sheets of a poster fall in the page setup preview: each sheet
// has the shape of the physical paper, all sheets the same size, a gap
// between neighbours, the grid centred in the preview. Pixels of the
// preview throughout.
struct CPreviewLayout {
    CSize gap{4, 4};
    CPageGrid grid;
    CSize step;            // from one tile to the next: the tile less the glue overlap
    bool leading = false;  // one more column on the left, for the assembly sheet
    CSize sheet;
    CPoint origin;

    // Lays the sheets out again for a bitmap of `bitmap` pixels in a preview
    // of `client` pixels. An empty grid leaves the sheet size and origin as
    // they were; nothing is drawn then, since there are no sheets.
    // With the assembly aids, the tiles overlap by `assembly.overlap` and the
    // assembly sheet, when chosen, stands before the first column.
    void Relayout(const CFitImageToPageSetting& setting, const CPaperInfo& paper, const CSize& bitmap,
                  const CSize& client, const CAssemblySetting& assembly = {});

    // False when there is nothing to draw.
    bool HasSheets() const;
    // The sheet of `column` and `row` (from 0) in the preview; column -1 is
    // the assembly sheet's place.
    CRect SheetRect(int32_t column, int32_t row) const;
};

// A rectangle in printer dots from the paper's corner, scaled edge by edge
// onto a preview sheet of `sheet` pixels.
CRect ScaleToSheet(const CRect& dots, const CSize& sheet, const CPaperInfo& paper);

// What one preview sheet shows: the tile's `source` in bitmap pixels, drawn
// onto `dest`, nothing outside `clip` (the printer's hardware printable
// area); preview pixels.
struct CPreviewTile {
    CRect sheet, source, dest, clip;
};
CPreviewTile PreviewTileOf(const CPreviewLayout& layout, const CPaperInfo& paper, const CSize& bitmap,
                           int32_t column, int32_t row);
