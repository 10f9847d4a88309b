#include "shell/UriLauncher.h"

#include <gtk/gtk.h>
#include <gtkmm/window.h>

#include <cerrno>

bool ShowUriInBrowser(Gtk::Window* parent, const std::string& uri, SysErr* error)
{
    GdkDisplay* display = parent ? gtk_widget_get_display(GTK_WIDGET(parent->gobj())) : gdk_display_get_default();
    if (!display) {
        if (error)
            *error = SysErr::FromErrno(ENXIO);
        return false;
    }
    GdkAppLaunchContext* context = gdk_display_get_app_launch_context(display);
    gdk_app_launch_context_set_timestamp(context, GDK_CURRENT_TIME);
    GError* launchError = nullptr;
    const bool shown = g_app_info_launch_default_for_uri(uri.c_str(), G_APP_LAUNCH_CONTEXT(context), &launchError);
    if (!shown && error)
        *error = SysErr::FromGError(launchError);
    g_clear_error(&launchError);
    g_object_unref(context);
    return shown;
}
