#include "browser/QuorvaneView.h"

#include "browser/WebSandbox.h"
#include "browser/PageWatch.h"
#include "common/ProgramPages.h"
#include "common/WebAddress.h"
#include "errors/Exception.h"
#include "errors/MessageFormat.h"
#include "errors/ProgramMessages.h"
#include "errors/StringTable.h"

#include <webkit2/webkit2.h>

#include <glibmm.h>

#include <algorithm>

struct QuorvaneViewSignals {
    static void LoadChanged(WebKitWebView*, WebKitLoadEvent event, gpointer self)
    {
        static_cast<CQuorvaneView*>(self)->OnLoadChanged(event);
    }

    static void ResourceStarted(WebKitWebView*, WebKitWebResource* resource, WebKitURIRequest*, gpointer self)
    {
        static_cast<CQuorvaneView*>(self)->OnResourceStarted(resource);
    }

    // "failed" comes before "finished" for a resource that fails; the
    // tracker counts the first of them.
    static void ResourceEnded(WebKitWebResource* resource, gpointer self)
    {
        static_cast<CQuorvaneView*>(self)->OnResourceEnded(resource);
    }
    static void ResourceFailed(WebKitWebResource* resource, GError*, gpointer self) { ResourceEnded(resource, self); }

    static void WebProcessTerminated(WebKitWebView*, WebKitWebProcessTerminationReason, gpointer self)
    {
        static_cast<CQuorvaneView*>(self)->OnWebProcessGone();
    }

    // Silent mode: the page gets no alert, confirm or prompt box; confirm and
    // prompt answer as if cancelled. Leaving the page is confirmed, so that a
    // page's "beforeunload" handler cannot quietly refuse Open, Reload or a
    // link.
    static gboolean ScriptDialog(WebKitWebView*, WebKitScriptDialog* dialog, gpointer self)
    {
        if (!static_cast<CQuorvaneView*>(self)->m_silent)
            return FALSE;
        if (webkit_script_dialog_get_dialog_type(dialog) == WEBKIT_SCRIPT_DIALOG_BEFORE_UNLOAD_CONFIRM)
            webkit_script_dialog_confirm_set_confirmed(dialog, TRUE);
        return TRUE;
    }

    // The program saves what it captures; a file the page offers for
    // download is refused rather than written silently to the Downloads
    // folder, and the user is told.
    static void DownloadStarted(WebKitWebContext*, WebKitDownload* download, gpointer self)
    {
        auto* view = static_cast<CQuorvaneView*>(self);
        if (webkit_download_get_web_view(download) != view->m_webView)
            return;
        g_signal_connect(download, "decide-destination", G_CALLBACK(RefuseDestination), nullptr);
        webkit_download_cancel(download);
        WebKitURIRequest* request = webkit_download_get_request(download);
        const char* uri = request ? webkit_uri_request_get_uri(request) : nullptr;
        if (view->onDownloadRefused)
            view->onDownloadRefused(uri ? uri : "");
    }

    static gboolean RefuseDestination(WebKitDownload* download, gchar*, gpointer)
    {
        webkit_download_cancel(download);
        return TRUE;
    }

    static gboolean PermissionRequest(WebKitWebView*, WebKitPermissionRequest* request, gpointer self)
    {
        if (!static_cast<CQuorvaneView*>(self)->m_silent)
            return FALSE;
        webkit_permission_request_deny(request);
        return TRUE;
    }

    static gboolean FileChooser(WebKitWebView*, WebKitFileChooserRequest* request, gpointer self)
    {
        if (!static_cast<CQuorvaneView*>(self)->m_silent)
            return FALSE;
        webkit_file_chooser_request_cancel(request);
        return TRUE;
    }

    // A page's window.print() gets no print dialog: the program prints its
    // poster, not the page, and a batch run shows no window. The request is
    // refused, and the program may say so.
    static gboolean Print(WebKitWebView*, WebKitPrintOperation*, gpointer self)
    {
        auto* view = static_cast<CQuorvaneView*>(self);
        if (view->onPrintRefused)
            view->onPrintRefused();
        return TRUE;
    }

    // A failed navigation keeps WebKit's reason for the status bar and the
    // batch run's message. A load that gives way to another one (a redirect
    // by script, a second navigation) is not a failure of the page.
    static gboolean LoadFailed(WebKitWebView*, WebKitLoadEvent, gchar* uri, GError* error, gpointer self)
    {
        if (g_error_matches(error, WEBKIT_NETWORK_ERROR, WEBKIT_NETWORK_ERROR_CANCELLED) ||
            g_error_matches(error, WEBKIT_POLICY_ERROR, WEBKIT_POLICY_ERROR_FRAME_LOAD_INTERRUPTED_BY_POLICY_CHANGE))
            return FALSE;
        auto* view = static_cast<CQuorvaneView*>(self);
        // The certificate's own reason, said just before, is the better one.
        if (view->m_failure.empty())
            view->m_failure = NavigationFailureText(uri ? uri : "", SysErr::FromGError(error).text);
        return FALSE;
    }

    static gboolean LoadFailedWithTlsErrors(WebKitWebView*, gchar* uri, GTlsCertificate*, GTlsCertificateFlags,
                                            gpointer self)
    {
        static_cast<CQuorvaneView*>(self)->m_failure =
            NavigationFailureText(uri ? uri : "", LoadString(kMsgCertificateRefused));
        return FALSE;
    }

    // A link that asks for a new window opens in this view instead.
    static GtkWidget* Create(WebKitWebView* view, WebKitNavigationAction* action, gpointer)
    {
        WebKitURIRequest* request = webkit_navigation_action_get_request(action);
        if (request)
            webkit_web_view_load_request(view, request);
        return nullptr;
    }
};

CQuorvaneView::CQuorvaneView()
{
    // Before the first web view: the web process is started with the sandbox.
    EnableWebSandbox();
    m_webView = WEBKIT_WEB_VIEW(webkit_web_view_new());
    // The view is often far larger than the screen; composited (GL) drawing
    // cannot hold such a view, and without a GPU it draws nothing at all.
    webkit_settings_set_hardware_acceleration_policy(webkit_web_view_get_settings(m_webView),
                                                     WEBKIT_HARDWARE_ACCELERATION_POLICY_NEVER);
    g_object_ref_sink(m_webView);
    m_widget = Glib::wrap(GTK_WIDGET(m_webView));
    g_signal_connect(m_webView, "load-changed", G_CALLBACK(QuorvaneViewSignals::LoadChanged), this);
    g_signal_connect(m_webView, "script-dialog", G_CALLBACK(QuorvaneViewSignals::ScriptDialog), this);
    g_signal_connect(m_webView, "permission-request", G_CALLBACK(QuorvaneViewSignals::PermissionRequest), this);
    g_signal_connect(m_webView, "run-file-chooser", G_CALLBACK(QuorvaneViewSignals::FileChooser), this);
    g_signal_connect(m_webView, "create", G_CALLBACK(QuorvaneViewSignals::Create), this);
    g_signal_connect(m_webView, "print", G_CALLBACK(QuorvaneViewSignals::Print), this);
    g_signal_connect(m_webView, "load-failed", G_CALLBACK(QuorvaneViewSignals::LoadFailed), this);
    g_signal_connect(m_webView, "load-failed-with-tls-errors", G_CALLBACK(QuorvaneViewSignals::LoadFailedWithTlsErrors),
                     this);
    g_signal_connect(m_webView, "resource-load-started", G_CALLBACK(QuorvaneViewSignals::ResourceStarted), this);
    g_signal_connect(m_webView, "web-process-terminated", G_CALLBACK(QuorvaneViewSignals::WebProcessTerminated),
                     this);
    m_context = WEBKIT_WEB_CONTEXT(g_object_ref(webkit_web_view_get_context(m_webView)));
    g_signal_connect(m_context, "download-started", G_CALLBACK(QuorvaneViewSignals::DownloadStarted), this);
    m_watch = std::make_unique<CPageWatch>(m_webView, [this](const CFrameReport& report) { OnFrameReport(report); });
}

CQuorvaneView::~CQuorvaneView()
{
    if (m_drawingTimer)
        g_source_remove(m_drawingTimer);
    m_watch.reset();
    ReleaseResources();
    g_signal_handlers_disconnect_by_data(m_webView, this);
    g_signal_handlers_disconnect_by_data(m_context, this);
    g_object_unref(m_context);
    g_object_unref(m_webView);
}

void CQuorvaneView::PutSilent(bool silent)
{
    if (!m_webView)
        throw my::CException(187, SysErr{EINVAL, "no web view"});
    m_silent = silent;
}

void CQuorvaneView::Navigate(const std::string& url)
{
    const std::string target = ResolveProgramPageUrl(url);
    if (!target.empty() &&
        (IsHostAndPort(target) || !g_uri_is_valid(target.c_str(), G_URI_FLAGS_PARSE_RELAXED, nullptr))) {
        // A bare host name such as "example.com", with or without a port, is
        // taken as a web address.
        const std::string withScheme = SchemeForTypedHost(target) + target;
        GError* error = nullptr;
        if (target.find("://") != std::string::npos ||
            !g_uri_is_valid(withScheme.c_str(), G_URI_FLAGS_PARSE_RELAXED, &error)) {
            if (!error)
                g_uri_is_valid(target.c_str(), G_URI_FLAGS_PARSE_RELAXED, &error);
            const SysErr sys = SysErr::FromGError(error);
            g_clear_error(&error);
            throw my::CException(185, sys);
        }
        webkit_web_view_load_uri(m_webView, withScheme.c_str());
        return;
    }
    webkit_web_view_load_uri(m_webView, target.empty() ? "about:blank" : target.c_str());
}

void CQuorvaneView::Refresh()
{
    if (!webkit_web_view_get_uri(m_webView))
        throw my::CException(188, SysErr::FromErrno(ENODATA));
    webkit_web_view_reload(m_webView);
}

bool CQuorvaneView::GetLocationURL(std::string& url) const
{
    const char* uri = webkit_web_view_get_uri(m_webView);
    if (!uri)
        return false;
    url = uri;
    return true;
}

bool CQuorvaneView::GetLocationName(std::string& title) const
{
    const char* text = webkit_web_view_get_title(m_webView);
    if (!text || !*text)
        return false;
    title = text;
    return true;
}

void CQuorvaneView::OnLoadChanged(int loadEvent)
{
    if (loadEvent == WEBKIT_LOAD_STARTED)
        m_failure.clear();
    switch (loadEvent) {
    case WEBKIT_LOAD_STARTED:
    case WEBKIT_LOAD_REDIRECTED: m_readyState = kReadyLoading; break;
    case WEBKIT_LOAD_COMMITTED:
        m_readyState = kReadyCommitted;
        // The frames of the page left behind report no more.
        m_scripts.Clear(CLoadTracker::Clock::now());
        break;
    case WEBKIT_LOAD_FINISHED: m_readyState = kReadyComplete; break;
    default: break;
    }
    m_loads.Touch(CLoadTracker::Clock::now());
    m_toldLoading = IsLoading();
    if (onReadyStateChanged)
        onReadyStateChanged();
}

// Each resource in flight is held (a reference and its two signals) until it
// ends, so that its address names it and no other until then.
void CQuorvaneView::OnResourceStarted(WebKitWebResource* resource)
{
    if (!m_loads.IsInFlight(resource)) {
        g_object_ref(resource);
        g_signal_connect(resource, "finished", G_CALLBACK(QuorvaneViewSignals::ResourceEnded), this);
        g_signal_connect(resource, "failed", G_CALLBACK(QuorvaneViewSignals::ResourceFailed), this);
    }
    m_loads.Started(resource, CLoadTracker::Clock::now());
    NotifyLoadActivity();
}

void CQuorvaneView::OnResourceEnded(WebKitWebResource* resource)
{
    if (!m_loads.IsInFlight(resource))
        return;
    m_loads.Ended(resource, CLoadTracker::Clock::now());
    g_signal_handlers_disconnect_by_data(resource, this);
    g_object_unref(resource);
    NotifyLoadActivity();
}

// A web process that crashed or was ended reports none of its loads' ends.
void CQuorvaneView::OnWebProcessGone()
{
    ReleaseResources();
    m_scripts.Clear(CLoadTracker::Clock::now());
    NotifyLoadActivity();
}

void CQuorvaneView::ReleaseResources()
{
    for (const void* key : m_loads.Keys()) {
        auto* resource = static_cast<WebKitWebResource*>(const_cast<void*>(key));
        g_signal_handlers_disconnect_by_data(resource, this);
        g_object_unref(resource);
    }
    m_loads.Clear(CLoadTracker::Clock::now());
}

void CQuorvaneView::NotifyLoadActivity()
{
    if (onLoadActivity)
        onLoadActivity();
    UpdateLoading();
}

bool CQuorvaneView::IsLoading() const
{
    if (IsNavigating(m_readyState) || m_loads.InFlight() != 0 || !m_scripts.Ready())
        return true;
    const auto now = CLoadTracker::Clock::now();
    const CSettleRule rule;
    // Drawing, or a worker's answer that the next frame may draw.
    return now - std::max(m_scripts.LastFrame(now), m_scripts.LastWork()) < rule.quiet &&
           now - std::max(m_loads.LastActivity(), m_scripts.LastWork()) < rule.animating;
}

void CQuorvaneView::UpdateLoading()
{
    const bool loading = IsLoading();
    if (loading == m_toldLoading)
        return;
    m_toldLoading = loading;
    if (onReadyStateChanged)
        onReadyStateChanged();
}

std::string NavigationFailureText(const std::string& url, const std::string& reason)
{
    return FormatMessageText(185, {reason.empty() ? url : url + " - " + reason});
}

void CQuorvaneView::OnFrameReport(const CFrameReport& report)
{
    m_scripts.Report(report, CLoadTracker::Clock::now());
    UpdateLoading();
    WatchDrawing();
}

// Drawing ends with no report: a timer looks again while frames are drawn.
void CQuorvaneView::WatchDrawing()
{
    if (m_drawingTimer || !m_toldLoading)
        return;
    m_drawingTimer = g_timeout_add(
        250,
        [](gpointer data) {
            auto* self = static_cast<CQuorvaneView*>(data);
            self->m_drawingTimer = 0;
            self->UpdateLoading();
            self->WatchDrawing();
            return gboolean(G_SOURCE_REMOVE);
        },
        this);
}
