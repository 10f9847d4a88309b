#pragma once
#include "bitmap/DibCairo.h"
#include "common/Types.h"

typedef struct _cairo cairo_t;
class CDib;

// The one routine that puts a tile of a capture on a sheet: the print job
// and the page setup preview both draw with it, so the preview shows what
// the printer gets. `source` (top-down pixels of `dib`) is stretched onto
// `dest` with the smoothing filter, and nothing is drawn outside `clip` (the
// area the printer can print on). All three rectangles but `source` are in
// the user units of `cr`, whatever transformation the caller has set.
//
// On a vector target (a PDF page) the tile is embedded once, losslessly, at
// the bitmap's own resolution; the surface embedded is handed back through
// `embedded` so that the caller can let go of its pixels when the page has
// been written. On an image target the tile is drawn in bands, so a large
// capture drawn small never needs a full-size copy.
//
// True when drawn, or when there is nothing to draw (an empty rectangle);
// false when the bitmap is not valid or cairo fails.
// Whether `cr` draws onto a page description (PDF, PostScript, a recording)
// rather than into pixels.
bool IsVectorTarget(cairo_t* cr);

bool PaintTile(cairo_t* cr, const CDib& dib, const CRect& source, const CRect& dest, const CRect& clip,
               CairoSurfacePtr* embedded = nullptr);
