#pragma once
// Real input for GUI tests: keys go through the X server to the focused
// toplevel, which hands them to its focus widget, as a person's keys would.
#include <gtkmm.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace guitest {

// Runs the main loop until `done` answers true or `ms` milliseconds passed.
inline bool PumpUntil(const std::function<bool()>& done, int ms = 5000)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        g_main_context_iteration(nullptr, FALSE);
    }
    return true;
}

// Handles everything that is pending now.
inline void Pump()
{
    gdk_display_sync(gdk_display_get_default());
    for (int i = 0; i < 5; ++i) {
        while (g_main_context_iteration(nullptr, FALSE)) {
        }
        g_usleep(2000);
    }
}

// Shows the window and waits until it has the keyboard focus.
inline bool ShowActive(Gtk::Window& window)
{
    window.show_all();
    window.present();
    return PumpUntil([&] { return window.is_active() && window.get_mapped(); });
}

// Runs xdotool, which feeds the keys to the X server (XTEST); the server
// sends them to the window that has the input focus.
inline bool Xdotool(const std::vector<std::string>& args)
{
    std::vector<std::string> argv{"xdotool"};
    argv.insert(argv.end(), args.begin(), args.end());
    int status = -1;
    Glib::spawn_sync("", argv, Glib::SPAWN_SEARCH_PATH, {}, nullptr, nullptr, &status);
    Pump();
    return status == 0;
}

// Presses keys by their X names, for example "Return", "Tab", "ctrl+o".
inline bool Key(const std::string& keys)
{
    return Xdotool({"key", "--delay", "0", keys});
}

inline bool Type(const std::string& text)
{
    return Xdotool({"type", "--delay", "0", "--", text});
}

// Gives `entry` the focus with its text selected, so typing replaces it.
inline void FocusAndSelectAll(Gtk::Entry& entry)
{
    entry.grab_focus();
    entry.select_region(0, -1);
    Pump();
}

}  // namespace guitest
