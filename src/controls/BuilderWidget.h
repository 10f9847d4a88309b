#pragma once
#include "errors/Exception.h"

#include <gtkmm/builder.h>

#include <string>

// The widget `name` of a dialog built from `ui`; a missing or mistyped one is
// an internal error (58721) naming both, not a null pointer.
template <class T>
T* BuilderWidget(const Glib::RefPtr<Gtk::Builder>& builder, const std::string& ui, const std::string& name)
{
    T* widget = nullptr;
    builder->get_widget(name, widget);
    if (!widget)
        throw my::CException(58721, {ui + ": " + name});
    return widget;
}
