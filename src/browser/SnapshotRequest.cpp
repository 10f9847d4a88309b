#include "browser/SnapshotRequest.h"

#include <webkit2/webkit2.h>

#include <algorithm>
#include <cerrno>
#include <utility>

namespace {

// Main thread only: WebKit is asked and answers there.
int g_snapshotsInFlight = 0;

}  // namespace

int SnapshotsInFlight() { return g_snapshotsInFlight; }

CSnapshotRequest::CSnapshotRequest(SnapshotDone done) : m_cancellable(g_cancellable_new()), m_done(std::move(done)) {}

CSnapshotRequest::~CSnapshotRequest()
{
    StopTimer();
    g_object_unref(m_cancellable);
}

std::shared_ptr<CSnapshotRequest> CSnapshotRequest::Start(WebKitWebView* webView, std::chrono::milliseconds timeLimit,
                                                          SnapshotDone done)
{
    std::shared_ptr<CSnapshotRequest> request(new CSnapshotRequest(std::move(done)));
    ++g_snapshotsInFlight;
    // WebKit's callback keeps the request alive until it has answered.
    webkit_web_view_get_snapshot(webView, WEBKIT_SNAPSHOT_REGION_VISIBLE, WEBKIT_SNAPSHOT_OPTIONS_NONE,
                                 request->m_cancellable, OnAnswered, new std::shared_ptr<CSnapshotRequest>(request));
    if (request->m_done)
        request->m_timer = g_timeout_add(static_cast<guint>(std::max<int64_t>(0, timeLimit.count())), OnTimeLimit,
                                         request.get());
    return request;
}

void CSnapshotRequest::Cancel()
{
    StopTimer();
    m_done = nullptr;
    g_cancellable_cancel(m_cancellable);
}

void CSnapshotRequest::StopTimer()
{
    if (m_timer)
        g_source_remove(std::exchange(m_timer, 0));
}

void CSnapshotRequest::Answer(cairo_surface_t* surface, int errorCode, const std::string& error)
{
    StopTimer();
    SnapshotDone done = std::exchange(m_done, nullptr);
    if (done)
        done(surface, errorCode, error);
    else if (surface)
        cairo_surface_destroy(surface);
}

void CSnapshotRequest::OnAnswered(GObject* source, GAsyncResult* result, gpointer data)
{
    --g_snapshotsInFlight;
    std::unique_ptr<std::shared_ptr<CSnapshotRequest>> holder(static_cast<std::shared_ptr<CSnapshotRequest>*>(data));
    GError* error = nullptr;
    cairo_surface_t* surface = webkit_web_view_get_snapshot_finish(WEBKIT_WEB_VIEW(source), result, &error);
    if (surface && cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS) {
        (*holder)->Answer(surface, 0, {});
    } else {
        if (surface)
            cairo_surface_destroy(surface);
        (*holder)->Answer(nullptr, error ? error->code : EIO, error && error->message ? error->message : "");
    }
    g_clear_error(&error);
}

gboolean CSnapshotRequest::OnTimeLimit(gpointer data)
{
    auto* request = static_cast<CSnapshotRequest*>(data);
    request->m_timer = 0;
    g_cancellable_cancel(request->m_cancellable);
    request->Answer(nullptr, ETIMEDOUT, {});
    return G_SOURCE_REMOVE;
}

cairo_surface_t* SnapshotWebView(WebKitWebView* webView, std::chrono::milliseconds timeLimit, std::string* error,
                                 int* errorCode)
{
    struct Result {
        bool done = false;
        cairo_surface_t* surface = nullptr;
        int code = 0;
        std::string error;
    };
    auto result = std::make_shared<Result>();
    GMainLoop* loop = g_main_loop_new(nullptr, FALSE);
    std::shared_ptr<CSnapshotRequest> request =
        CSnapshotRequest::Start(webView, timeLimit, [result, loop](cairo_surface_t* surface, int code,
                                                                   const std::string& reason) {
            *result = {true, surface, code, reason};
            g_main_loop_quit(loop);
        });
    if (!result->done)
        g_main_loop_run(loop);
    g_main_loop_unref(loop);
    if (!result->surface) {
        if (error)
            *error = result->error;
        if (errorCode)
            *errorCode = result->code;
    }
    return result->surface;
}
