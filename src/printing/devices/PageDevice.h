#pragma once
#include "common/Types.h"
#include "errors/Exception.h"
#include "bitmap/DibCairo.h"
#include "printing/DevMode.h"

#include <functional>
#include <string>

typedef struct _cairo cairo_t;

class CDib;

// What a print job draws on: the printer device context of the job loop.
// One document at a time: StartDoc, then StartPage / EndPage for each page,
// then EndDoc, or AbortDoc to throw away everything sent so far.
class CPageDevice {
public:
    virtual ~CPageDevice() = default;

    virtual CDeviceMetrics GetDeviceCaps() const = 0;

    // The job number (> 0), or <= 0 with the reason in `err`.
    virtual int StartDoc(const std::string& docName, SysErr& err) = 0;
    // > 0 on success, else <= 0 with the reason in `err`.
    virtual int StartPage(SysErr& err) = 0;
    virtual int EndPage() = 0;
    // > 0 when the whole document reached its destination, else <= 0 with the
    // reason in `err`.
    virtual int EndDoc(SysErr& err) = 0;
    virtual int AbortDoc() = 0;

    // `src` (top-down pixels of the bitmap) stretched onto `dest` (dots from
    // the hardware printable origin) with a smoothing filter. True without
    // drawing when either rectangle is empty.
    virtual bool StretchDib(const CDib& dib, const CRect& dest, const CRect& src) = 0;

    // Lets `draw` paint on the page with cairo, in dots from the hardware
    // printable origin; `clip` is the hardware printable area. A surface
    // that `draw` hands back through `embedded` is kept until the page ends.
    using Painter = std::function<bool(cairo_t* cr, const CRect& clip, CairoSurfacePtr* embedded)>;
    virtual bool Paint(const Painter& draw) = 0;
};
