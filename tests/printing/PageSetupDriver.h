#pragma once
// Runs the page setup dialog ("ページ設定") modally and drives it from its
// own main loop: waits until it is up and focused, then runs the test's
// steps. A dialog that the steps did not close is cancelled after 30 s, so
// a test never hangs.
#include "controls/GuiInput.h"
#include "errors/Msg.h"

#include <glibmm/main.h>
#include <gtest/gtest.h>
#include <gtkmm/dialog.h>

#include <functional>

inline Gtk::Dialog* ShownPageSetupDialog()
{
    for (Gtk::Window* w : Gtk::Window::list_toplevels())
        if (w->get_title() == "ページ設定" && w->get_mapped())
            if (auto* dialog = dynamic_cast<Gtk::Dialog*>(w))
                return dialog;
    return nullptr;
}

// The widget that a .ui file names `id`, inside `root`.
inline Gtk::Widget* FindBuilderId(Gtk::Widget& root, const std::string& id)
{
    const char* name = GTK_IS_BUILDABLE(root.gobj()) ? gtk_buildable_get_name(GTK_BUILDABLE(root.gobj())) : nullptr;
    if (name && id == name)
        return &root;
    auto* container = dynamic_cast<Gtk::Container*>(&root);
    if (!container)
        return nullptr;
    Gtk::Widget* found = nullptr;
    container->forall([&](Gtk::Widget& child) {
        if (!found)
            found = FindBuilderId(child, id);
    });
    return found;
}

// Schedules `steps` for the dialog that `run` shows, then calls `run`.
template <class Run>
auto RunPageSetup(Run run, std::function<void()> steps)
{
    sigc::connection fallback;
    sigc::connection start = Glib::signal_timeout().connect(
        [steps, &fallback] {
            Gtk::Dialog* shown = nullptr;
            guitest::PumpUntil([&] { return (shown = ShownPageSetupDialog()) != nullptr; }, 20000);
            if (!shown || (shown->present(), !guitest::PumpUntil([&] { return shown->is_active(); }))) {
                ADD_FAILURE() << "the page setup dialog did not come up";
                if (shown)
                    shown->response(IDCANCEL);
                return false;
            }
            fallback = Glib::signal_timeout().connect(
                [] {
                    if (Gtk::Dialog* left = ShownPageSetupDialog()) {
                        ADD_FAILURE() << "the page setup dialog stayed open";
                        left->response(IDCANCEL);
                    }
                    return false;
                },
                30000);
            steps();
            return false;
        },
        20);
    auto result = run();
    start.disconnect();
    fallback.disconnect();
    return result;
}
