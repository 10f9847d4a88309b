#include "browser/CaptureWait.h"

#include <gtkmm/window.h>

CBusyShield::CBusyShield(Gtk::Overlay& overlay) : m_overlay(overlay)
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

CBusyShield::~CBusyShield() { static_cast<Gtk::Container&>(m_overlay).remove(m_box); }

CEscapeWatch::CEscapeWatch()
{
    for (Gtk::Window* window : Gtk::Window::list_toplevels()) {
        m_connections.push_back(window->signal_key_press_event().connect(
            [this](GdkEventKey* event) {
                if (event->keyval != GDK_KEY_Escape)
                    return false;
                m_pressed = true;
                return true;
            },
            false));
    }
}

CEscapeWatch::~CEscapeWatch()
{
    for (auto& connection : m_connections)
        connection.disconnect();
}
