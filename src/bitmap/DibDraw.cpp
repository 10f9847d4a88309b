// Drawing a DIB with cairo: the source rectangle is stretched onto the
// destination with the good filter, as a halftone stretch of the bitmap.
#include "bitmap/Dib.h"
#include "bitmap/DibCairo.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>

namespace {

// Converted pixels are produced in bands of about this many bytes, so that a
// large capture drawn small never needs a second full-size copy.
constexpr size_t kBandBytes = 16 << 20;

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

struct Mapping {
    CRect dest, src;
    double sx, sy;  // destination pixels per source pixel
    double DestX(double x) const { return dest.left + (x - src.left) * sx; }
    double DestY(double y) const { return dest.top + (y - src.top) * sy; }
    double SrcY(double y) const { return src.top + (y - dest.top) / sy; }
};

// Paints the image rows [piece.top, piece.bottom) held by `surface`, clipped
// to destination rows [y0, y1).
void PaintPiece(cairo_t* cr, const Mapping& m, const CRect& piece, cairo_surface_t* surface, double x0, double x1,
                double y0, double y1)
{
    cairo_pattern_t* pattern = cairo_pattern_create_for_surface(surface);
    cairo_pattern_set_filter(pattern, CAIRO_FILTER_GOOD);
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
    cairo_matrix_t matrix;
    cairo_matrix_init(&matrix, 1 / m.sx, 0, 0, 1 / m.sy, m.src.left - piece.left - m.dest.left / m.sx,
                      m.src.top - piece.top - m.dest.top / m.sy);
    cairo_pattern_set_matrix(pattern, &matrix);
    cairo_set_source(cr, pattern);
    cairo_rectangle(cr, x0, y0, x1 - x0, y1 - y0);
    cairo_fill(cr);
    cairo_pattern_destroy(pattern);
}

}  // namespace

bool CDib::Draw(cairo_t* cr) const
{
    if (!IsValid())
        return false;
    const CRect all{0, 0, Width(), Height()};
    return Draw(cr, all, all);
}

bool CDib::Draw(cairo_t* cr, const CRect& dest, const CRect& src) const
{
    if (!IsValid() || !cr)
        return false;
    if (dest.IsEmpty() || src.IsEmpty())
        return true;
    const CRect area{std::max(src.left, 0), std::max(src.top, 0), std::min(src.right, Width()),
                     std::min(src.bottom, Height())};
    if (area.IsEmpty())
        return true;

    const Mapping m{dest, src, double(dest.Width()) / src.Width(), double(dest.Height()) / src.Height()};
    const double x0 = m.DestX(area.left), x1 = m.DestX(area.right);
    const double y0 = m.DestY(area.top), y1 = m.DestY(area.bottom);

    const bool shared = BitCount() == 32 && Header()->biCompression == BI_RGB;
    const size_t rowBytes = size_t(area.Width()) * 4;
    const bool whole = shared || IsVectorTarget(cr) || rowBytes * area.Height() <= kBandBytes;

    bool ok = true;
    cairo_save(cr);
    if (whole) {
        CairoSurfacePtr surface = DibAreaSurface(*this, area);
        if (surface)
            PaintPiece(cr, m, area, surface.get(), x0, x1, y0, y1);
        ok = surface != nullptr;
    } else {
        // Bands end on whole destination rows, and each takes a few source rows
        // beyond its own so the filter sees the real neighbours: no seams.
        const int32_t margin = int32_t(std::ceil(1 / m.sy)) + 2;
        const int32_t bandRows = std::max<int32_t>(1, int32_t(kBandBytes / rowBytes));
        const int32_t destRows = std::max<int32_t>(1, int32_t(bandRows * m.sy));
        for (double by = std::floor(y0); ok && by < y1; by += destRows) {
            const double top = std::max(by, y0), bottom = std::min(by + destRows, y1);
            CRect piece = area;
            piece.top = std::max(area.top, int32_t(std::floor(m.SrcY(top))) - margin);
            piece.bottom = std::min(area.bottom, int32_t(std::ceil(m.SrcY(bottom))) + margin);
            CairoSurfacePtr surface = DibAreaSurface(*this, piece);
            if (surface)
                PaintPiece(cr, m, piece, surface.get(), x0, x1, top, bottom);
            ok = surface != nullptr;
        }
    }
    cairo_restore(cr);
    return ok && cairo_status(cr) == CAIRO_STATUS_SUCCESS;
}
