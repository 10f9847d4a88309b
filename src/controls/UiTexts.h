#pragma once
#include <gtkmm/builder.h>

#include <string>

// Puts the string table's texts for a .ui file (LoadUiTexts) on the objects
// the builder made from it: a window gets its title, a label or button its
// label. Ids the file does not have are skipped.
void ApplyUiTexts(const Glib::RefPtr<Gtk::Builder>& builder, const std::string& uiFile);
