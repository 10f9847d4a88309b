#include "bitmap/DibCairo.h"

#include "bitmap/Dib.h"
#include "bitmap/DibRows.h"

#include <cairo.h>

namespace {

cairo_user_data_key_t g_dibKey;

bool IsShareable(const CDib& dib)
{
    return dib.IsValid() && dib.BitCount() == 32 && dib.Header()->biCompression == BI_RGB;
}

CairoSurfacePtr ShareRows(const CDib& dib, const CRect& area, cairo_format_t format)
{
    // The top line of the area comes first; the lines below it lie at lower
    // addresses, hence the negative stride.
    uint8_t* top = dib.RowFromTop(area.top) + size_t(area.left) * 4;
    return AdoptCairoSurface(cairo_image_surface_create_for_data(top, format, area.Width(), area.Height(),
                                                                 -static_cast<int>(dib.Stride())));
}

CairoSurfacePtr ConvertRows(const CDib& dib, const CRect& area)
{
    if (!CanReadDibRows(dib))
        return {};
    CairoSurfacePtr surface =
        AdoptCairoSurface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, area.Width(), area.Height()));
    if (!surface)
        return {};
    cairo_surface_flush(surface.get());
    uint8_t* data = cairo_image_surface_get_data(surface.get());
    const int stride = cairo_image_surface_get_stride(surface.get());
    for (int32_t y = area.top; y < area.bottom; ++y) {
        auto* out = reinterpret_cast<uint32_t*>(data + size_t(y - area.top) * stride);
        ReadDibRowXrgb(dib, y, area.left, area.Width(), out);
    }
    cairo_surface_mark_dirty(surface.get());
    return surface;
}

bool InsideImage(const CDib& dib, const CRect& area)
{
    return !area.IsEmpty() && area.left >= 0 && area.top >= 0 && area.right <= dib.Width() &&
           area.bottom <= dib.Height();
}

}  // namespace

CairoSurfacePtr AdoptCairoSurface(cairo_surface_t* surface)
{
    if (!surface)
        return {};
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return {};
    }
    return CairoSurfacePtr(surface, cairo_surface_destroy);
}

CairoSurfacePtr ToCairoSurface(const CDib& dib)
{
    if (!dib.IsValid())
        return {};
    const CRect all{0, 0, dib.Width(), dib.Height()};
    return IsShareable(dib) ? ShareRows(dib, all, CAIRO_FORMAT_ARGB32) : ConvertRows(dib, all);
}

CairoSurfacePtr ToCairoSurface(const std::shared_ptr<CDib>& dib)
{
    if (!dib)
        return {};
    CairoSurfacePtr surface = ToCairoSurface(*dib);
    if (surface && IsShareable(*dib)) {
        auto* keep = new std::shared_ptr<CDib>(dib);
        cairo_surface_set_user_data(surface.get(), &g_dibKey, keep,
                                    [](void* p) { delete static_cast<std::shared_ptr<CDib>*>(p); });
    }
    return surface;
}

CairoSurfacePtr DibAreaSurface(const CDib& dib, const CRect& area)
{
    if (!dib.IsValid() || !InsideImage(dib, area))
        return {};
    return IsShareable(dib) ? ShareRows(dib, area, CAIRO_FORMAT_RGB24) : ConvertRows(dib, area);
}
