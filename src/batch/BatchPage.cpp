#include "batch/BatchPage.h"

#include "browser/Capture.h"
#include "common/PhaseLog.h"
#include "browser/LoadTracker.h"
#include "errors/ErrorRecord.h"
#include "errors/ProgramMessages.h"
#include "errors/Exception.h"
#include "errors/MessageFormat.h"
#include "batch/CommandLine.h"
#include "batch/ExitStatus.h"

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

bool RunMainLoopUntil(const std::function<bool()>& done, BatchClock::time_point deadline,
                      std::chrono::milliseconds every)
{
    while (!done()) {
        if (g_interrupted)
            return false;
        const std::chrono::milliseconds left = Remaining(deadline);
        if (left.count() == 0)
            return false;
        // The time-out only wakes the loop up; the loop itself sleeps.
        const guint timer =
            g_timeout_add(static_cast<guint>(std::min<int64_t>(left.count(), every.count())), WakeUp, nullptr);
        g_main_context_iteration(nullptr, TRUE);
        if (GSource* source = g_main_context_find_source_by_id(nullptr, timer))
            g_source_destroy(source);
    }
    return true;
}

CBatchPage::CBatchPage(const CCommandLine& options) : m_options(options), m_view(m_setting)
{
    m_setting.width = options.size.cx;
    m_setting.height = options.size.cy;
    m_setting.trim = options.trim;
    m_window.set_default_size(640, 480);
    m_window.add(m_view.Widget());
    m_window.show_all();
    m_view.ApplyBrowserSize();
    MarkPhase("view made");
    m_view.CaptureState().pixelScale = options.scale;
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
            [&] { return !browser.NavigationFailure().empty() || browser.ReadyState() == kReadyComplete; }, deadline);
    } catch (...) {
        if (phases)
            g_signal_handler_disconnect(web, phases);
        throw CBatchFailure{kExitLoad, CurrentErrorRecord().text};
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
    WaitForCommandLine(deadline);
    auto outcome = std::make_shared<CCaptureOutcome>();
    GCancellable* cancellable = g_cancellable_new();
    CaptureAsync(m_view, {CSettleRule{}, Remaining(deadline), CBitmapReady::WhenConverted}, cancellable,
                 [outcome](CCaptureOutcome result) { *outcome = std::move(result); });
    // Ctrl+C, SIGTERM, SIGHUP and the deadline end the capture, in its wait
    // for the map's tiles or for WebKit's image.
    if (!RunMainLoopUntil([&] { return outcome->done; }, deadline)) {
        g_cancellable_cancel(cancellable);
        while (!outcome->done)
            g_main_context_iteration(nullptr, TRUE);
    }
    g_object_unref(cancellable);
    if (outcome->error) {
        try {
            std::rethrow_exception(outcome->error);
        } catch (...) {
            throw CBatchFailure{kExitCapture,
                                BatchClock::now() >= deadline ? std::string() : CurrentErrorRecord().text};
        }
    }
    return std::move(outcome->rendered);
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

namespace {

struct Evaluation {
    bool done = false;
    bool value = false;
    std::string error;
};

void OnEvaluated(GObject* source, GAsyncResult* result, gpointer data)
{
    auto* holder = static_cast<std::shared_ptr<Evaluation>*>(data);
    Evaluation& evaluation = **holder;
    GError* error = nullptr;
    JSCValue* value = webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(source), result, &error);
    if (value) {
        evaluation.value = jsc_value_to_boolean(value);
        g_object_unref(value);
    } else {
        evaluation.error = error && error->message ? error->message : "?";
        g_clear_error(&error);
    }
    evaluation.done = true;
    delete holder;
}

}  // namespace

bool CBatchPage::WaitForIsTrue(BatchClock::time_point deadline)
{
    auto evaluation = std::make_shared<Evaluation>();
    // In the page's own world, where its variables are.
    webkit_web_view_evaluate_javascript(m_view.View().WebView(), m_options.waitFor.c_str(), -1, nullptr, nullptr,
                                        nullptr, OnEvaluated, new std::shared_ptr<Evaluation>(evaluation));
    if (!RunMainLoopUntil([&] { return evaluation->done; }, deadline))
        return false;
    // An expression the page cannot evaluate never becomes true.
    if (!evaluation->error.empty())
        throw CBatchFailure{kExitLoad, FormatMessageText(IDS_BATCH_WAIT_FOR_FAILED, {m_options.waitFor, evaluation->error})};
    return evaluation->value;
}

void CBatchPage::WaitForCommandLine(BatchClock::time_point deadline)
{
    if (m_options.delayMs == 0 && m_options.waitFor.empty())
        return;
    // The page finished first, as the capture would wait for it.
    CQuorvaneView& browser = m_view.View();
    const auto start = CLoadTracker::Clock::now();
    const auto finished = [&] {
        const int state = browser.ReadyState();
        return DecideSettle(browser.Loads(), browser.Scripts(), state >= 1 && state <= 3, start,
                            CLoadTracker::Clock::now(), CSettleRule{}) != SettleState::Loading;
    };
    if (!RunMainLoopUntil(finished, deadline, std::chrono::milliseconds(25)))
        throw CBatchFailure{kExitCapture, {}};
    const auto delayEnd = BatchClock::now() + std::chrono::milliseconds(m_options.delayMs);
    if (!RunMainLoopUntil([&] { return BatchClock::now() >= delayEnd; }, deadline,
                          std::chrono::milliseconds(std::max(1, m_options.delayMs))))
        throw CBatchFailure{kExitCapture, {}};
    if (m_options.waitFor.empty())
        return;
    for (;;) {
        if (WaitForIsTrue(deadline))
            return;
        const auto next = BatchClock::now() + std::chrono::milliseconds(100);
        if (!RunMainLoopUntil([&] { return BatchClock::now() >= next; }, deadline, std::chrono::milliseconds(100)))
            break;
    }
    if (BatchInterrupted())
        throw CBatchFailure{kExitCapture, {}};
    throw CBatchFailure{kExitLoad, FormatMessageText(IDS_BATCH_WAIT_FOR_TIMED_OUT, {m_options.waitFor, std::to_string(m_options.timeoutSeconds)})};
}
