#include "browser/OverlayHandleImages.h"

#include "browser/OverlayGeometry.h"
#include "errors/Resources.h"

#include <cairo.h>
#include <gio/gio.h>

#include <cstring>

namespace OverlayHandleImages {

namespace {

struct CByteReader {
    const unsigned char* data;
    size_t size;
    size_t offset = 0;
};

cairo_status_t ReadBytes(void* closure, unsigned char* out, unsigned int length)
{
    auto* reader = static_cast<CByteReader*>(closure);
    if (reader->size - reader->offset < length)
        return CAIRO_STATUS_READ_ERROR;
    std::memcpy(out, reader->data + reader->offset, length);
    reader->offset += length;
    return CAIRO_STATUS_SUCCESS;
}

std::array<CImagePtr, 4>& Shared()
{
    static std::array<CImagePtr, 4> images;
    return images;
}

}  // namespace

int ImageIdOf(int index)
{
    switch (index) {
    case kHandleTop: return kImageIdTop;
    case kHandleRight: return kImageIdRight;
    case kHandleBottom: return kImageIdBottom;
    case kHandleLeft: return kImageIdLeft;
    default: return 0;
    }
}

CSize NominalSize(int index)
{
    return index == kHandleTop || index == kHandleBottom ? CSize{95, 14} : CSize{14, 95};
}

CImagePtr LoadPngResource(const std::string& relativePath)
{
    GBytes* bytes = LookupResource(relativePath);
    if (!bytes)
        return nullptr;
    gsize size = 0;
    CByteReader reader{static_cast<const unsigned char*>(g_bytes_get_data(bytes, &size)), size};
    cairo_surface_t* surface = cairo_image_surface_create_from_png_stream(ReadBytes, &reader);
    g_bytes_unref(bytes);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    return AdoptImage(surface);
}

CImagePtr LoadImage(int imageId)
{
    switch (imageId) {
    case kImageIdLeft: return LoadPngResource("images/handle-left.png");
    case kImageIdTop: return LoadPngResource("images/handle-top.png");
    case kImageIdRight: return LoadPngResource("images/handle-right.png");
    case kImageIdBottom: return LoadPngResource("images/handle-bottom.png");
    default: return nullptr;
    }
}

const std::array<CImagePtr, 4>& Acquire()
{
    auto& images = Shared();
    for (int i = 0; i < kHandleCount; ++i)
        if (!images[i])
            images[i] = LoadImage(ImageIdOf(i));
    return images;
}

void Release()
{
    for (auto& image : Shared())
        image.reset();
}

}  // namespace OverlayHandleImages
