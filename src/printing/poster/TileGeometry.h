#pragma once
#include "common/Types.h"
#include "printing/PageSetting.h"
#include "printing/poster/PaperInfo.h"

#include <optional>

// The largest size with the bitmap's aspect ratio that fits in `area`.
CSize FitSizeInside(const CSize& area, const CSize& bitmap);

// `size` enlarged in one direction to the aspect ratio of `area`; never shrinks.
CSize GrowSizeToAspect(const CSize& size, const CSize& area);

// Where page `page` (from 1) of `grid` comes from and goes to: `source` in
// bitmap pixels, `dest` in dots from the printer's hardware printable origin.
struct CTileMapping {
    CRect source;
    CRect dest;
};
CTileMapping MapPageToTile(int32_t page, const CPageGrid& grid, const CPaperInfo& paper, const CSize& bitmap);
// The same for a tile of `tile` pixels whose top left corner is `origin`.
CTileMapping MapTileAt(const CPoint& origin, const CSize& tile, const CPaperInfo& paper, const CSize& bitmap);

// The capture size that fills whole sheets; nothing when the capture or the
// printable rectangle is empty.
std::optional<CSize> CalcBrowserSizeForPaper(const CFitImageToPageSetting& setting, const CPaperInfo& paper,
                                             const CSize& bitmap);
