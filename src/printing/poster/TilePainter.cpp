#include "printing/poster/TilePainter.h"

#include "bitmap/Dib.h"

#include <cairo.h>

#include <algorithm>

bool IsVectorTarget(cairo_t* cr)
{
    switch (cairo_surface_get_type(cairo_get_target(cr))) {
    case CAIRO_SURFACE_TYPE_PDF:
    case CAIRO_SURFACE_TYPE_PS:
    case CAIRO_SURFACE_TYPE_SVG:
    case CAIRO_SURFACE_TYPE_RECORDING:
    case CAIRO_SURFACE_TYPE_SCRIPT:
        return true;
    default:
        return false;
    }
}

namespace {

// The tile's own pixels as one image, placed by the transformation: a PDF
// keeps them at the bitmap's resolution and lets the reader scale them.
bool PaintEmbedded(cairo_t* cr, const CDib& dib, const CRect& source, const CRect& area, const CRect& dest,
                   CairoSurfacePtr* embedded)
{
    CairoSurfacePtr tile = DibAreaSurface(dib, area);
    if (!tile)
        return false;
    const double sx = double(dest.Width()) / source.Width();
    const double sy = double(dest.Height()) / source.Height();
    cairo_translate(cr, dest.left + (area.left - source.left) * sx, dest.top + (area.top - source.top) * sy);
    cairo_scale(cr, sx, sy);
    cairo_set_source_surface(cr, tile.get(), 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
    cairo_paint(cr);
    if (embedded)
        *embedded = std::move(tile);
    return true;
}

}  // namespace

bool PaintTile(cairo_t* cr, const CDib& dib, const CRect& source, const CRect& dest, const CRect& clip,
               CairoSurfacePtr* embedded)
{
    if (!cr || !dib.IsValid())
        return false;
    if (dest.IsEmpty() || source.IsEmpty() || clip.IsEmpty())
        return true;
    const CRect area{std::max(source.left, 0), std::max(source.top, 0), std::min(source.right, dib.Width()),
                     std::min(source.bottom, dib.Height())};
    if (area.IsEmpty())
        return true;

    cairo_save(cr);
    cairo_rectangle(cr, clip.left, clip.top, clip.Width(), clip.Height());
    cairo_clip(cr);
    const bool drawn = IsVectorTarget(cr) ? PaintEmbedded(cr, dib, source, area, dest, embedded)
                                          : dib.Draw(cr, dest, source);
    cairo_restore(cr);
    return drawn && cairo_status(cr) == CAIRO_STATUS_SUCCESS;
}
