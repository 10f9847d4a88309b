#pragma once
#include <gtkmm/widget.h>

#include <functional>
#include <string>

typedef struct _WebKitWebView WebKitWebView;

// The hosted browser: a WebKit web view. Everything the program does with the
// page goes through here; the scroll view holds it at an exact pixel size.
// Ready states: 0 nothing loaded, 1 loading, 3 committed, 4 complete.
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
    int ReadyState() const { return m_readyState; }

    // Called on the user-interface thread whenever the ready state changes.
    std::function<void()> onReadyStateChanged;

private:
    void OnLoadChanged(int loadEvent);

    WebKitWebView* m_webView = nullptr;
    Gtk::Widget* m_widget = nullptr;
    int m_readyState = 0;
    bool m_silent = false;

    friend struct QuorvaneViewSignals;
};
