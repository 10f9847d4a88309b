#pragma once
#include "browser/LoadTracker.h"
#include "common/Types.h"

#include <chrono>
#include <exception>
#include <functional>
#include <memory>
#include <stop_token>
#include <string>
#include <thread>

class CDibSection;
class CImg;
class CQuorvaScrollView;
typedef struct _WebKitWebView WebKitWebView;
typedef struct _cairo_surface cairo_surface_t;
typedef struct _GCancellable GCancellable;

// How long a capture waits for the page to be rendered before giving up.
inline constexpr std::chrono::milliseconds kCaptureTimeLimit{30000};

// A capture that takes what is drawn at once, without waiting for the
// page's loads (for example a preview that is captured again and again).
inline constexpr CSettleRule kCaptureNoWait{std::chrono::milliseconds(500), std::chrono::milliseconds(0)};

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

    // A capture of the kept area of a browser of `browser` view pixels, to
    // be rendered at `scale` bitmap pixels to a view pixel (1 to 4). Raises
    // 189 when the trims leave nothing and 58944 when a bitmap asked for now
    // cannot be made (it is made ready on a thread of its own meanwhile).
    static std::unique_ptr<CRenderedCapture> Prepare(CSize browser, const CRect& trim, CBitmapReady bitmap,
                                                     int scale);
    // Takes over WebKit's image of the view, drawn at `drawnScale`.
    void TakeSnapshot(cairo_surface_t* surface, int drawnScale);

private:
    CRenderedCapture(const CRect& rect, int scale, std::shared_ptr<CDibSection> dib);

    cairo_surface_t* m_snapshot = nullptr;
    CRect m_rect;
    int m_scale = 1;
    std::shared_ptr<CDibSection> m_dib;
    std::thread m_prefault;
};

// Raises message 190 with `reason` after it, `code` as its value: the page
// could not be captured.
[[noreturn]] void ThrowSnapshotFailure(int code, const std::string& reason);

// What a capture of the view is asked for: how long to wait for the page to
// be finished, how long WebKit may take to render it, and when the bitmap is
// made.
struct CCaptureRequest {
    CSettleRule settle;
    std::chrono::milliseconds timeLimit = kCaptureTimeLimit;
    CBitmapReady bitmap = CBitmapReady::WhileRendering;
    // A capture that nobody waits for (the page setup preview): no busy
    // shield over the page, and Escape is left to the window it is pressed in.
    bool inBackground = false;
};

// How a capture ended: the rendered page, or the exception that carries the
// error record. A capture that was cancelled (the window closing, a batch run
// stopped) ends with a record without a message id: its command ends quietly.
struct CCaptureOutcome {
    bool done = false;
    std::unique_ptr<CRenderedCapture> rendered;
    std::exception_ptr error;
};

// Captures the kept area of the view: the browser's whole Width x Height
// less the trims, scrolled out of sight or not, of the capture state's
// pixelScale pixels to a view pixel.
// It first waits, as the request's rule says, until the page's resource
// loads (map tiles) have settled and its scripts are done drawing; a quiet
// page is rendered at once. While it waits the window stays responsive with
// the capture's waiting text and, unless it runs in the background, a busy
// cursor and no mouse input over the client area; Escape in any window of the
// program then ends the wait and renders what is drawn; at the rule's limit it goes ahead and says so through the
// view's capture state. Cancelling `cancellable` (or the state's Abandon)
// ends it without a result.
// `done` is called once, always later from the main loop, never from within
// this call. Its error is 189 when the trims leave nothing, 58944 when the
// bitmap cannot be made and 190 when the page cannot be rendered in time, the
// browser is set larger than the view can be made (kMaxBrowserSide) or
// another capture of the view is running.
// User-interface thread only; no loop of its own.
void CaptureAsync(CQuorvaScrollView& view, const CCaptureRequest& request, GCancellable* cancellable,
                  std::function<void(CCaptureOutcome)> done);

// CaptureAsync, waited for: the main loop runs until it has ended, and its
// error is raised. For callers with nothing else to do meanwhile (tests and
// measurements); the program itself goes on from CaptureAsync's end.
std::unique_ptr<CRenderedCapture> CaptureRendered(CQuorvaScrollView& view, const CSettleRule& settle = {},
                                                  std::chrono::milliseconds timeLimit = kCaptureTimeLimit,
                                                  CBitmapReady bitmap = CBitmapReady::WhileRendering);
// The same as a 24-bit bottom-up DIB section with a 40-byte header; pixel
// (0, 0) of the result is the browser's pixel (trim left, trim top).
std::shared_ptr<CDibSection> Capture(CQuorvaScrollView& view, const CSettleRule& settle = {},
                                     std::chrono::milliseconds timeLimit = kCaptureTimeLimit);
std::shared_ptr<CDibSection> Capture(CQuorvaScrollView& view, std::chrono::milliseconds timeLimit);
