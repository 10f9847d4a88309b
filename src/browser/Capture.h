#pragma once
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

// The kept area of the browser: its whole Width x Height less the trims,
// scrolled out of sight or not, as a 24-bit bottom-up DIB section with a
// 40-byte header. Pixel (0, 0) of the result is the browser's pixel (trim
// left, trim top). Raises 189 when the trims leave nothing, 58944 when the
// bitmap cannot be made and 190 when the page cannot be rendered in time or
// the browser is set larger than the view can be made (kMaxBrowserSide).
// User-interface thread only: it runs the main loop while it waits.
std::shared_ptr<CDibSection> Capture(CQuorvaScrollView& view, std::chrono::milliseconds timeLimit = kCaptureTimeLimit);

// The same for a web view of `browser` pixels.
std::shared_ptr<CDibSection> CaptureWebView(WebKitWebView* webView, CSize browser, const CRect& trim,
                                            std::chrono::milliseconds timeLimit = kCaptureTimeLimit);

// The rendered view, waited for in a nested main loop; null with `error` set
// when it fails or takes longer than `timeLimit`. The caller owns the surface.
cairo_surface_t* SnapshotWebView(WebKitWebView* webView, std::chrono::milliseconds timeLimit, std::string* error,
                                 int* errorCode = nullptr);
