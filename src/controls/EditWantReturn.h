#pragma once
#include "controls/ControlGlue.h"
#include "controls/EditBinding.h"

// An edit bound to one value: Enter commits and is consumed; losing the focus
// commits and then shows the value again, so refused text reverts (unless
// KeepRefusedText). Refused input is dropped silently.
template <class T, class TConverter, class TBinding = CEditBinding<T, TConverter>>
class CEditWantReturn : public TBinding {
public:
    using Getter = typename TBinding::Setting::Getter;
    using Setter = typename TBinding::Setting::Setter;

    void Bind(Gtk::Entry& entry, T* object, Getter getter, Setter setter)
    {
        this->BindValue(object, getter, setter);
        this->SetWindow(GTK_WIDGET(entry.gobj()));
        m_glue.Attach(entry, [this] { CommitFromEntry(false); }, [this] { CommitFromEntry(true); });
    }

    // Shows the value as the entry's text; when the value cannot be read the
    // text stays as it is and false is returned.
    bool ShowValue()
    {
        Gtk::Entry* entry = m_glue.Entry();
        std::string text;
        if (!entry || !RunDroppingFailure([&] { text = this->ValueText(); }))
            return false;
        if (entry->get_text() != text)
            entry->set_text(text);
        return true;
    }

    Gtk::Entry* Entry() const { return m_glue.Entry(); }

    // For a dialog that checks its fields on OK: refused text stays when the
    // focus leaves, so that OK reports it instead of it being dropped.
    void KeepRefusedText() { m_keepRefused = true; }

    // Commits the text as Enter would, for a caller that cannot wait for the
    // focus to leave (the window is closing).
    void CommitPending() { CommitFromEntry(false); }

private:
    void CommitFromEntry(bool focusLost)
    {
        Gtk::Entry* entry = m_glue.Entry();
        if (!entry)
            return;
        const bool accepted = RunDroppingFailure([&] { this->Commit(entry->get_text()); });
        // After Enter the typed text stays until the focus leaves.
        if (focusLost && (accepted || !m_keepRefused))
            ShowValue();
    }

    CEntryCommitGlue m_glue;
    bool m_keepRefused = false;
};

// The integer edit: as CEditWantReturn, with a range (SetMinimum, SetMaximum).
template <class T, class TConverter = CIntConverter>
class CEditWantReturnInt : public CEditWantReturn<T, TConverter, CIntEditBinding<T, TConverter>> {
};
