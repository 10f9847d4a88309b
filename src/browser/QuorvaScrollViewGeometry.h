#pragma once
#include "common/Types.h"
#include "settings/SettingRange.h"

#include <cstdint>
#include <optional>
#include <vector>

typedef struct _cairo_pattern cairo_pattern_t;

// The arithmetic of the scroll view that holds the browser at its exact size:
// scroll bar ranges and steps, the splitter band along the browser's right and
// bottom edges, and the rectangles painted around the browser. Coordinates are
// the view's client coordinates, in which the browser's top-left corner is at
// (-ScrollX, -ScrollY).

// The browser's side for a size setting, within 0 .. kMaxBrowserSide: sizes
// below 0 give an empty browser.
int32_t BrowserSide(int32_t setting);

// One scroll bar as the view sets it: minimum 0, maximum, page, position.
struct CScrollBarInfo {
    int32_t min = 0;
    int32_t max = 0;
    int32_t page = 0;
    int32_t pos = 0;
    bool operator==(const CScrollBarInfo&) const = default;
};

// The bar for a browser of `browserSize` pixels whose near edge is at
// `browserOrigin` in a client of `clientSize` pixels. The range runs past the
// browser by nine tenths of the client, so that the splitter band can be
// scrolled into view; the position is kept within the last page.
CScrollBarInfo CalcScrollBar(int32_t browserSize, int32_t clientSize, int32_t browserOrigin);

// The highest position the bar accepts: the start of the last page.
int32_t LastScrollPos(const CScrollBarInfo& bar);
// `pos` kept within minimum .. last page.
int32_t ClampScrollPos(const CScrollBarInfo& bar, int32_t pos);

// Scroll requests with the codes of the classic scroll bar messages.
enum class ScrollRequest {
    LineUp = 0, LineDown = 1, PageUp = 2, PageDown = 3,
    ThumbPosition = 4, ThumbTrack = 5, Top = 6, Bottom = 7, EndScroll = 8,
};

// The position a request asks for, before the bar keeps it within its last
// page; nothing when the request is refused. `trackPos` is the thumb position
// of ThumbTrack.
std::optional<int32_t> RequestedScrollPos(const CScrollBarInfo& bar, ScrollRequest request, int32_t trackPos = 0);
// The position after the request, kept within the last page; nothing when the
// position stays where it is.
std::optional<int32_t> CalcScrollStep(const CScrollBarInfo& bar, ScrollRequest request, int32_t trackPos = 0);

// Splitter zones: the right band, the bottom band, or both (the corner).
enum : int { kZoneNone = 0, kZoneRight = 4, kZoneBottom = 8, kZoneCorner = 12 };
inline constexpr int32_t kSplitterBand = 6;

// The zone of client point `pt` when the browser's right and bottom edges are
// at `edge` (x = width - ScrollX, y = height - ScrollY). A band is hit from the
// edge to 6 pixels beyond it, both ends included.
int SplitterZone(CPoint pt, CPoint edge);

// The browser size while dragging zone `zone` from `start` (with the size
// `startSize` at the press) to `now`; never below 1 x 1.
CSize SplitterDragSize(int zone, CPoint start, CSize startSize, CPoint now);

// The rectangles painted around the browser: a raised 6-pixel band along its
// right and bottom edges and the checker pattern beyond. Only rectangles that
// intersect the client are listed.
struct CSurroundPaint {
    std::vector<CRect> highlight;  // white
    std::vector<CRect> shadow;     // 0xBABABA
    std::vector<CRect> face;       // 0xF0F0F0
    std::vector<CRect> pattern;    // checker background
};
inline constexpr uint32_t kBandHighlight = 0xFFFFFF;
inline constexpr uint32_t kBandShadow = 0xBABABA;
inline constexpr uint32_t kBandFace = 0xF0F0F0;

CSurroundPaint CalcSurroundPaint(const CRect& client, CPoint edge);

// The colour (0xRRGGBB) of the 6 x 6 checker tile at (x, y): 3 x 3 cells of
// white and 0xC8C8C8, white at the top left.
uint32_t CheckerColor(int32_t x, int32_t y);
// A repeating cairo pattern of that tile; null if it cannot be made. The
// caller owns the reference.
cairo_pattern_t* CreateCheckerPattern();
