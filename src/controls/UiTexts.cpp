#include "controls/UiTexts.h"

#include "errors/StringTable.h"

void ApplyUiTexts(const Glib::RefPtr<Gtk::Builder>& builder, const std::string& uiFile)
{
    for (const auto& [id, text] : LoadUiTexts(uiFile)) {
        GObject* object = gtk_builder_get_object(builder->gobj(), id.c_str());
        if (!object)
            continue;
        if (GTK_IS_WINDOW(object))
            gtk_window_set_title(GTK_WINDOW(object), text.c_str());
        else if (g_object_class_find_property(G_OBJECT_GET_CLASS(object), "label"))
            g_object_set(object, "label", text.c_str(), nullptr);
    }
}
