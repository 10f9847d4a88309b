#pragma once
// Arithmetic shared by the tiling computations. Values from a hand-edited
// settings file may be absurd; it saturates instead of overflowing.
#include "common/Saturate.h"
#include "common/Types.h"
#include "printing/poster/PaperInfo.h"

#include <cmath>
#include <cstdint>
#include <limits>

inline int32_t Times(int32_t a, int32_t b) { return TruncSaturate32(static_cast<double>(a) * b); }

// Sheets of `sheet` needed for `length` (rounded up).
inline int32_t SheetsFor(int32_t length, int32_t sheet)
{
    return static_cast<int32_t>((static_cast<int64_t>(length) + sheet - 1) / sheet);
}

// The DPI mode's size of the bitmap on the printer, in dots.
inline CSize BitmapSizeInDots(const CPaperInfo& paper, int32_t dpi, int32_t bitmapWidth, int32_t bitmapHeight)
{
    if (dpi <= 0)
        return {};
    const double d = dpi;
    const int32_t wmm = TruncSaturate32(bitmapWidth * 2540.0 / d);
    const int32_t hmm = TruncSaturate32(bitmapHeight * 2540.0 / d);
    return {TruncSaturate32(wmm * static_cast<double>(paper.resX) / 2540.0),
            TruncSaturate32(hmm * static_cast<double>(paper.resY) / 2540.0)};
}

// The other way: a size in dots as bitmap pixels at `dpi` (by way of whole
// hundredths of a millimetre, so that it never comes out larger).
inline CSize DotsToBitmapSize(const CPaperInfo& paper, int32_t dpi, int32_t width, int32_t height)
{
    if (dpi <= 0 || paper.resX <= 0 || paper.resY <= 0)
        return {};
    const int32_t wmm = TruncSaturate32(width * 2540.0 / paper.resX);
    const int32_t hmm = TruncSaturate32(height * 2540.0 / paper.resY);
    return {TruncSaturate32(wmm * static_cast<double>(dpi) / 2540.0),
            TruncSaturate32(hmm * static_cast<double>(dpi) / 2540.0)};
}
