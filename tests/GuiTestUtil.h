#pragma once
// Helpers for GUI tests: run the GLib main loop until a condition holds.
#include <glibmm/main.h>
#include <gtkmm/widget.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>

inline bool RunUntil(const std::function<bool()>& done, double seconds = 20.0)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    auto context = Glib::MainContext::get_default();
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        context->iteration(false);
        if (!context->pending())
            g_usleep(1000);
    }
    return true;
}

// Runs the main loop for a while so that pending redraws and events settle.
inline void Settle(double seconds = 0.2)
{
    RunUntil([] { return false; }, seconds);
}

// Runs the main loop until `widget`'s window has drawn two frames begun
// after this call, then handles whatever else is pending: layout and drawing
// queued before (and a second layout pass the first one queued) are done.
// False when that takes longer than `seconds`.
inline bool WaitDrawn(Gtk::Widget& widget, double seconds = 20.0)
{
    GdkFrameClock* clock = gtk_widget_get_frame_clock(widget.gobj());
    if (!clock)
        return false;
    int frames = 0;
    const gulong handler = g_signal_connect_swapped(
        clock, "after-paint", G_CALLBACK(+[](int* count) { ++*count; }), &frames);
    gdk_display_sync(widget.get_display()->gobj());
    bool drawn = true;
    for (int want = 1; want <= 2 && drawn; ++want) {
        widget.queue_draw();
        drawn = RunUntil([&] { return frames >= want; }, seconds);
    }
    g_signal_handler_disconnect(clock, handler);
    while (Glib::MainContext::get_default()->iteration(false)) {
    }
    return drawn;
}

inline std::string FixtureUrl(const std::string& name)
{
    const char* dir = std::getenv("QV_TEST_FIXTURES");
    return std::string("file://") + (dir ? dir : ".") + "/" + name;
}
