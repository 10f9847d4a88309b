#include "controls/ControlGlue.h"

#include <gdk/gdkkeysyms.h>
#include <glibmm/main.h>

void CWeakWidget::Reset(Gtk::Widget* widget)
{
    if (m_widget)
        g_object_remove_weak_pointer(G_OBJECT(m_widget), reinterpret_cast<gpointer*>(&m_widget));
    m_widget = widget ? widget->gobj() : nullptr;
    if (m_widget)
        g_object_add_weak_pointer(G_OBJECT(m_widget), reinterpret_cast<gpointer*>(&m_widget));
}

Gtk::Widget* CWeakWidget::Get() const
{
    return m_widget ? Glib::wrap(m_widget) : nullptr;
}

void CEntryCommitGlue::Attach(Gtk::Entry& entry, std::function<void()> onEnter, std::function<void()> onFocusOut)
{
    Detach();
    m_entry.Reset(&entry);
    m_onEnter = std::move(onEnter);
    m_onFocusOut = std::move(onFocusOut);
    // Before the entry's own handler, which would activate the default button.
    m_connections.push_back(
        entry.signal_key_press_event().connect(sigc::mem_fun(*this, &CEntryCommitGlue::OnKeyPress), false));
    m_connections.push_back(
        entry.signal_focus_out_event().connect(sigc::mem_fun(*this, &CEntryCommitGlue::OnFocusOut), false));
    m_preeditHandler = g_signal_connect(entry.gobj(), "preedit-changed", G_CALLBACK(&CEntryCommitGlue::OnPreeditChanged), this);
}

void CEntryCommitGlue::OnPreeditChanged(GtkEntry*, const char* preedit, gpointer self)
{
    static_cast<CEntryCommitGlue*>(self)->m_composing = preedit && *preedit;
}

void CEntryCommitGlue::Detach()
{
    for (auto& connection : m_connections)
        connection.disconnect();
    m_connections.clear();
    if (m_preeditHandler && m_entry.Get())
        g_signal_handler_disconnect(m_entry.Get()->gobj(), m_preeditHandler);
    m_preeditHandler = 0;
    m_entry.Reset(nullptr);
    m_composing = false;
}

bool CEntryCommitGlue::OnKeyPress(GdkEventKey* event)
{
    switch (event->keyval) {
    case GDK_KEY_Return:
    case GDK_KEY_KP_Enter:
    case GDK_KEY_ISO_Enter:
        if (m_composing)
            return false;
        if (m_onEnter)
            m_onEnter();
        // An entry of a dialog passes Enter on to the default button.
        if (Gtk::Entry* entry = Entry())
            return !entry->get_activates_default();
        return true;
    default:
        return false;
    }
}

bool CEntryCommitGlue::OnFocusOut(GdkEventFocus*)
{
    if (m_onFocusOut)
        m_onFocusOut();
    return false;
}

void CComboGlue::Attach(Gtk::ComboBoxText& combo, bool deferEdit, bool deferPick,
                        std::function<void(bool picked)> onChange, std::function<void()> onFocusOut)
{
    Detach();
    m_combo.Reset(&combo);
    m_deferEdit = deferEdit;
    m_deferPick = deferPick;
    m_onChange = std::move(onChange);
    m_onFocusOut = std::move(onFocusOut);
    m_connections.push_back(combo.signal_changed().connect(sigc::mem_fun(*this, &CComboGlue::OnChanged)));
    Gtk::Widget* focusWidget = &combo;
    if (Gtk::Entry* entry = combo.get_entry()) {
        // Typed text is taken as it is: nothing completes it or picks an item from it.
        gtk_entry_set_completion(entry->gobj(), nullptr);
        focusWidget = entry;
    }
    m_connections.push_back(
        focusWidget->signal_focus_out_event().connect(sigc::mem_fun(*this, &CComboGlue::OnFocusOut), false));
}

void CComboGlue::Detach()
{
    for (auto& connection : m_connections)
        connection.disconnect();
    m_connections.clear();
    m_idle.disconnect();
    m_combo.Reset(nullptr);
}

void CComboGlue::SetItems(const std::vector<std::string>& items)
{
    Gtk::ComboBoxText* combo = Combo();
    if (!combo)
        return;
    m_updating = true;
    const Glib::ustring text = combo->get_entry() ? combo->get_entry()->get_text() : Glib::ustring();
    combo->remove_all();
    for (const auto& item : items)
        combo->append(item);
    if (combo->get_entry())
        combo->get_entry()->set_text(text);
    m_updating = false;
}

void CComboGlue::Show(int index, const std::string& text)
{
    Gtk::ComboBoxText* combo = Combo();
    if (!combo)
        return;
    m_updating = true;
    if (index >= 0) {
        combo->set_active(index);
    } else {
        combo->set_active(-1);
        if (Gtk::Entry* entry = combo->get_entry())
            entry->set_text(text);
    }
    m_updating = false;
}

int CComboGlue::Active() const
{
    Gtk::ComboBoxText* combo = Combo();
    return combo ? combo->get_active_row_number() : -1;
}

std::string CComboGlue::EditText() const
{
    Gtk::ComboBoxText* combo = Combo();
    if (!combo || !combo->get_entry())
        return {};
    return combo->get_entry()->get_text();
}

void CComboGlue::OnChanged()
{
    if (m_updating)
        return;
    const bool picked = Active() >= 0;
    if (picked ? m_deferPick : m_deferEdit) {
        if (!m_idle.connected())
            m_idle = Glib::signal_idle().connect(sigc::mem_fun(*this, &CComboGlue::OnIdle));
        return;
    }
    if (m_onChange)
        m_onChange(picked);
}

void CComboGlue::FlushDeferred()
{
    if (!m_idle.connected())
        return;
    m_idle.disconnect();
    OnIdle();
}

bool CComboGlue::OnIdle()
{
    if (m_onChange)
        m_onChange(Active() >= 0);
    return false;
}

bool CComboGlue::OnFocusOut(GdkEventFocus*)
{
    if (m_onFocusOut)
        m_onFocusOut();
    return false;
}
