#pragma once
#include <gtkmm/button.h>
#include <gtkmm/dialog.h>
#include <gtkmm/window.h>
#include <sigc++/connection.h>

#include <functional>

namespace qvn {
class CMsg;
}

// Enter accepts the dialog wherever the focus is, as the default button
// would: on a radio or check button, on a drop-down list that is closed, on
// the preview. Only controls that take Enter themselves keep it: an edit
// field (which commits its text and then passes Enter on to the default
// button, or leaves it to an input method that is composing), a push button
// with the focus (Enter presses that one), and an open drop-down list (it
// holds the keyboard while it is open, so the dialog never sees the key).
sigc::connection AcceptEnterAnywhere(Gtk::Window& dialog);

// OK that ends the dialog's run with IDOK only when `accept` agrees. The
// button has no response of its own, so a refused OK (accept shows why and
// answers false) leaves the run going with every entry as the user left it.
sigc::connection ConnectCheckedOk(Gtk::Dialog& dialog, Gtk::Button& ok, std::function<bool()> accept);

// Runs `commit` (the dialog's entries taken in); when it fails, focuses the
// control the failure names, shows the error and answers false.
bool CommitEntries(qvn::CMsg& msg, const std::function<void()>& commit);
