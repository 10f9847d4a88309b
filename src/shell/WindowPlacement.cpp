#include "shell/WindowPlacement.h"

#include <algorithm>

namespace {

// One axis: [low, high) inside [screenLow, screenHigh).
void FitAxis(int32_t& low, int32_t& high, int32_t screenLow, int32_t screenHigh)
{
    const int32_t size = high - low;
    if (high > screenHigh) {
        high = screenHigh;
        low = high - size;
    }
    if (low < screenLow) {
        low = screenLow;
        high = low + size;
    }
}

}  // namespace

CRect FitRectIntoScreen(const CRect& rect, const CRect& screen)
{
    CRect fitted = rect;
    FitAxis(fitted.top, fitted.bottom, screen.top, screen.bottom);
    FitAxis(fitted.left, fitted.right, screen.left, screen.right);
    return fitted;
}

CRect LimitRectToScreenSize(const CRect& rect, const CRect& screen)
{
    CRect limited = rect;
    limited.right = limited.left + std::min(rect.Width(), screen.Width());
    limited.bottom = limited.top + std::min(rect.Height(), screen.Height());
    return limited;
}
