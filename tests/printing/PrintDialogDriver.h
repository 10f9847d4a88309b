#pragma once
// Drives the modal print dialog ("印刷") from the main loop it runs: waits
// until it is up and focused, then runs the test's keys. A dialog that the
// keys did not close is cancelled after 15 s, so a test never hangs.
#include "controls/GuiInput.h"
#include "errors/Msg.h"

#include <glibmm/main.h>
#include <gtest/gtest.h>
#include <gtkmm/dialog.h>

#include <functional>

inline Gtk::Dialog* ShownPrintDialog()
{
    for (Gtk::Window* w : Gtk::Window::list_toplevels())
        if (w->get_title() == "印刷" && w->get_mapped())
            if (auto* dialog = dynamic_cast<Gtk::Dialog*>(w))
                return dialog;
    return nullptr;
}

// `fallback` holds the time-out that cancels a dialog left open; a later
// call replaces it, and the test disconnects it in TearDown.
inline void RunInPrintDialog(std::function<void()> keys, sigc::connection& fallback)
{
    Glib::signal_timeout().connect_once(
        [keys, fallback = &fallback] {
            Gtk::Dialog* shown = nullptr;
            guitest::PumpUntil([&] { return (shown = ShownPrintDialog()) != nullptr; });
            if (!shown || (shown->present(), !guitest::PumpUntil([&] { return shown->is_active(); }))) {
                ADD_FAILURE() << "the print dialog did not come up";
                if (shown)
                    shown->response(IDCANCEL);
                return;
            }
            keys();
            fallback->disconnect();
            *fallback = Glib::signal_timeout().connect(
                [] {
                    if (Gtk::Dialog* left = ShownPrintDialog()) {
                        ADD_FAILURE() << "the print dialog stayed open";
                        left->response(IDCANCEL);
                    }
                    return false;
                },
                15000);
        },
        20);
}
