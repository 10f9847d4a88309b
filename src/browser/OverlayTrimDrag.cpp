#include "browser/OverlayTrimDrag.h"

#include "browser/OverlayGeometry.h"
#include "settings/Setting.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace {

int32_t& TrimOf(CRect& trim, int index)
{
    switch (index) {
    case kHandleTop: return trim.top;
    case kHandleRight: return trim.right;
    case kHandleBottom: return trim.bottom;
    default: return trim.left;
    }
}

}  // namespace

void COverlayTrimDrag::Begin(int index, CPoint start, const CRect& trim)
{
    m_index = index;
    m_start = start;
    m_trimAtStart = trim;
}

bool COverlayTrimDrag::Step(CPoint point, CSize handleSize, CSetting& setting) const
{
    if (m_index < 0 || m_index >= kHandleCount)
        return false;
    const bool vertical = m_index == kHandleTop || m_index == kHandleBottom;
    const bool inwardsNegative = m_index == kHandleRight || m_index == kHandleBottom;
    const int64_t thickness = vertical ? handleSize.cy : handleSize.cx;

    int64_t delta = vertical ? int64_t{point.y} - m_start.y : int64_t{point.x} - m_start.x;
    if (inwardsNegative)
        delta = -delta;
    CRect startTrim = m_trimAtStart;
    const int64_t candidate = int64_t{TrimOf(startTrim, m_index)} + delta;

    int32_t& current = TrimOf(setting.trim, m_index);
    const int64_t opposite = TrimOf(setting.trim, (m_index + 2) % kHandleCount);
    const int64_t extent = vertical ? setting.height : setting.width;
    const int64_t upper = extent - 2 * thickness - opposite;

    // Never below 0, also when the browser is too small to leave the gap.
    const int64_t value = std::max<int64_t>(0, std::min(candidate, upper));
    const int32_t newValue = static_cast<int32_t>(std::min<int64_t>(value, std::numeric_limits<int32_t>::max()));
    if (newValue == current)
        return false;
    current = newValue;
    return true;
}
