#pragma once
#include "browser/LoadTracker.h"
#include "common/Types.h"

#include <chrono>
#include <memory>
#include <stop_token>
#include <string>
#include <thread>

class CDibSection;
class CImg;
class CQuorvaScrollView;
typedef struct _WebKitWebView WebKitWebView;
typedef struct _cairo_surface cairo_surface_t;

// How long a capture waits for the page to be rendered before giving up.
inline constexpr std::chrono::milliseconds kCaptureTimeLimit{30000};

// A capture that takes what is drawn at once, without waiting for the
// page's loads (for example a preview that is captured again and again).
inline constexpr CSettleRule kCaptureNoWait{std::chrono::milliseconds(500), std::chrono::milliseconds(0)};

// The kept area of the browser: its whole Width x Height less the trims,
// scrolled out of sight or not, as a 24-bit bottom-up DIB section with a
// 40-byte header, of the capture state's pixelScale pixels to a view pixel. Pixel (0, 0) of the result is the browser's pixel (trim
// left, trim top).
// It first waits, as `settle` says, until the page's resource loads (map
// tiles) have settled; a quiet page is captured at once. Escape ends the
// wait and captures what is drawn; at the limit the capture goes ahead and
// says so through the view's capture state. Closing the window abandons it:
// it then raises an error record without a message id (the command ends
// quietly).
// Raises 189 when the trims leave nothing, 58944 when the bitmap cannot be
// made and 190 when the page cannot be rendered in time, the browser is set
// larger than the view can be made (kMaxBrowserSide) or another capture of
// the view is running.
// User-interface thread only: it runs the main loop while it waits.
std::shared_ptr<CDibSection> Capture(CQuorvaScrollView& view, const CSettleRule& settle = {},
                                     std::chrono::milliseconds timeLimit = kCaptureTimeLimit);
std::shared_ptr<CDibSection> Capture(CQuorvaScrollView& view, std::chrono::milliseconds timeLimit);

// The same for a web view of `browser` pixels.
std::shared_ptr<CDibSection> CaptureWebView(WebKitWebView* webView, CSize browser, const CRect& trim,
                                            std::chrono::milliseconds timeLimit = kCaptureTimeLimit);

// When the bitmap of a rendered capture is made: while WebKit renders the
// page (the quickest capture), or only by Convert (a capture that is compared
// with what is shown and dropped then never holds one).
enum class CBitmapReady { WhileRendering, WhenConverted };

// A capture whose page WebKit has rendered, not yet turned into the bitmap.
// It alone holds the rendered image and the bitmap to be, so Convert may run
// on any thread while the user-interface thread goes on.
class CRenderedCapture {
public:
    ~CRenderedCapture();
    CRenderedCapture(const CRenderedCapture&) = delete;
    CRenderedCapture& operator=(const CRenderedCapture&) = delete;

    // The capture's bitmap, once; the rendered image is let go of. Raises 190
    // when the image does not cover the kept area or was converted before,
    // 58944 when a bitmap made only now cannot be.
    std::shared_ptr<CDibSection> Convert();
    // The kept area as a 24-bit image (BGR24, top-down) written over the
    // rendered image itself, for a caller that only writes it out: no second
    // full-size bitmap. Null, with the capture as it was, when the rendered
    // image's memory cannot be written; Convert then gives the bitmap.
    // Raises what Convert raises for an image that does not cover the area.
    std::shared_ptr<CImg> ConvertInPlace();

    // True when Convert would give exactly the bits of `dib` (a 24-bit
    // bitmap of the kept area's size), found row by row without making the
    // bitmap; false as soon as a row differs or `stop` is requested. Any
    // thread, before Convert.
    bool Shows(const CDibSection& dib, std::stop_token stop = {}) const;

private:
    friend std::unique_ptr<CRenderedCapture> RenderWebView(WebKitWebView*, CSize, const CRect&,
                                                           std::chrono::milliseconds, CBitmapReady, int);
    // `rect` is the kept area in the bitmap's pixels, `scale` of them to a
    // view pixel. A bitmap given is made ready on a thread of its own
    // meanwhile; without one, Convert makes it.
    CRenderedCapture(const CRect& rect, int scale, std::shared_ptr<CDibSection> dib);

    cairo_surface_t* m_snapshot = nullptr;
    CRect m_rect;
    int m_scale = 1;
    std::shared_ptr<CDibSection> m_dib;
    std::thread m_prefault;
};

// Capture in two halves: this one waits for the page and has it rendered,
// raising what Capture raises for that; the result's Convert makes the
// bitmap. User-interface thread only, like Capture.
std::unique_ptr<CRenderedCapture> CaptureRendered(CQuorvaScrollView& view, const CSettleRule& settle = {},
                                                  std::chrono::milliseconds timeLimit = kCaptureTimeLimit,
                                                  CBitmapReady bitmap = CBitmapReady::WhileRendering);
// `scale` pixels of the bitmap to a view pixel (1 to 4): the view should be
// drawn at that device scale, or the image is enlarged to it.
std::unique_ptr<CRenderedCapture> RenderWebView(WebKitWebView* webView, CSize browser, const CRect& trim,
                                                std::chrono::milliseconds timeLimit = kCaptureTimeLimit,
                                                CBitmapReady bitmap = CBitmapReady::WhileRendering, int scale = 1);

// Snapshot requests WebKit has not answered yet, abandoned ones included:
// their answer still arrives and frees what the request held.
int SnapshotsInFlight();

// The rendered view, waited for in a nested main loop; null with `error` set
// when it fails or takes longer than `timeLimit`. The caller owns the surface.
cairo_surface_t* SnapshotWebView(WebKitWebView* webView, std::chrono::milliseconds timeLimit, std::string* error,
                                 int* errorCode = nullptr);
