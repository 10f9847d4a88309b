#pragma once
#include <cstdint>

// Plain rectangle (left, top, right, bottom) and size records, used for pixels,
// printer dots and hundredths of a millimetre alike.
struct CRect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    int32_t Width() const { return right - left; }
    int32_t Height() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    bool IsNull() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
    bool operator==(const CRect&) const = default;
};

struct CSize {
    int32_t cx = 0, cy = 0;
    bool operator==(const CSize&) const = default;
};

struct CPoint {
    int32_t x = 0, y = 0;
    bool operator==(const CPoint&) const = default;
};
