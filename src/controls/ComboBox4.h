#pragma once
#include "controls/ComboBinding.h"
#include "controls/ControlGlue.h"

// A combo box with an edit field whose items come from an item source. Every
// change of the edit text commits at once (commitOnEdit); a pick from the list
// commits on the next idle pass, once the edit text is final. The value is
// compared and shown exactly: typing the beginning of an item never selects it.
template <class T, class TItems, class TMapper, class V>
class CComboBox4 : public CComboBinding<T, TItems, TMapper, V> {
public:
    using Base = CComboBinding<T, TItems, TMapper, V>;
    using Getter = typename Base::Setting::Getter;
    using Setter = typename Base::Setting::Setter;

    void Bind(Gtk::ComboBoxText& combo, T* object, Getter getter, Setter setter, const TItems* items)
    {
        this->BindValue(object, getter, setter, items);
        this->SetWindow(GTK_WIDGET(combo.gobj()));
        m_glue.Attach(combo, false, true, [this](bool picked) { OnChange(picked); }, [this] { OnFocusOut(); });
        m_glue.SetItems(this->ItemTexts());
    }

    // Fills the list again from the item source.
    void FillItems() { m_glue.SetItems(this->ItemTexts()); }

    // Selects the item equal to the value, else shows the value as the edit text.
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

    // Commits a pick whose deferred commit has not run yet (a dialog closing).
    void FlushPending() { m_glue.FlushDeferred(); }

    Gtk::ComboBoxText* Combo() const { return m_glue.Combo(); }

private:
    void OnChange(bool picked)
    {
        if (!picked && !this->commitOnEdit)
            return;
        const int active = m_glue.Active();
        if (this->CommitQuietly(active, m_glue.EditText()) && picked)
            RunDroppingFailure([&] { this->Fire(Base::EventPicked, active); });
    }

    void OnFocusOut()
    {
        if (this->commitOnFocusLoss)
            this->CommitQuietly(m_glue.Active(), m_glue.EditText());
        else if (!this->commitOnEdit)
            ShowValue();
        RunDroppingFailure([&] { this->Fire(Base::EventFocusLost, 0); });
    }

    CComboGlue m_glue;
};

// The string combo box: each item's text is its value.
template <class T, class TItems>
class CComboBoxString : public CComboBox4<T, TItems, CSameTextValue, const std::string&> {
};
