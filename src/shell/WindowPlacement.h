#pragma once
#include "common/Types.h"

// Moves a stored window rectangle back onto the virtual screen (the bounding
// box of all monitors): first so that its bottom/right edge meets the screen's,
// then, if its top/left is then off the screen, so that its top/left meets the
// screen's (a rectangle larger than the screen keeps its size and overhangs at
// the bottom/right).
CRect FitRectIntoScreen(const CRect& rect, const CRect& screen);

// A stored rectangle no larger than the virtual screen, as the window system
// holds a window to its largest tracking size: a damaged file's 32767 x 32767
// window would otherwise take many seconds to appear at every start.
CRect LimitRectToScreenSize(const CRect& rect, const CRect& screen);
