#pragma once

namespace Gtk { class Window; }

// The program's visible window that has the focus (the main frame or a dialog
// over it): the parent for a dialog or message box about to be shown. Null
// when none of them is active.
Gtk::Window* ActiveWindow();
