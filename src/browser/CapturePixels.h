#pragma once
#include "common/Types.h"

#include <cstddef>
#include <cstdint>

// The display-free half of the page capture: which rectangle of the browser is
// kept, and the one pass that turns the rendered 32-bit page into the 24-bit
// bottom-up rows of the capture bitmap.

// The kept rectangle of a browser of `browser` pixels: its client rectangle
// shrunk by the trims, and never beyond it. Empty (zero or negative width or
// height) when the trims leave nothing.
CRect CaptureRect(CSize browser, const CRect& trim);

// An image in cairo's ARGB32/RGB24 layout: native-endian 0xAARRGGBB words,
// rows from the top.
struct CArgbImage {
    const uint8_t* data = nullptr;
    size_t stride = 0;
    int32_t width = 0;
    int32_t height = 0;
};

// Writes `rect` of `src` (which it must lie in) into `dst` as 24-bit BGR rows
// of `dstStride` bytes, bottom-up: the rectangle's top line becomes the last
// row of `dst`. Row padding is set to zero. Alpha is dropped: the page is
// opaque. Rows are split between `threads` threads (1 = this thread only).
void ConvertArgbToBgr24BottomUp(const CArgbImage& src, const CRect& rect, uint8_t* dst, size_t dstStride,
                                int threads = 1);

// Turns `rect` of the 32-bit image at `data` (rows `stride` bytes apart) into
// 24-bit BGR rows where it lies: row y's 3 x width bytes start where its 32-bit
// pixels started, followed by zeros up to a multiple of four bytes, and the
// rest of each row is left as it was. No second
// image, so no fresh memory. Rows are split between `threads` threads.
void ConvertArgbToBgr24InPlace(uint8_t* data, size_t stride, const CRect& rect, int threads = 1);

// One row: `count` ARGB words to 3 x `count` BGR bytes. `dst` may be `src`
// itself: every group of pixels is read before its bytes are written, and
// never past them.
void ArgbRowToBgr24(const uint32_t* src, size_t count, uint8_t* dst);
