#pragma once
#include "bitmap/DibSection.h"
#include "common/Types.h"

// `area` of a 24- or 32-bit BI_RGB DIB made `factor` times smaller: each
// pixel of the 24-bit result is the average of a factor x factor block (a
// box filter, which keeps a map's thin lines without aliasing), in one pass
// over the pixels. Blocks cut by the area's edge average what they hold.
// Null for other layouts, an empty area or a factor below 1.
CDibSectionPtr ReduceDib(const CDib& dib, const CRect& area, int32_t factor);
