#pragma once
#include <gio/gio.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>

typedef struct _WebKitWebView WebKitWebView;
typedef struct _cairo_surface cairo_surface_t;

// The answer to a snapshot request: the rendered view, which the receiver
// then owns, or null with an errno-like code (ETIMEDOUT at the time limit)
// and WebKit's reason, if it gave one.
using SnapshotDone = std::function<void(cairo_surface_t* surface, int errorCode, const std::string& error)>;

// One request to WebKit for the rendered view. The answer comes once, from
// the main loop, unless the request is cancelled first; at the time limit it
// fails with ETIMEDOUT. WebKit's own answer may still come after either: it
// then only frees what the request held.
class CSnapshotRequest {
public:
    static std::shared_ptr<CSnapshotRequest> Start(WebKitWebView* webView, std::chrono::milliseconds timeLimit,
                                                   SnapshotDone done);
    ~CSnapshotRequest();
    CSnapshotRequest(const CSnapshotRequest&) = delete;
    CSnapshotRequest& operator=(const CSnapshotRequest&) = delete;

    // No answer is wanted any more.
    void Cancel();

private:
    explicit CSnapshotRequest(SnapshotDone done);
    void StopTimer();
    void Answer(cairo_surface_t* surface, int errorCode, const std::string& error);
    static void OnAnswered(GObject* source, GAsyncResult* result, gpointer data);
    static gboolean OnTimeLimit(gpointer data);

    GCancellable* m_cancellable;
    unsigned m_timer = 0;
    SnapshotDone m_done;
};

// Snapshot requests WebKit has not answered yet, abandoned ones included:
// their answer still arrives and frees what the request held.
int SnapshotsInFlight();

// The rendered view, waited for in a main loop of its own (for measuring
// WebKit alone); null with `error` set when it fails or takes longer than
// `timeLimit`. The caller owns the surface.
cairo_surface_t* SnapshotWebView(WebKitWebView* webView, std::chrono::milliseconds timeLimit, std::string* error,
                                 int* errorCode = nullptr);
