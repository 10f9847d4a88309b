#pragma once
// The aids that help a person put a poster together, drawn by one routine
// for the printer and the page setup preview alike. User units of `cr` are
// printer dots from the hardware printable origin (the units of the tile
// rectangles); `clip` is the area the printer can print on.
#include "bitmap/DibCairo.h"
#include "common/Types.h"
#include "printing/PageSetting.h"
#include "printing/poster/PosterGeometry.h"

#include <string>

typedef struct _cairo cairo_t;
class CDib;

// Cutting guides and the sheet's labels in its margins: never over the
// tile's image. True when drawn (or nothing chosen), false when cairo fails.
bool PaintSheetAids(cairo_t* cr, const CPosterSheet& sheet, const CPosterGrid& poster, const CPaperInfo& paper,
                    const CAssemblySetting& aids, const CRect& clip);

// The assembly sheet: the printed part of the capture scaled to the paper,
// the sheets drawn over it with their names, and the finished size. On a
// PDF page the picture is embedded at no more than 150 dpi, handed back
// through `embedded` as PaintTile does.
bool PaintAssemblySheet(cairo_t* cr, const CDib& dib, const CPosterGrid& poster, const CPaperInfo& paper,
                        const CRect& clip, CairoSurfacePtr* embedded = nullptr);
// The same from a copy of the capture made `factor` times smaller (the
// preview's); the geometry stays in the pixels of the capture, whose size is
// `capture`.
bool PaintAssemblySheet(cairo_t* cr, const CDib& reduced, int32_t factor, const CSize& capture,
                        const CPosterGrid& poster, const CPaperInfo& paper, const CRect& clip,
                        CairoSurfacePtr* embedded = nullptr);

// "B3 / 3 x 4": the sheet's name and the poster's sheets across and down.
std::string SheetLabelText(const CPosterSheet& sheet, const CPosterGrid& poster);
