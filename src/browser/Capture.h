#pragma once
#include "browser/LoadTracker.h"
#include "common/Types.h"

#include <chrono>
#include <memory>
#include <string>

class CDibSection;
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
// 40-byte header. Pixel (0, 0) of the result is the browser's pixel (trim
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

// The rendered view, waited for in a nested main loop; null with `error` set
// when it fails or takes longer than `timeLimit`. The caller owns the surface.
cairo_surface_t* SnapshotWebView(WebKitWebView* webView, std::chrono::milliseconds timeLimit, std::string* error,
                                 int* errorCode = nullptr);
