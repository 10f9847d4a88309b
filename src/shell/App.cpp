#include "shell/App.h"

#include "errors/MessageBoxMsg.h"
#include "errors/Resources.h"
#include "settings/Setting.h"
#include "shell/MainFrame.h"
#include "shell/StartupSettings.h"

#include <gtkmm.h>

namespace {

// Program icon 140 at the sizes window managers ask for.
void SetProgramIcon()
{
    std::vector<Glib::RefPtr<Gdk::Pixbuf>> icons;
    for (int size : {16, 32, 48, 128})
        icons.push_back(Gdk::Pixbuf::create_from_resource(ResourcePath("icons/quorvane-" + std::to_string(size) + ".png")));
    Gtk::Window::set_default_icon_list(icons);
}

}  // namespace

int Run(int argc, char* argv[])
{
    auto app = Gtk::Application::create("org.brackwater.Quorvane", Gio::APPLICATION_NON_UNIQUE);
    if (!app->register_application() || !gdk_display_get_default()) {
        g_printerr("quorvane: cannot open the display\n");
        return 0;
    }
    SetProgramIcon();

    CSetting setting;
    SetTheSetting(&setting);
    // Declining to go on after a settings-file problem ends the program
    // before any window exists.
    if (!LoadStartupSettings(setting, TheMsg())) {
        SetTheSetting(nullptr);
        return 0;
    }

    int result = 0;
    {
        CMainFrame frame(setting);
        frame.signal_hide().connect([&] { app->remove_window(frame); });
        app->add_window(frame);
        frame.Create();
        app->run();
        // The frame closed normally.
        result = 1;
    }
    TheMsg().SetOwner(nullptr);
    SetTheSetting(nullptr);
    return result;
}
