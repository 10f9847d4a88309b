#pragma once
#include "common/Types.h"

#include <array>

class CSetting;

// The four trim handles, in the order they are hit-tested and drawn.
enum EOverlayHandle : int {
    kHandleTop = 0,
    kHandleRight = 1,
    kHandleBottom = 2,
    kHandleLeft = 3,
    kHandleCount = 4,
};

// Where the browser, the trims and the handles fall in the overlay, all in the
// overlay's own coordinates (which are the scroll view's client coordinates).
struct COverlayGeometry {
    CRect client;   // the overlay's rectangle
    CRect browser;  // the whole browser, scrolled
    CRect insets;   // distances from the client edges to the four trim lines
    CRect visible;  // the part of the browser inside the client rectangle

    COverlayGeometry() = default;
    COverlayGeometry(const CRect& client, const CSetting& setting);

    // The browser shrunk by the four trims: what a capture keeps.
    CRect Kept() const;

    // The shaded margins in the order they are filled: left, right, top,
    // bottom. Empty entries are not drawn; none reaches right of or below the
    // browser, and the side strips stop at the top and bottom trim lines.
    std::array<CRect, 4> Strips() const;

    // The rectangle of one handle whose image is `image` in size: its long
    // edge on the trim line, centred on the visible part of the browser, and
    // collapsed to an empty rectangle where that part is too small to hold it.
    CRect HandleRect(int index, CSize image) const;
};

// Intersection of two rectangles; all zero when they do not overlap.
CRect IntersectRects(const CRect& a, const CRect& b);
