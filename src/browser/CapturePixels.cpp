#include "browser/CapturePixels.h"

#include "common/Parallel.h"

#include <algorithm>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define QV_HAVE_SSSE3_PATH 1
#endif

CRect CaptureRect(CSize browser, const CRect& trim)
{
    // Whatever the trims say (a damaged settings file may make them
    // negative), the kept area lies within the browser.
    const int64_t w = std::max(browser.cx, 0), h = std::max(browser.cy, 0);
    const auto within = [](int64_t v, int64_t limit) { return static_cast<int32_t>(std::clamp<int64_t>(v, 0, limit)); };
    return {within(trim.left, w), within(trim.top, h), within(w - trim.right, w), within(h - trim.bottom, h)};
}

namespace {

void ArgbRowToBgr24Scalar(const uint32_t* src, size_t count, uint8_t* dst)
{
    size_t i = 0;
    // Four pixels make three whole words.
    for (; i + 4 <= count; i += 4, dst += 12) {
        const uint32_t p0 = src[i], p1 = src[i + 1], p2 = src[i + 2], p3 = src[i + 3];
        const uint32_t w0 = (p0 & 0xFFFFFF) | (p1 << 24);
        const uint32_t w1 = ((p1 >> 8) & 0xFFFF) | (p2 << 16);
        const uint32_t w2 = ((p2 >> 16) & 0xFF) | (p3 << 8);
        std::memcpy(dst, &w0, 4);
        std::memcpy(dst + 4, &w1, 4);
        std::memcpy(dst + 8, &w2, 4);
    }
    for (; i < count; ++i, dst += 3) {
        const uint32_t p = src[i];
        dst[0] = static_cast<uint8_t>(p);
        dst[1] = static_cast<uint8_t>(p >> 8);
        dst[2] = static_cast<uint8_t>(p >> 16);
    }
}

#ifdef QV_HAVE_SSSE3_PATH
__attribute__((target("ssse3"))) void ArgbRowToBgr24Ssse3(const uint32_t* src, size_t count, uint8_t* dst)
{
    // Per 16 bytes (4 pixels): keep bytes 0-2, 4-6, 8-10, 12-14 in the low 12.
    const __m128i pack = _mm_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
    size_t i = 0;
    for (; i + 16 <= count; i += 16, dst += 48) {
        const __m128i a = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i)), pack);
        const __m128i b = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i + 4)), pack);
        const __m128i c = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i + 8)), pack);
        const __m128i d = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i + 12)), pack);
        // 12 + 4 | 8 + 8 | 4 + 12 bytes.
        const __m128i out0 = _mm_or_si128(a, _mm_slli_si128(b, 12));
        const __m128i out1 = _mm_or_si128(_mm_srli_si128(b, 4), _mm_slli_si128(c, 8));
        const __m128i out2 = _mm_or_si128(_mm_srli_si128(c, 8), _mm_slli_si128(d, 4));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst), out0);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + 16), out1);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + 32), out2);
    }
    ArgbRowToBgr24Scalar(src + i, count - i, dst);
}

bool HaveSsse3()
{
    static const bool have = __builtin_cpu_supports("ssse3");
    return have;
}
#endif

void ConvertRows(const CArgbImage& src, const CRect& rect, uint8_t* dst, size_t dstStride, int32_t first,
                 int32_t last)
{
    const int32_t width = rect.Width();
    const int32_t height = rect.Height();
    const size_t rowBytes = static_cast<size_t>(width) * 3;
    for (int32_t y = first; y < last; ++y) {
        const auto* in = reinterpret_cast<const uint32_t*>(src.data + static_cast<size_t>(rect.top + y) * src.stride) +
                         rect.left;
        uint8_t* out = dst + static_cast<size_t>(height - 1 - y) * dstStride;
        ArgbRowToBgr24(in, static_cast<size_t>(width), out);
        if (dstStride > rowBytes)
            std::memset(out + rowBytes, 0, dstStride - rowBytes);
    }
}

}  // namespace

void ArgbRowToBgr24(const uint32_t* src, size_t count, uint8_t* dst)
{
#ifdef QV_HAVE_SSSE3_PATH
    if (HaveSsse3())
        return ArgbRowToBgr24Ssse3(src, count, dst);
#endif
    ArgbRowToBgr24Scalar(src, count, dst);
}

namespace {

// Runs convert(first, last) over bands of the rectangle's rows, one band per
// thread; threads pay off only for large images.
template <class Rows> void InBands(const CRect& rect, int threads, const Rows& convert)
{
    const int32_t height = rect.Height();
    constexpr int64_t kMinPixelsPerThread = 1 << 20;
    const int64_t pixels = int64_t{rect.Width()} * height;
    const int count = static_cast<int>(std::clamp<int64_t>(std::min<int64_t>(threads, pixels / kMinPixelsPerThread), 1,
                                                           std::min<int64_t>(threads, height)));
    const auto bandStart = [&](int t) { return static_cast<int32_t>(int64_t{height} * t / count); };
    RunInParallel(count, [&](int t) { convert(bandStart(t), bandStart(t + 1)); });
}

}  // namespace

void ConvertArgbToBgr24BottomUp(const CArgbImage& src, const CRect& rect, uint8_t* dst, size_t dstStride,
                                int threads)
{
    if (rect.IsEmpty() || !src.data || !dst)
        return;
    InBands(rect, threads, [&](int32_t first, int32_t last) { ConvertRows(src, rect, dst, dstStride, first, last); });
}

void ConvertArgbToBgr24InPlace(uint8_t* data, size_t stride, const CRect& rect, int threads)
{
    if (rect.IsEmpty() || !data)
        return;
    const size_t rowBytes = static_cast<size_t>(rect.Width()) * 3;
    const size_t padding = ((rowBytes + 3) & ~size_t{3}) - rowBytes;
    InBands(rect, threads, [&](int32_t first, int32_t last) {
        for (int32_t y = first; y < last; ++y) {
            uint8_t* row = data + static_cast<size_t>(rect.top + y) * stride + static_cast<size_t>(rect.left) * 4;
            ArgbRowToBgr24(reinterpret_cast<const uint32_t*>(row), static_cast<size_t>(rect.Width()), row);
            // A .bmp file takes the padding with the row; it lies within the
            // row's old pixels, as 3 x width rounded up to four is at most 4 x width.
            std::memset(row + rowBytes, 0, padding);
        }
    });
}
