#include "controls/DialogEnter.h"

#include "errors/ErrorRecord.h"
#include "errors/Msg.h"

#include <gtk/gtk.h>

namespace {

bool IsEnter(guint keyval)
{
    return keyval == GDK_KEY_Return || keyval == GDK_KEY_KP_Enter || keyval == GDK_KEY_ISO_Enter;
}

// Controls that do something of their own with Enter.
bool TakesEnter(GtkWidget* focus)
{
    if (!focus)
        return false;
    if (GTK_IS_ENTRY(focus) || GTK_IS_TEXT_VIEW(focus))
        return true;
    // A drop-down list's button is a toggle button that is no check box:
    // Enter would open the list.
    return GTK_IS_BUTTON(focus) && !GTK_IS_TOGGLE_BUTTON(focus);
}

}  // namespace

sigc::connection AcceptEnterAnywhere(Gtk::Window& dialog)
{
    GtkWindow* window = dialog.gobj();
    // Before the window hands the key to the focus widget.
    return dialog.signal_key_press_event().connect(
        [window](GdkEventKey* event) {
            if (!IsEnter(event->keyval) || (event->state & (GDK_CONTROL_MASK | GDK_MOD1_MASK)))
                return false;
            if (TakesEnter(gtk_window_get_focus(window)))
                return false;
            GtkWidget* ok = gtk_window_get_default_widget(window);
            if (!ok || !gtk_widget_is_sensitive(ok))
                return false;
            gtk_widget_activate(ok);
            return true;
        },
        false);
}

sigc::connection ConnectCheckedOk(Gtk::Dialog& dialog, Gtk::Button& ok, std::function<bool()> accept)
{
    ok.grab_default();
    return ok.signal_clicked().connect([&dialog, accept = std::move(accept)] {
        if (accept())
            dialog.response(IDOK);
    });
}

bool CommitEntries(qvn::CMsg& msg, const std::function<void()>& commit)
{
    void* control = nullptr;
    const CSimpleErr err = RunGuarded(commit, &control);
    if (!err.Failed())
        return true;
    if (control && GTK_IS_WIDGET(control))
        gtk_widget_grab_focus(GTK_WIDGET(control));
    msg.ShowError(err);
    return false;
}
