#include "controls/ActiveWindow.h"

#include <gtkmm/window.h>

Gtk::Window* ActiveWindow()
{
    for (Gtk::Window* window : Gtk::Window::list_toplevels()) {
        if (window->is_active() && window->get_visible())
            return window;
    }
    return nullptr;
}
