#include "browser/CaptureWait.h"

#include "browser/QuorvaScrollView.h"

#include <gtkmm/eventbox.h>
#include <gtkmm/window.h>

#include <memory>
#include <vector>

namespace {

using Clock = CLoadTracker::Clock;

// How often the wait looks at the page again.
constexpr unsigned kRecheckMs = 25;

SettleState Decide(CQuorvaneView& page, Clock::time_point start, const CSettleRule& rule)
{
    return DecideSettle(page.Loads(), page.Scripts(), IsNavigating(page.ReadyState()), start, Clock::now(), rule);
}

// Covers the client area during the wait: the busy cursor there (and only
// there, not over the menus and bars), and clicks and scrolls kept off the
// page so that the map does not move under the capture.
class CBusyShield {
public:
    explicit CBusyShield(Gtk::Overlay& overlay) : m_overlay(overlay)
    {
        m_box.set_visible_window(false);
        m_box.set_above_child(true);
        m_box.add_events(Gdk::BUTTON_PRESS_MASK | Gdk::BUTTON_RELEASE_MASK | Gdk::SCROLL_MASK);
        m_box.signal_button_press_event().connect([](GdkEventButton*) { return true; });
        m_box.signal_button_release_event().connect([](GdkEventButton*) { return true; });
        m_box.signal_scroll_event().connect([](GdkEventScroll*) { return true; });
        m_box.signal_realize().connect([this] {
            if (auto window = m_box.get_window())
                window->set_cursor(Gdk::Cursor::create(window->get_display(), "wait"));
        });
        m_overlay.add_overlay(m_box);
        m_box.show();
    }
    ~CBusyShield() { static_cast<Gtk::Container&>(m_overlay).remove(m_box); }
    CBusyShield(const CBusyShield&) = delete;
    CBusyShield& operator=(const CBusyShield&) = delete;

private:
    Gtk::Overlay& m_overlay;
    Gtk::EventBox m_box;
};

// Escape pressed in any window of the program while the wait runs; the
// handlers run before the windows' own (a dialog would close on Escape).
class CEscapeWatch {
public:
    explicit CEscapeWatch(GMainLoop* loop) : m_loop(loop)
    {
        for (Gtk::Window* window : Gtk::Window::list_toplevels()) {
            m_connections.push_back(window->signal_key_press_event().connect(
                [this](GdkEventKey* event) {
                    if (event->keyval != GDK_KEY_Escape)
                        return false;
                    m_pressed = true;
                    g_main_loop_quit(m_loop);
                    return true;
                },
                false));
        }
    }
    ~CEscapeWatch()
    {
        for (auto& connection : m_connections)
            connection.disconnect();
    }
    bool Pressed() const { return m_pressed; }

private:
    GMainLoop* m_loop;
    bool m_pressed = false;
    std::vector<sigc::connection> m_connections;
};

struct RecheckContext {
    CQuorvaScrollView* view;
    GMainLoop* loop;
    Clock::time_point start;
    const CSettleRule* rule;
    SettleState state = SettleState::Loading;
};

gboolean Recheck(gpointer data)
{
    auto* context = static_cast<RecheckContext*>(data);
    CCaptureState& capture = context->view->CaptureState();
    if (capture.abandonWhen && capture.abandonWhen())
        capture.Abandon();
    context->state = Decide(context->view->View(), context->start, *context->rule);
    if (context->state != SettleState::Loading || capture.Abandoned()) {
        g_main_loop_quit(context->loop);
        return G_SOURCE_REMOVE;
    }
    return G_SOURCE_CONTINUE;
}

}  // namespace

PageWait WaitForSettledPage(CQuorvaScrollView& view, const CSettleRule& rule)
{
    const Clock::time_point start = Clock::now();
    RecheckContext context{&view, nullptr, start, &rule};
    context.state = Decide(view.View(), start, rule);
    if (context.state == SettleState::Settled)
        return PageWait::Settled;
    if (context.state == SettleState::LimitReached)
        return PageWait::LimitReached;
    if (context.state == SettleState::StillAnimating)
        return PageWait::StillAnimating;

    CCaptureState& capture = view.CaptureState();
    GMainLoop* loop = g_main_loop_new(nullptr, FALSE);
    context.loop = loop;
    if (capture.onWaitChanged)
        capture.onWaitChanged(true);
    bool escaped = false;
    {
        CBusyShield shield(view.ClientOverlay());
        CEscapeWatch escape(loop);
        GSource* timer = g_timeout_source_new(kRecheckMs);
        g_source_set_callback(timer, Recheck, &context, nullptr);
        g_source_attach(timer, nullptr);
        // The main loop runs here: the window repaints, the page goes on
        // loading, and commands and a close of the window may arrive.
        g_main_loop_run(loop);
        g_source_destroy(timer);
        g_source_unref(timer);
        escaped = escape.Pressed();
    }
    g_main_loop_unref(loop);
    if (capture.onWaitChanged)
        capture.onWaitChanged(false);

    if (capture.Abandoned())
        return PageWait::Abandoned;
    if (escaped)
        return PageWait::Escaped;
    switch (context.state) {
    case SettleState::Settled: return PageWait::Settled;
    case SettleState::StillAnimating: return PageWait::StillAnimating;
    default: return PageWait::LimitReached;
    }
}
