#pragma once
#include <gtkmm/eventbox.h>
#include <gtkmm/overlay.h>

#include <sigc++/connection.h>

#include <vector>

// Covers the client area while a capture waits for the page: the busy cursor
// there (and only there, not over the menus and bars), and clicks and scrolls
// kept off the page so that the map does not move under the capture.
class CBusyShield {
public:
    explicit CBusyShield(Gtk::Overlay& overlay);
    ~CBusyShield();
    CBusyShield(const CBusyShield&) = delete;
    CBusyShield& operator=(const CBusyShield&) = delete;

private:
    Gtk::Overlay& m_overlay;
    Gtk::EventBox m_box;
};

// Notes Escape pressed in any window of the program while it lives; the
// handlers run before the windows' own (a dialog would close on Escape).
class CEscapeWatch {
public:
    CEscapeWatch();
    ~CEscapeWatch();
    CEscapeWatch(const CEscapeWatch&) = delete;
    CEscapeWatch& operator=(const CEscapeWatch&) = delete;

    bool Pressed() const { return m_pressed; }

private:
    bool m_pressed = false;
    std::vector<sigc::connection> m_connections;
};
