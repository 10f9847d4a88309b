// The one way the window and batch runs capture the view: a capture that
// waits for the page and for WebKit's image on the main loop's own events,
// and ends through its completion.
#include "browser/Capture.h"

#include "bitmap/DibSection.h"
#include "browser/CaptureWait.h"
#include "browser/QuorvaScrollView.h"
#include "browser/SnapshotRequest.h"
#include "common/PhaseLog.h"
#include "errors/Exception.h"
#include "errors/MessageFormat.h"
#include "errors/ProgramMessages.h"
#include "errors/StringTable.h"
#include "settings/Setting.h"

#include <glibmm/main.h>
#include <webkit2/webkit2.h>

#include <cerrno>

namespace {

using Clock = CLoadTracker::Clock;

// How often the wait looks at the page again.
constexpr unsigned kRecheckMs = 25;

std::exception_ptr SnapshotFailure(int code, const std::string& reason)
{
    try {
        ThrowSnapshotFailure(code, reason);
    } catch (...) {
        return std::current_exception();
    }
}

// The command that asked for a capture that was cancelled ends quietly.
std::exception_ptr Cancelled()
{
    return std::make_exception_ptr(my::CException(CSimpleErr{}));
}

// One capture from its start to its completion. It keeps itself alive until
// its completion has been delivered.
class CCaptureRun : public std::enable_shared_from_this<CCaptureRun> {
public:
    CCaptureRun(CQuorvaScrollView& view, const CCaptureRequest& request, GCancellable* cancellable,
                std::function<void(CCaptureOutcome)> done)
        : m_view(view),
          m_request(request),
          m_cancellable(cancellable ? G_CANCELLABLE(g_object_ref(cancellable)) : g_cancellable_new()),
          m_done(std::move(done)),
          m_viewLife(view.CaptureState().Life())
    {
    }
    ~CCaptureRun() { g_object_unref(m_cancellable); }

    void Start()
    {
        m_self = shared_from_this();
        m_view.CaptureState().Begin(m_cancellable);
        m_cancelHandler = g_signal_connect(m_cancellable, "cancelled", G_CALLBACK(OnCancelled), this);
        if (g_cancellable_is_cancelled(m_cancellable)) {
            Finish(Cancelled());
            return;
        }
        m_start = Clock::now();
        m_settle = Decide();
        if (m_settle == SettleState::Loading)
            StartWaiting();
        else
            Render();
    }

private:
    SettleState Decide()
    {
        CQuorvaneView& page = m_view.View();
        return DecideSettle(page.Loads(), page.Scripts(), IsNavigating(page.ReadyState()), m_start, Clock::now(),
                            m_request.settle);
    }

    void StartWaiting()
    {
        m_waiting = true;
        if (m_view.CaptureState().onWaitChanged)
            m_view.CaptureState().onWaitChanged(true);
        if (!m_request.inBackground) {
            m_shield = std::make_unique<CBusyShield>(m_view.ClientOverlay());
            m_escape = std::make_unique<CEscapeWatch>();
        }
        m_recheck = Glib::signal_timeout().connect([this] { return Recheck(); }, kRecheckMs);
    }

    bool Recheck()
    {
        m_settle = Decide();
        m_escaped = m_escape && m_escape->Pressed();
        if (m_settle == SettleState::Loading && !m_escaped)
            return true;
        m_recheck = {};  // this timer ends with this call
        StopWaiting();
        Render();
        return false;
    }

    void StopWaiting()
    {
        if (!m_waiting)
            return;
        m_waiting = false;
        m_recheck.disconnect();
        m_escape.reset();
        m_shield.reset();
        if (m_view.CaptureState().onWaitChanged)
            m_view.CaptureState().onWaitChanged(false);
    }

    void Render()
    {
        MarkPhase("page finished");
        // The window's status agrees with the capture from now on.
        m_view.View().UpdateLoading();
        WebKitWebView* web = m_view.View().WebView();
        try {
            // A browser set larger than the view can be made would be captured cut.
            const CSetting& setting = m_view.Setting();
            if (setting.width > kMaxBrowserSide || setting.height > kMaxBrowserSide)
                ThrowSnapshotFailure(EFBIG,
                                     FormatMessageText(kMsgBrowserTooLarge, {std::to_string(kMaxBrowserSide)}));
            const CRect browser = m_view.BrowserRect();
            m_rendered = CRenderedCapture::Prepare({browser.Width(), browser.Height()}, setting.trim,
                                                   m_request.bitmap, m_view.CaptureState().pixelScale);
            if (!web)
                ThrowSnapshotFailure(EINVAL, LoadString(kMsgSnapshotNoImage));
        } catch (...) {
            Finish(std::current_exception());
            return;
        }
        m_snapshot = CSnapshotRequest::Start(
            web, m_request.timeLimit,
            [this, web](cairo_surface_t* surface, int code, const std::string& error) {
                OnSnapshot(web, surface, code, error);
            });
    }

    void OnSnapshot(WebKitWebView* web, cairo_surface_t* surface, int code, const std::string& error)
    {
        m_snapshot.reset();
        if (!surface) {
            const std::string reason = code == ETIMEDOUT ? LoadString(kMsgSnapshotTimedOut)
                                       : error.empty()   ? LoadString(kMsgSnapshotNoImage)
                                                         : error;
            Finish(SnapshotFailure(code, reason));
            return;
        }
        m_rendered->TakeSnapshot(surface, gtk_widget_get_scale_factor(GTK_WIDGET(web)));
        MarkPhase("snapshot");
        // Only a wait that ran into its limit is worth a note; a capture told
        // not to wait took what was drawn on purpose.
        const CCaptureState& state = m_view.CaptureState();
        if (!m_escaped && m_request.settle.limit.count() > 0) {
            if (m_settle == SettleState::LimitReached && state.onCapturedWhileLoading)
                state.onCapturedWhileLoading();
            if (m_settle == SettleState::StillAnimating && state.onCapturedWhileAnimating)
                state.onCapturedWhileAnimating();
        }
        Finish(nullptr);
    }

    static void OnCancelled(GCancellable*, gpointer data) { static_cast<CCaptureRun*>(data)->Finish(Cancelled()); }

    // The capture stops here; its completion follows from the main loop.
    void Finish(std::exception_ptr error)
    {
        if (m_finished)
            return;
        m_finished = true;
        StopWaiting();
        if (m_snapshot) {
            m_snapshot->Cancel();
            m_snapshot.reset();
        }
        if (m_cancelHandler)
            g_signal_handler_disconnect(m_cancellable, std::exchange(m_cancelHandler, 0));
        m_outcome.done = true;
        m_outcome.error = error;
        if (!error)
            m_outcome.rendered = std::move(m_rendered);
        m_rendered.reset();
        Glib::signal_idle().connect_once([self = std::move(m_self)] { self->Deliver(); });
    }

    void Deliver()
    {
        // The view is free again before the caller goes on, as the caller
        // may capture once more.
        if (!m_viewLife.expired())
            m_view.CaptureState().End();
        auto done = std::move(m_done);
        done(std::move(m_outcome));
    }

    CQuorvaScrollView& m_view;
    const CCaptureRequest m_request;
    GCancellable* m_cancellable;
    gulong m_cancelHandler = 0;
    std::function<void(CCaptureOutcome)> m_done;
    std::shared_ptr<CCaptureRun> m_self;
    std::weak_ptr<const int> m_viewLife;

    Clock::time_point m_start;
    SettleState m_settle = SettleState::Loading;
    bool m_waiting = false;
    bool m_escaped = false;
    bool m_finished = false;
    std::unique_ptr<CBusyShield> m_shield;
    std::unique_ptr<CEscapeWatch> m_escape;
    sigc::connection m_recheck;

    std::unique_ptr<CRenderedCapture> m_rendered;
    std::shared_ptr<CSnapshotRequest> m_snapshot;
    CCaptureOutcome m_outcome;
};

}  // namespace

void CaptureAsync(CQuorvaScrollView& view, const CCaptureRequest& request, GCancellable* cancellable,
                  std::function<void(CCaptureOutcome)> done)
{
    if (view.CaptureState().IsCapturing()) {
        Glib::signal_idle().connect_once([done = std::move(done)] {
            done(CCaptureOutcome{true, nullptr, SnapshotFailure(EBUSY, g_strerror(EBUSY))});
        });
        return;
    }
    std::make_shared<CCaptureRun>(view, request, cancellable, std::move(done))->Start();
}

std::unique_ptr<CRenderedCapture> CaptureRendered(CQuorvaScrollView& view, const CSettleRule& settle,
                                                  std::chrono::milliseconds timeLimit, CBitmapReady bitmap)
{
    auto outcome = std::make_shared<CCaptureOutcome>();
    GMainLoop* loop = g_main_loop_new(nullptr, FALSE);
    CaptureAsync(view, {settle, timeLimit, bitmap}, nullptr, [outcome, loop](CCaptureOutcome result) {
        *outcome = std::move(result);
        g_main_loop_quit(loop);
    });
    // The completion always comes from the loop.
    g_main_loop_run(loop);
    g_main_loop_unref(loop);
    if (outcome->error)
        std::rethrow_exception(outcome->error);
    return std::move(outcome->rendered);
}

std::shared_ptr<CDibSection> Capture(CQuorvaScrollView& view, const CSettleRule& settle,
                                     std::chrono::milliseconds timeLimit)
{
    return CaptureRendered(view, settle, timeLimit)->Convert();
}

std::shared_ptr<CDibSection> Capture(CQuorvaScrollView& view, std::chrono::milliseconds timeLimit)
{
    return Capture(view, CSettleRule{}, timeLimit);
}
