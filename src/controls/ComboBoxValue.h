#pragma once
#include "controls/ControlGlue.h"
#include "controls/ValueComboBinding.h"

// A converting combo box (with or without an edit field): a pick from the
// list commits at once, a change of the edit text on the next idle pass.
// Refused input changes nothing but the error record and its event; a dialog
// calls Commit(..., true) on OK to have it raised.
template <class T, class TConverter, class TBinding = CValueComboBinding<T, TConverter>>
class CComboBoxValue : public TBinding {
public:
    using Getter = typename TBinding::Setting::Getter;
    using Setter = typename TBinding::Setting::Setter;

    void Bind(Gtk::ComboBoxText& combo, T* object, Getter getter, Setter setter)
    {
        this->BindValue(object, getter, setter);
        this->SetWindow(GTK_WIDGET(combo.gobj()));
        m_glue.Attach(combo, true, false, [this](bool) { CommitInput(false); }, [this] { OnFocusOut(); });
        m_glue.SetItems(this->Items());
    }

    void SetItems(std::vector<std::string> items)
    {
        TBinding::SetItems(std::move(items));
        m_glue.SetItems(this->Items());
    }

    bool ShowValue()
    {
        int index = -1;
        std::string text;
        if (!RunDroppingFailure([&] {
                index = this->IndexOfValue();
                text = this->ValueText();
            }))
            return false;
        m_glue.Show(index, text);
        return true;
    }

    // Commits what the combo box shows now.
    bool CommitInput(bool rethrow)
    {
        if (rethrow)
            return this->Commit(m_glue.Active(), m_glue.EditText(), true);
        return this->CommitQuietly(m_glue.Active(), m_glue.EditText());
    }

    // Commits typed text whose deferred commit has not run yet.
    void FlushPending() { m_glue.FlushDeferred(); }

    Gtk::ComboBoxText* Combo() const { return m_glue.Combo(); }

private:
    void OnFocusOut() { RunDroppingFailure([&] { this->Fire(TBinding::EventFocusLost, 0); }); }

    CComboGlue m_glue;
};

// The integer combo box, with a range (SetMinimum, SetMaximum).
template <class T>
class CComboBoxInt : public CComboBoxValue<T, CIntConverter, CIntComboBinding<T>> {
};
