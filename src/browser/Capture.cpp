#include "browser/Capture.h"

#include "bitmap/DibSection.h"
#include "browser/CapturePixels.h"
#include "common/Parallel.h"
#include "errors/Exception.h"
#include "errors/ProgramMessages.h"
#include "errors/StringTable.h"
#include "imaging/Img.h"

#include <webkit2/webkit2.h>

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <thread>
#include <utility>
#include <vector>

#ifndef MADV_POPULATE_WRITE
#define MADV_POPULATE_WRITE 23
#endif

namespace {

// Fills the page tables of the new bitmap while the page is being rendered in
// the web process, so that the conversion afterwards runs at memory speed
// instead of stopping at every fresh page. No thread when it is not worth one.
std::thread StartPrefault(uint8_t* data, size_t size)
{
    // Beyond a gigabyte the memory is better not taken before the page
    // has been rendered at all.
    if (!data || size < (size_t{1} << 20) || size > (size_t{1} << 30))
        return {};
    try {
        return std::thread([data, size] {
            const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
            const uintptr_t begin = (reinterpret_cast<uintptr_t>(data) + page - 1) & ~(page - 1);
            const uintptr_t end = (reinterpret_cast<uintptr_t>(data) + size) & ~(page - 1);
            if (end > begin && madvise(reinterpret_cast<void*>(begin), end - begin, MADV_POPULATE_WRITE) == 0)
                return;
            // Older kernels: touch every page; the bitmap is zero-filled already.
            volatile uint8_t* bytes = data;
            for (size_t i = 0; i < size; i += page)
                bytes[i] = 0;
        });
    } catch (const std::exception&) {
        // Without a thread the conversion simply takes the page faults.
        return {};
    }
}

}  // namespace

namespace {

// The snapshot as a plain 32-bit image of `scale` pixels per view pixel,
// covering at least `rect` (in those pixels). A surface of another kind or
// drawn at another device scale is first painted into one; null when it
// cannot be.
cairo_surface_t* AtScale(cairo_surface_t* surface, const CRect& rect, int scale)
{
    double sx = 1, sy = 1;
    cairo_surface_get_device_scale(surface, &sx, &sy);
    const bool image = cairo_surface_get_type(surface) == CAIRO_SURFACE_TYPE_IMAGE;
    if (image && sx == scale && sy == scale)
        return cairo_surface_reference(surface);
    if (!image || cairo_image_surface_get_width(surface) / sx * scale < rect.right ||
        cairo_image_surface_get_height(surface) / sy * scale < rect.bottom)
        return nullptr;
    cairo_surface_t* scaled = cairo_image_surface_create(CAIRO_FORMAT_RGB24, rect.right, rect.bottom);
    if (cairo_surface_status(scaled) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(scaled);
        return nullptr;
    }
    cairo_t* cr = cairo_create(scaled);
    cairo_scale(cr, scale, scale);
    cairo_set_source_surface(cr, surface, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
    cairo_paint(cr);
    cairo_destroy(cr);
    return scaled;
}

// The pixels of a plain 32-bit image that covers `rect`; no data when the
// image is of another format or smaller.
CArgbImage PixelsCovering(cairo_surface_t* image, const CRect& rect)
{
    cairo_surface_flush(image);
    const cairo_format_t format = cairo_image_surface_get_format(image);
    const CArgbImage pixels{cairo_image_surface_get_data(image),
                            static_cast<size_t>(cairo_image_surface_get_stride(image)),
                            cairo_image_surface_get_width(image), cairo_image_surface_get_height(image)};
    if ((format != CAIRO_FORMAT_ARGB32 && format != CAIRO_FORMAT_RGB24) || !pixels.data || rect.left < 0 ||
        rect.top < 0 || pixels.width < rect.right || pixels.height < rect.bottom)
        return {};
    return pixels;
}

// Letting go of a large snapshot (unmapping and freeing it) takes a good part
// of the time of the snapshot itself; nothing waits for it, so GLib's thread
// pool does it while the capture goes on to its caller.
void ReleaseSnapshot(cairo_surface_t* surface)
{
    const size_t bytes = cairo_surface_get_type(surface) == CAIRO_SURFACE_TYPE_IMAGE
                             ? static_cast<size_t>(cairo_image_surface_get_stride(surface)) *
                                   static_cast<size_t>(cairo_image_surface_get_height(surface))
                             : 0;
    if (bytes < (size_t{16} << 20)) {
        cairo_surface_destroy(surface);
        return;
    }
    GTask* task = g_task_new(nullptr, nullptr, nullptr, nullptr);
    g_task_set_task_data(task, surface, nullptr);
    g_task_run_in_thread(task, [](GTask* running, gpointer, gpointer data, GCancellable*) {
        cairo_surface_destroy(static_cast<cairo_surface_t*>(data));
        g_task_return_boolean(running, TRUE);
    });
    g_object_unref(task);
}

}  // namespace

// Message 190 has no insert of its own; the reason follows it, so that the
// user learns why the page could not be captured.
void ThrowSnapshotFailure(int code, const std::string& reason)
{
    CSimpleErr err = MakeErr(190);
    err.value = code;
    if (!reason.empty())
        err.text += "\n\n" + reason;
    throw my::CException(err);
}

CRenderedCapture::CRenderedCapture(const CRect& rect, int scale, std::shared_ptr<CDibSection> dib)
    : m_rect(rect), m_scale(scale), m_dib(std::move(dib))
{
    if (m_dib)
        m_prefault = StartPrefault(m_dib->Bits(), m_dib->ImageSize());
}

CRenderedCapture::~CRenderedCapture()
{
    if (m_prefault.joinable())
        m_prefault.join();
    if (m_snapshot)
        ReleaseSnapshot(m_snapshot);
}

std::shared_ptr<CDibSection> CRenderedCapture::Convert()
{
    if (m_prefault.joinable())
        m_prefault.join();
    cairo_surface_t* snapshot = std::exchange(m_snapshot, nullptr);
    if (!snapshot)
        ThrowSnapshotFailure(EINVAL, LoadString(kMsgSnapshotNoImage));
    std::shared_ptr<CDibSection> dib = std::move(m_dib);
    if (!dib)
        dib = CDibSection::New(m_rect.Width(), m_rect.Height(), 24);
    if (!dib) {
        ReleaseSnapshot(snapshot);
        throw my::CException(58944);
    }
    cairo_surface_t* image = AtScale(snapshot, m_rect, m_scale);
    cairo_surface_destroy(snapshot);
    if (!image)
        ThrowSnapshotFailure(ERANGE, LoadString(kMsgSnapshotTooSmall));

    const CArgbImage pixels = PixelsCovering(image, m_rect);
    if (!pixels.data) {
        cairo_surface_destroy(image);
        ThrowSnapshotFailure(ERANGE, LoadString(kMsgSnapshotTooSmall));
    }
    ConvertArgbToBgr24BottomUp(pixels, m_rect, dib->Bits(), dib->Stride(), ParallelThreads());
    ReleaseSnapshot(image);
    return dib;
}

namespace {

// Whether the rows of `rect` in `image` may be written: WebKit hands the
// snapshot over in memory it may have mapped for reading only.
bool MakeWritable(cairo_surface_t* image, const CRect& rect)
{
    const size_t stride = static_cast<size_t>(cairo_image_surface_get_stride(image));
    const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    const auto first = reinterpret_cast<uintptr_t>(cairo_image_surface_get_data(image)) + rect.top * stride;
    const uintptr_t end = first + static_cast<size_t>(rect.Height()) * stride;
    const uintptr_t begin = first & ~(page - 1);
    return mprotect(reinterpret_cast<void*>(begin), end - begin, PROT_READ | PROT_WRITE) == 0;
}

}  // namespace

std::shared_ptr<CImg> CRenderedCapture::ConvertInPlace()
{
    if (!m_snapshot)
        ThrowSnapshotFailure(EINVAL, LoadString(kMsgSnapshotNoImage));
    cairo_surface_t* image = AtScale(m_snapshot, m_rect, m_scale);
    if (!image)
        ThrowSnapshotFailure(ERANGE, LoadString(kMsgSnapshotTooSmall));
    const CArgbImage pixels = PixelsCovering(image, m_rect);
    if (!pixels.data) {
        cairo_surface_destroy(image);
        ThrowSnapshotFailure(ERANGE, LoadString(kMsgSnapshotTooSmall));
    }
    if (!MakeWritable(image, m_rect)) {
        cairo_surface_destroy(image);
        return nullptr;
    }
    // The snapshot is this capture's alone from here on.
    if (m_prefault.joinable())
        m_prefault.join();
    m_dib.reset();
    cairo_surface_t* snapshot = std::exchange(m_snapshot, nullptr);
    if (snapshot == image)
        cairo_surface_destroy(snapshot);
    else
        ReleaseSnapshot(snapshot);
    uint8_t* data = cairo_image_surface_get_data(image);
    ConvertArgbToBgr24InPlace(data, pixels.stride, m_rect, ParallelThreads());
    cairo_surface_mark_dirty(image);
    const uint8_t* top = data + static_cast<size_t>(m_rect.top) * pixels.stride + static_cast<size_t>(m_rect.left) * 4;
    std::shared_ptr<const void> owner(image, ReleaseSnapshot);
    std::shared_ptr<CImg> result = CImg::Over(ImgFormat::BGR24, m_rect.Width(), m_rect.Height(), top,
                                              static_cast<ptrdiff_t>(pixels.stride), owner);
    if (!result)
        throw my::CException(58944);
    return result;
}

bool CRenderedCapture::Shows(const CDibSection& dib, std::stop_token stop) const
{
    if (!m_snapshot || dib.BitCount() != 24 || dib.Width() != m_rect.Width() || dib.Height() != m_rect.Height())
        return false;
    cairo_surface_t* image = AtScale(m_snapshot, m_rect, m_scale);
    if (!image)
        return false;
    const CArgbImage pixels = PixelsCovering(image, m_rect);
    bool same = pixels.data != nullptr;
    const size_t rowBytes = static_cast<size_t>(m_rect.Width()) * 3;
    std::vector<uint8_t> row(rowBytes);
    for (int32_t y = 0; same && y < m_rect.Height(); ++y) {
        if ((y & 63) == 0 && stop.stop_requested()) {
            same = false;
            break;
        }
        const auto* src =
            reinterpret_cast<const uint32_t*>(pixels.data + static_cast<size_t>(m_rect.top + y) * pixels.stride) +
            m_rect.left;
        ArgbRowToBgr24(src, static_cast<size_t>(m_rect.Width()), row.data());
        same = std::memcmp(row.data(), dib.RowFromTop(y), rowBytes) == 0;
    }
    cairo_surface_destroy(image);
    return same;
}

std::unique_ptr<CRenderedCapture> CRenderedCapture::Prepare(CSize browser, const CRect& trim, CBitmapReady bitmap,
                                                            int scale)
{
    const CRect kept = CaptureRect(browser, trim);
    if (kept.IsEmpty())
        throw my::CException(189);
    scale = std::clamp(scale, 1, 4);
    const CRect rect{kept.left * scale, kept.top * scale, kept.right * scale, kept.bottom * scale};
    std::shared_ptr<CDibSection> dib;
    if (bitmap == CBitmapReady::WhileRendering) {
        dib = CDibSection::New(rect.Width(), rect.Height(), 24);
        if (!dib)
            throw my::CException(58944);
    }
    return std::unique_ptr<CRenderedCapture>(new CRenderedCapture(rect, scale, std::move(dib)));
}

void CRenderedCapture::TakeSnapshot(cairo_surface_t* surface, int drawnScale)
{
    if (m_snapshot)
        ReleaseSnapshot(m_snapshot);
    m_snapshot = surface;
    // WebKit draws at the widget's device scale but hands over the image
    // without saying so.
    double sx = 1, sy = 1;
    cairo_surface_get_device_scale(surface, &sx, &sy);
    if (drawnScale > 1 && sx == 1 && sy == 1 && cairo_surface_get_type(surface) == CAIRO_SURFACE_TYPE_IMAGE &&
        cairo_image_surface_get_width(surface) >= m_rect.right / m_scale * drawnScale &&
        cairo_image_surface_get_height(surface) >= m_rect.bottom / m_scale * drawnScale)
        cairo_surface_set_device_scale(surface, drawnScale, drawnScale);
}
