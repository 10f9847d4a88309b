#pragma once
#include "browser/ImageWidget.h"
#include "browser/OverlayGeometry.h"

#include <deque>
#include <memory>
#include <vector>

typedef struct _cairo_surface cairo_surface_t;

// What the overlay shows, without a window: the four handles, where they sit,
// and the picture of the shaded margins and handles.
class COverlayScene {
public:
    // Creates the four handles (ids 0-3, empty rectangles) with the shared
    // handle pictures; `owner` is the overlay window they belong to.
    explicit COverlayScene(const void* owner);

    using Handles = std::deque<std::shared_ptr<Gdiplus::CImageWidget>>;
    const Handles& GetHandles() const { return m_handles; }

    // Moves each handle to its place for `geometry`.
    void Layout(const COverlayGeometry& geometry);

    // Index of the first handle under (x, y) in the order top, right, bottom,
    // left; -1 when none.
    int HitHandle(int x, int y) const;

    // Size of the picture of handle `index`.
    CSize HandleSize(int index) const;

    // Redraws everything into `target`, an ARGB32 image surface of the
    // overlay's size: handles laid out, the surface cleared to transparent,
    // the handles drawn, then the shaded strips in black with alpha 0x40.
    // Pixels come out premultiplied, as cairo keeps them.
    void Paint(cairo_surface_t* target, const COverlayGeometry& geometry);

    // The parts of the overlay that take the mouse: the strips inside the
    // client rectangle and the handles that are not collapsed.
    std::vector<CRect> InputRects(const COverlayGeometry& geometry) const;

private:
    Handles m_handles;
};

// ARGB of the shaded margins (black, alpha 64).
inline constexpr uint32_t kOverlayShadeArgb = 0x40000000;
