#include "browser/QuorvaScrollViewGeometry.h"

#include "common/MulDiv.h"
#include "common/Saturate.h"

#include <cairo.h>

#include <algorithm>
#include <limits>

namespace {

bool Intersects(const CRect& a, const CRect& b)
{
    return std::max(a.left, b.left) < std::min(a.right, b.right) &&
           std::max(a.top, b.top) < std::min(a.bottom, b.bottom);
}

void AddIfVisible(std::vector<CRect>& list, const CRect& client, int64_t l, int64_t t, int64_t r, int64_t b)
{
    const CRect rect{Saturate32(l), Saturate32(t), Saturate32(r), Saturate32(b)};
    if (Intersects(rect, client))
        list.push_back(rect);
}

}  // namespace

int32_t BrowserSide(int32_t setting)
{
    return std::clamp(setting, 0, kMaxBrowserSide);
}

CScrollBarInfo CalcScrollBar(int32_t browserSize, int32_t clientSize, int32_t browserOrigin)
{
    CScrollBarInfo bar;
    const int32_t client = std::max(clientSize, 0);
    bar.max = Saturate32(int64_t{std::max(browserSize, 0)} - 1 + MulDiv(client, 9, 10));
    bar.page = client;
    bar.pos = ClampScrollPos(bar, Saturate32(-int64_t{browserOrigin}));
    return bar;
}

int32_t LastScrollPos(const CScrollBarInfo& bar)
{
    return Saturate32(std::max<int64_t>(bar.min, int64_t{bar.max} - std::max(bar.page, 0) + 1));
}

int32_t ClampScrollPos(const CScrollBarInfo& bar, int32_t pos)
{
    return std::clamp(pos, bar.min, std::max(bar.min, LastScrollPos(bar)));
}

std::optional<int32_t> RequestedScrollPos(const CScrollBarInfo& bar, ScrollRequest request, int32_t trackPos)
{
    const int64_t pos = bar.pos;
    int64_t next = pos;
    switch (request) {
    case ScrollRequest::LineUp:
    case ScrollRequest::PageUp:
        next = std::max<int64_t>(pos - (request == ScrollRequest::LineUp ? 1 : bar.page), bar.min);
        if (next == pos)
            return std::nullopt;
        break;
    case ScrollRequest::LineDown:
    case ScrollRequest::PageDown:
        next = pos + (request == ScrollRequest::LineDown ? 1 : bar.page);
        if (next >= bar.max)
            return std::nullopt;
        break;
    case ScrollRequest::ThumbTrack:
        if (trackPos == pos || trackPos < bar.min || trackPos > bar.max)
            return std::nullopt;
        next = trackPos;
        break;
    default:
        return std::nullopt;
    }
    return Saturate32(next);
}

std::optional<int32_t> CalcScrollStep(const CScrollBarInfo& bar, ScrollRequest request, int32_t trackPos)
{
    const std::optional<int32_t> requested = RequestedScrollPos(bar, request, trackPos);
    if (!requested)
        return std::nullopt;
    const int32_t pos = ClampScrollPos(bar, *requested);
    if (pos == bar.pos)
        return std::nullopt;
    return pos;
}

int SplitterZone(CPoint pt, CPoint edge)
{
    const bool right = edge.x <= pt.x && int64_t{pt.x} <= int64_t{edge.x} + kSplitterBand;
    const bool bottom = edge.y <= pt.y && int64_t{pt.y} <= int64_t{edge.y} + kSplitterBand;
    return (right ? kZoneRight : 0) | (bottom ? kZoneBottom : 0);
}

CSize SplitterDragSize(int zone, CPoint start, CSize startSize, CPoint now)
{
    int64_t cx = startSize.cx;
    int64_t cy = startSize.cy;
    if (zone == kZoneRight || zone == kZoneCorner)
        cx += int64_t{now.x} - start.x;
    if (zone == kZoneBottom || zone == kZoneCorner)
        cy += int64_t{now.y} - start.y;
    return {Saturate32(std::max<int64_t>(cx, 1)), Saturate32(std::max<int64_t>(cy, 1))};
}

CSurroundPaint CalcSurroundPaint(const CRect& c, CPoint edge)
{
    const int64_t x = edge.x;
    const int64_t y = edge.y;
    CSurroundPaint paint;
    AddIfVisible(paint.highlight, c, x, c.top, x + 1, y + 1);
    AddIfVisible(paint.highlight, c, x, y + 5, x + 1, c.bottom);
    AddIfVisible(paint.highlight, c, c.left, y, x, y + 1);
    AddIfVisible(paint.highlight, c, x + 6, y, c.right, y + 1);

    AddIfVisible(paint.shadow, c, x + 5, c.top, x + 6, y + 1);
    AddIfVisible(paint.shadow, c, x + 5, y + 5, x + 6, c.bottom);
    AddIfVisible(paint.shadow, c, c.left, y + 5, x, y + 6);
    AddIfVisible(paint.shadow, c, x + 5, y + 5, c.right, y + 6);

    AddIfVisible(paint.face, c, x + 1, c.top, x + 5, y + 1);
    AddIfVisible(paint.face, c, x + 1, y + 5, x + 5, c.bottom);
    AddIfVisible(paint.face, c, c.left, y + 1, c.right, y + 5);

    AddIfVisible(paint.pattern, c, x + 6, c.top, c.right, y);
    AddIfVisible(paint.pattern, c, x + 6, y + 6, c.right, c.bottom);
    AddIfVisible(paint.pattern, c, c.left, y + 6, x, c.bottom);
    return paint;
}

uint32_t CheckerColor(int32_t x, int32_t y)
{
    const bool leftHalf = (x % 6 + 6) % 6 < 3;
    const bool topHalf = (y % 6 + 6) % 6 < 3;
    return leftHalf == topHalf ? 0xFFFFFF : 0xC8C8C8;
}

cairo_pattern_t* CreateCheckerPattern()
{
    cairo_surface_t* tile = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 6, 6);
    if (cairo_surface_status(tile) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(tile);
        return nullptr;
    }
    cairo_surface_flush(tile);
    unsigned char* data = cairo_image_surface_get_data(tile);
    const int stride = cairo_image_surface_get_stride(tile);
    for (int y = 0; y < 6; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + y * stride);
        for (int x = 0; x < 6; ++x)
            row[x] = CheckerColor(x, y);
    }
    cairo_surface_mark_dirty(tile);
    cairo_pattern_t* pattern = cairo_pattern_create_for_surface(tile);
    cairo_surface_destroy(tile);
    if (cairo_pattern_status(pattern) != CAIRO_STATUS_SUCCESS) {
        cairo_pattern_destroy(pattern);
        return nullptr;
    }
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_REPEAT);
    cairo_pattern_set_filter(pattern, CAIRO_FILTER_NEAREST);
    return pattern;
}
