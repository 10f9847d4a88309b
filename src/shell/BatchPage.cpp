#include "shell/BatchPage.h"

#include "browser/Capture.h"
#include "common/PhaseLog.h"
#include "errors/Exception.h"
#include "errors/MessageFormat.h"
#include "shell/CommandLine.h"
#include "shell/ExitStatus.h"

#include <glib-unix.h>
#include <webkit2/webkit2.h>

#include <csignal>

#include <algorithm>

namespace {

gboolean WakeUp(gpointer) { return G_SOURCE_REMOVE; }

std::chrono::milliseconds Remaining(BatchClock::time_point deadline)
{
    return std::max(std::chrono::milliseconds(0),
                    std::chrono::duration_cast<std::chrono::milliseconds>(deadline - BatchClock::now()));
}

void OnLoadChanged(WebKitWebView*, WebKitLoadEvent event, gpointer)
{
    if (event == WEBKIT_LOAD_STARTED)
        MarkPhase("web process up");  // the load has started in it
    else if (event == WEBKIT_LOAD_COMMITTED)
        MarkPhase("load committed");
}

}  // namespace

namespace {
bool g_interrupted = false;
}  // namespace

bool BatchInterrupted() { return g_interrupted; }

void StopBatchOnSignals()
{
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        g_unix_signal_add(signal, [](gpointer) {
            g_interrupted = true;
            return gboolean(G_SOURCE_CONTINUE);
        }, nullptr);
}

bool RunMainLoopUntil(const std::function<bool()>& done, BatchClock::time_point deadline)
{
    while (!done()) {
        if (g_interrupted)
            return false;
        const std::chrono::milliseconds left = Remaining(deadline);
        if (left.count() == 0)
            return false;
        // The time-out only wakes the loop up; the loop itself sleeps.
        const guint timer = g_timeout_add(static_cast<guint>(std::min<int64_t>(left.count(), 1000)), WakeUp, nullptr);
        g_main_context_iteration(nullptr, TRUE);
        if (GSource* source = g_main_context_find_source_by_id(nullptr, timer))
            g_source_destroy(source);
    }
    return true;
}

CBatchPage::CBatchPage(const CCommandLine& options) : m_view(m_setting)
{
    m_setting.width = options.size.cx;
    m_setting.height = options.size.cy;
    m_setting.trim = options.trim;
    m_window.set_default_size(640, 480);
    m_window.add(m_view.Widget());
    m_window.show_all();
    m_view.ApplyBrowserSize();
    MarkPhase("view made");
}

void CBatchPage::Load(const std::string& url, BatchClock::time_point deadline)
{
    CQuorvaneView& browser = m_view.View();
    WebKitWebView* web = browser.WebView();
    const gulong phases = PhaseLogEnabled() ? g_signal_connect(web, "load-changed", G_CALLBACK(OnLoadChanged), nullptr) : 0;
    bool finished = false;
    try {
        browser.PutSilent(true);
        browser.Navigate(url);
        finished = RunMainLoopUntil(
            [&] { return !browser.NavigationFailure().empty() || browser.ReadyState() == 4; }, deadline);
    } catch (const my::CException& e) {
        if (phases)
            g_signal_handler_disconnect(web, phases);
        throw CBatchFailure{kExitLoad, e.what()};
    }
    if (phases)
        g_signal_handler_disconnect(web, phases);
    MarkPhase("load finished");
    if (!browser.NavigationFailure().empty())
        throw CBatchFailure{kExitLoad, browser.NavigationFailure()};
    if (!finished) {
        webkit_web_view_stop_loading(web);
        throw CBatchFailure{kExitLoad, {}};
    }
    // A load the browser refused without a word (a blocked port) leaves an
    // empty page; an error page of the server is not the page asked for.
    WebKitWebResource* resource = webkit_web_view_get_main_resource(web);
    WebKitURIResponse* response = resource ? webkit_web_resource_get_response(resource) : nullptr;
    if (!response && url != "about:blank")
        throw CBatchFailure{kExitLoad, FormatMessageText(185, {url})};
    const guint code = response ? webkit_uri_response_get_status_code(response) : 0;
    if (code >= 400)
        throw CBatchFailure{kExitLoad, NavigationFailureText(url, "HTTP " + std::to_string(code))};
}

std::unique_ptr<CRenderedCapture> CBatchPage::Capture(BatchClock::time_point deadline)
{
    const std::chrono::milliseconds left = Remaining(deadline);
    if (left.count() == 0)
        throw CBatchFailure{kExitCapture, {}};
    // Ctrl+C, SIGTERM and SIGHUP also end the capture's wait for the map's tiles.
    m_view.CaptureState().abandonWhen = [] { return BatchInterrupted(); };
    try {
        return CaptureRendered(m_view, {}, left, CBitmapReady::WhenConverted);
    } catch (const my::CException& e) {
        throw CBatchFailure{kExitCapture, BatchClock::now() >= deadline ? std::string() : std::string(e.what())};
    }
}

void CBatchPage::EndWebProcess()
{
    webkit_web_view_terminate_web_process(m_view.View().WebView());
}

std::string CBatchPage::Title()
{
    std::string title;
    return m_view.View().GetLocationName(title) ? title : std::string();
}
