#pragma once
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

// Values from a hand-edited settings file may be absurd: sums and products of
// 32-bit numbers are taken wider and brought back to the nearest 32-bit limit
// instead of overflowing.

inline int32_t Saturate32(int64_t v)
{
    return static_cast<int32_t>(
        std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

inline int32_t SaturatedSum(int32_t a, int32_t b) { return Saturate32(int64_t{a} + b); }

// Truncated towards zero; NaN gives 0.
inline int32_t TruncSaturate32(double v)
{
    if (std::isnan(v))
        return 0;
    if (v >= std::numeric_limits<int32_t>::max())
        return std::numeric_limits<int32_t>::max();
    if (v <= std::numeric_limits<int32_t>::min())
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(v);
}
