#pragma once
#include "common/Types.h"

class CSetting;

// Dragging one trim handle: from the press to the release, each pointer
// position gives that trim a new value.
class COverlayTrimDrag {
public:
    bool IsDragging() const { return m_index >= 0; }
    // Index of the handle being dragged (EOverlayHandle); -1 when none.
    int Index() const { return m_index; }

    // Starts dragging handle `index` from `start` (overlay coordinates) with
    // the trims as they are now.
    void Begin(int index, CPoint start, const CRect& trim);
    void End() { m_index = -1; }

    // The pointer is at `point`; `handleSize` is the dragged handle's picture
    // size. Writes the new trim into `setting` and answers true when it
    // changed. Moving the right or bottom handle inwards enlarges its trim.
    // The trim stays at least 0 and leaves twice the handle's thickness
    // between it and the opposite trim, as far as the browser allows.
    bool Step(CPoint point, CSize handleSize, CSetting& setting) const;

private:
    int m_index = -1;
    CPoint m_start;
    CRect m_trimAtStart;
};
