#pragma once
#include "errors/Exception.h"

#include <string>

namespace Gtk { class Window; }

// Opens the URI in the user's default application for it (for a web page,
// the default web browser). Unlike gtk_show_uri_on_window with a parent,
// which hands the URI on and answers before it knows, this says whether it
// was opened; on failure `error` gets the reason.
bool ShowUriInBrowser(Gtk::Window* parent, const std::string& uri, SysErr* error = nullptr);
