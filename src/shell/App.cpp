#include "shell/App.h"

#include "settings/Setting.h"

#include <gtkmm.h>

int Run(int argc, char* argv[])
{
    auto app = Gtk::Application::create("org.brackwater.Quorvane", Gio::APPLICATION_NON_UNIQUE);
    app->register_application();
    CSetting setting;
    SetTheSetting(&setting);
    Gtk::ApplicationWindow window;
    window.set_title("Quorvane");
    app->add_window(window);
    window.show_all();
    app->run();
    SetTheSetting(nullptr);
    return 1;
}
