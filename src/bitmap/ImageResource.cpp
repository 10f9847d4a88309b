#include "bitmap/ImageResource.h"

#include "errors/Resources.h"

#include <cairo.h>
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gio/gio.h>

namespace {

CairoSurfacePtr PixbufToSurface(GdkPixbuf* pixbuf)
{
    const int width = gdk_pixbuf_get_width(pixbuf), height = gdk_pixbuf_get_height(pixbuf);
    const int channels = gdk_pixbuf_get_n_channels(pixbuf);
    const int srcStride = gdk_pixbuf_get_rowstride(pixbuf);
    const bool alpha = gdk_pixbuf_get_has_alpha(pixbuf);
    if (gdk_pixbuf_get_bits_per_sample(pixbuf) != 8 || channels < 3)
        return {};
    CairoSurfacePtr surface = AdoptCairoSurface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
    if (!surface)
        return {};
    cairo_surface_flush(surface.get());
    const guint8* src = gdk_pixbuf_read_pixels(pixbuf);
    uint8_t* dst = cairo_image_surface_get_data(surface.get());
    const int dstStride = cairo_image_surface_get_stride(surface.get());
    for (int y = 0; y < height; ++y) {
        const guint8* s = src + size_t(y) * srcStride;
        auto* d = reinterpret_cast<uint32_t*>(dst + size_t(y) * dstStride);
        for (int x = 0; x < width; ++x, s += channels) {
            const unsigned a = alpha ? s[3] : 255;
            // cairo wants premultiplied colours; round to nearest.
            const auto pm = [a](unsigned v) { return (v * a + 127) / 255; };
            d[x] = a << 24 | pm(s[0]) << 16 | pm(s[1]) << 8 | pm(s[2]);
        }
    }
    cairo_surface_mark_dirty(surface.get());
    return surface;
}

}  // namespace

CairoSurfacePtr LoadImageResource(const std::string& relativePath)
{
    GBytes* bytes = LookupResource(relativePath);
    if (!bytes)
        return {};
    GInputStream* stream = g_memory_input_stream_new_from_bytes(bytes);
    g_bytes_unref(bytes);
    GdkPixbuf* pixbuf = gdk_pixbuf_new_from_stream(stream, nullptr, nullptr);
    g_object_unref(stream);
    if (!pixbuf)
        return {};
    CairoSurfacePtr surface = PixbufToSurface(pixbuf);
    g_object_unref(pixbuf);
    return surface;
}

CairoSurfacePtr LoadImageResource(uint32_t id)
{
    return LoadImageResource("images/" + std::to_string(id) + ".png");
}
