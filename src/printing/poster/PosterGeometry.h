#pragma once
// The poster's sheets as a person puts them together: tiles that repeat a
// glue strip along shared edges, the part of each tile that only that sheet
// gives the finished poster, and where the sheets are cut.
#include "common/Types.h"
#include "printing/PageSetting.h"
#include "printing/poster/PaperInfo.h"
#include "printing/poster/TileGeometry.h"

#include <optional>
#include <string>

// Tiles are `grid.tile` pixels large and start `step` pixels apart, so
// neighbours share tile - step pixels. Without overlap the step is the tile
// and the grid is exactly CalcPages's.
struct CPosterGrid {
    CPageGrid grid;
    CSize step;
    int32_t Sheets() const { return grid.TotalPages(); }
    bool operator==(const CPosterGrid&) const = default;
};

// The grid with a glue overlap of `overlap` hundredths of a millimetre
// (brought into 0..3000, and to at most half a sheet's printable size). DPI
// keeps its scale and may take more sheets; FIT keeps its sheets and still
// holds the whole capture.
CPosterGrid CalcPosterPages(const CFitImageToPageSetting& setting, const CPaperInfo& paper, const CSize& bitmap,
                            int32_t overlap);

// The capture size that fills whole sheets of that poster, the glue strips
// counted: FIT grows the capture to the shape of its sheets less the strips
// they share; DPI grows it to the sheets it takes at its scale. Nothing when
// the capture or the printable rectangle is empty. Without overlap it is
// CalcBrowserSizeForPaper.
std::optional<CSize> CalcPosterBrowserSize(const CFitImageToPageSetting& setting, const CPaperInfo& paper,
                                           const CSize& bitmap, int32_t overlap);

// Sheet `sheet` (from 1: left to right, then row by row downwards).
struct CPosterSheet {
    int32_t row = 0, column = 0;
    CTileMapping tile;  // source pixels and destination dots, as MapPageToTile
    CRect unique;       // bitmap pixels that this sheet alone gives the finished poster
    CRect cut;          // the unique part on the sheet, dots from the hardware printable origin
};
CPosterSheet MapPosterSheet(int32_t sheet, const CPosterGrid& poster, const CPaperInfo& paper, const CSize& bitmap);

// The finished poster (the unique parts put together), in hundredths of a
// millimetre.
CSize FinishedPosterSize(const CPosterGrid& poster, const CPaperInfo& paper, const CSize& bitmap);

// The overview sheet: the printed part of the capture scaled into the
// printable rectangle above a caption band; dots from the hardware
// printable origin.
struct CAssemblySheetLayout {
    CRect source;
    CRect dest;
    CRect caption;
};
CAssemblySheetLayout LayOutAssemblySheet(const CPosterGrid& poster, const CPaperInfo& paper, const CSize& bitmap);
// Where a sheet's unique part lies on the overview.
CRect MapToAssemblySheet(const CRect& unique, const CAssemblySheetLayout& layout);

// The most sheets one job prints: a stored or typed sheet count can reach
// 2147483647, which no printer would ever finish.
inline constexpr int32_t kMaxJobSheets = 1000;

// Refuses, before anything is asked or printed, a poster that cannot be
// printed: margins that leave no printable part of the paper give no sheets
// (kMsgNoRoomOnPaper), and more than kMaxJobSheets sheets are too many
// (61751, with the count and the limit). Throws my::CException.
void CheckPosterSheets(const CPageGrid& grid);

// Pages of the print job: the sheets, and the assembly sheet first when it
// is chosen (none when there are no sheets).
int32_t PosterPageCount(const CPageGrid& grid, const CAssemblySetting& assembly);

// A sheet's place as a person names it: the row as letters (A..Z, AA..),
// the column as a number from 1: "B3".
std::string SheetName(int32_t row, int32_t column);
