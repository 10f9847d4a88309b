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

// One row: `count` ARGB words to 3 x `count` BGR bytes.
void ArgbRowToBgr24(const uint32_t* src, size_t count, uint8_t* dst);
