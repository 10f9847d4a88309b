#pragma once
#include "browser/PageActivity.h"

#include <functional>

typedef struct _WebKitWebView WebKitWebView;
typedef struct _WebKitUserContentManager WebKitUserContentManager;

// Watches what the page's scripts draw and compute: two scripts injected at
// document start into every frame report animation frames, web workers
// with messages unanswered, fonts and document readiness. The reporting
// script runs in a script world of its own, so the page cannot see it,
// and the page's world gains no names.
class CPageWatch {
public:
    // `onReport` gets every well-formed report on the user-interface thread.
    CPageWatch(WebKitWebView* webView, std::function<void(const CFrameReport&)> onReport);
    ~CPageWatch();
    CPageWatch(const CPageWatch&) = delete;
    CPageWatch& operator=(const CPageWatch&) = delete;

private:
    static void OnMessage(WebKitUserContentManager*, struct _WebKitJavascriptResult* result, void* self);

    WebKitUserContentManager* m_manager = nullptr;
    std::function<void(const CFrameReport&)> m_onReport;
};
