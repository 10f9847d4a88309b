#include "controls/EditEx.h"

#include <gdkmm/general.h>

CEditEx::~CEditEx()
{
    for (auto& connection : m_connections)
        connection.disconnect();
}

void CEditEx::Bind(Gtk::Entry& entry)
{
    for (auto& connection : m_connections)
        connection.disconnect();
    m_connections.clear();
    m_entry.Reset(&entry);
    SetWindow(GTK_WIDGET(entry.gobj()));
    m_connections.push_back(entry.signal_key_press_event().connect(sigc::mem_fun(*this, &CEditEx::OnKeyPress), false));
    m_connections.push_back(entry.signal_draw().connect(sigc::mem_fun(*this, &CEditEx::OnDraw), true));
    // The hint comes and goes with the text and the focus.
    m_connections.push_back(entry.signal_changed().connect([this] {
        if (Gtk::Entry* e = Entry())
            e->queue_draw();
    }));
}

void CEditEx::SetHintImage(Glib::RefPtr<Gdk::Pixbuf> image)
{
    m_hint = std::move(image);
    if (Gtk::Entry* entry = Entry())
        entry->queue_draw();
}

bool CEditEx::HintShown() const
{
    Gtk::Entry* entry = Entry();
    return m_hint && entry && entry->get_text().empty() && !entry->has_focus();
}

bool CEditEx::OnKeyPress(GdkEventKey* event)
{
    RunDroppingFailure([&] { Fire(EventKeyDown, static_cast<intptr_t>(event->keyval)); });
    const gunichar ch = gdk_keyval_to_unicode(event->keyval);
    if (ch != 0 && !(event->state & (GDK_CONTROL_MASK | GDK_MOD1_MASK)))
        RunDroppingFailure([&] { Fire(EventChar, static_cast<intptr_t>(ch)); });
    return false;
}

bool CEditEx::OnDraw(const Cairo::RefPtr<Cairo::Context>& cr)
{
    if (!HintShown())
        return false;
    Gtk::Entry* entry = Entry();
    GdkRectangle area{};
    gtk_entry_get_text_area(entry->gobj(), &area);
    const double y = area.y + (area.height - m_hint->get_height()) / 2.0;
    cr->save();
    Gdk::Cairo::set_source_pixbuf(cr, m_hint, area.x, y);
    cr->paint();
    cr->restore();
    return false;
}
