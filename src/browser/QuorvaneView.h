#pragma once
#include "browser/LoadTracker.h"
#include "browser/PageActivity.h"

#include <gtkmm/widget.h>

#include <functional>
#include <memory>
#include <string>

typedef struct _WebKitWebView WebKitWebView;
typedef struct _WebKitWebResource WebKitWebResource;
typedef struct _WebKitWebContext WebKitWebContext;

// The hosted browser: a WebKit web view. Everything the program does with the
// page goes through here; the scroll view holds it at an exact pixel size.
class CPageWatch;

// How far the page's navigation has come; the numbers are the ones the
// program has always used for them (2 is not used).
enum PageReadyState : int { kReadyNothing = 0, kReadyLoading = 1, kReadyCommitted = 3, kReadyComplete = 4 };

// Between the start of a navigation and its end.
inline bool IsNavigating(PageReadyState state)
{
    return state >= kReadyLoading && state < kReadyComplete;
}

class CQuorvaneView {
public:
    CQuorvaneView();
    ~CQuorvaneView();
    CQuorvaneView(const CQuorvaneView&) = delete;
    CQuorvaneView& operator=(const CQuorvaneView&) = delete;

    Gtk::Widget& Widget() { return *m_widget; }
    WebKitWebView* WebView() const { return m_webView; }

    // Script dialogs, permission requests and other pop-ups of the page are
    // suppressed (declined quietly). Raises 187 when it cannot be set.
    void PutSilent(bool silent);
    bool Silent() const { return m_silent; }

    // Raises 185 with the reason when the URL cannot be loaded.
    void Navigate(const std::string& url);
    // Raises 188 when there is no page to reload.
    void Refresh();
    // False when there is no current location.
    bool GetLocationURL(std::string& url) const;
    // The page title; false when there is none.
    bool GetLocationName(std::string& title) const;
    PageReadyState ReadyState() const { return m_readyState; }

    // The page's resource loads: a map keeps loading tiles long after its
    // load event.
    const CLoadTracker& Loads() const { return m_loads; }
    // What the page's scripts are doing: animation frames, web workers,
    // fonts and the readiness of every frame's document.
    const CPageActivity& Scripts() const { return m_scripts; }
    // A navigation under way (ready state 1 to 3), resources in flight, or
    // the page's scripts not finished: a frame still loading, fonts or a
    // worker's answer awaited, or animation frames being drawn (until they
    // have gone on alone for a while: a page that animates for ever).
    bool IsLoading() const;

    // Why the last navigation failed ("ナビゲートに失敗しました: URL - reason");
    // empty when it did not, and again from the next navigation's start.
    const std::string& NavigationFailure() const { return m_failure; }

    // Called on the user-interface thread whenever the ready state or
    // IsLoading changes.
    std::function<void()> onReadyStateChanged;
    // Called on the user-interface thread at every resource start and end.
    std::function<void()> onLoadActivity;
    // Called when the page started a download, which has been refused; the
    // argument is the file's address.
    std::function<void(const std::string&)> onDownloadRefused;
    // Called when the page asked to be printed (window.print()), which has
    // been refused.
    std::function<void()> onPrintRefused;

    // Tells onReadyStateChanged when IsLoading has changed since last told.
    // The view looks by itself at its events and, while frames are drawn,
    // every 250 ms; a capture that has found the page finished tells at once.
    void UpdateLoading();

private:
    void OnLoadChanged(int loadEvent);
    void OnResourceStarted(WebKitWebResource* resource);
    void OnResourceEnded(WebKitWebResource* resource);
    void OnWebProcessGone();
    void ReleaseResources();
    void NotifyLoadActivity();
    void OnFrameReport(const CFrameReport& report);
    void WatchDrawing();

    WebKitWebView* m_webView = nullptr;
    WebKitWebContext* m_context = nullptr;
    Gtk::Widget* m_widget = nullptr;
    PageReadyState m_readyState = kReadyNothing;
    bool m_silent = false;
    std::string m_failure;
    CLoadTracker m_loads;
    CPageActivity m_scripts;
    std::unique_ptr<CPageWatch> m_watch;
    bool m_toldLoading = false;
    unsigned m_drawingTimer = 0;

    friend struct QuorvaneViewSignals;
};

// Message 185 naming the address and the reason the browser gives.
std::string NavigationFailureText(const std::string& url, const std::string& reason);
