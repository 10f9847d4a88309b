#pragma once
#include "common/Types.h"

#include <memory>

typedef struct _cairo_surface cairo_surface_t;
class CDib;

// A cairo surface held by shared pointers; destroyed with the last one.
using CairoSurfacePtr = std::shared_ptr<cairo_surface_t>;

// Takes over one reference; empty when the surface is null or in error.
CairoSurfacePtr AdoptCairoSurface(cairo_surface_t* surface);

// The DIB as an upright cairo image surface. A 32-bit BI_RGB DIB is shared:
// an ARGB32 surface over its own memory (rows addressed bottom-up through a
// negative stride), so drawing into the surface draws into the DIB; cairo
// takes those pixels as premultiplied (see CDib::Premultiply). Every other
// layout is copied into a new opaque RGB24 surface. Empty on failure. The
// shared surface must not outlive the DIB; the shared_ptr overload keeps the
// DIB alive as long as the surface.
CairoSurfacePtr ToCairoSurface(const CDib& dib);
CairoSurfacePtr ToCairoSurface(const std::shared_ptr<CDib>& dib);

// Opaque RGB24 pixels of `area` (top-down, inside the image): a view of the
// DIB's own memory for 32-bit BI_RGB, else a converted copy. Drawing from it
// copies the colours and ignores alpha, as a plain copy of the bitmap does.
CairoSurfacePtr DibAreaSurface(const CDib& dib, const CRect& area);
