#pragma once
#include <gtkmm/comboboxtext.h>
#include <gtkmm/entry.h>

#include <functional>
#include <string>
#include <vector>

// A widget pointer that turns null when the widget is destroyed, so that a
// control outliving its widget never touches a dead one.
class CWeakWidget {
public:
    CWeakWidget() = default;
    ~CWeakWidget() { Reset(nullptr); }
    CWeakWidget(const CWeakWidget&) = delete;
    CWeakWidget& operator=(const CWeakWidget&) = delete;

    void Reset(Gtk::Widget* widget);
    Gtk::Widget* Get() const;
    template <class W>
    W* As() const { return dynamic_cast<W*>(Get()); }

private:
    GtkWidget* m_widget = nullptr;
};

// The commit moments of a bound edit on a Gtk::Entry: Enter, which is
// consumed unless the entry activates its window's default button (a
// dialog's edit: Enter commits, then accepts), and the loss of the keyboard
// focus. While an input method composes text, Enter belongs
// to the input method.
class CEntryCommitGlue {
public:
    CEntryCommitGlue() = default;
    ~CEntryCommitGlue() { Detach(); }
    CEntryCommitGlue(const CEntryCommitGlue&) = delete;
    CEntryCommitGlue& operator=(const CEntryCommitGlue&) = delete;

    void Attach(Gtk::Entry& entry, std::function<void()> onEnter, std::function<void()> onFocusOut);
    void Detach();
    Gtk::Entry* Entry() const { return m_entry.As<Gtk::Entry>(); }

private:
    bool OnKeyPress(GdkEventKey* event);
    bool OnFocusOut(GdkEventFocus* event);
    static void OnPreeditChanged(GtkEntry* entry, const char* preedit, gpointer self);

    CWeakWidget m_entry;
    gulong m_preeditHandler = 0;
    std::vector<sigc::connection> m_connections;
    std::function<void()> m_onEnter;
    std::function<void()> m_onFocusOut;
    bool m_composing = false;
};

// The commit moments of a bound combo box on a Gtk::ComboBoxText (with or
// without an edit field): a change of the edit text and a pick from the list
// each reach `onChange` at once or on the next idle pass, as the control
// wants; the focus loss of the edit field (or of the combo box) reaches
// `onFocusOut`. Changes made through Show and SetItems call nothing.
class CComboGlue {
public:
    CComboGlue() = default;
    ~CComboGlue() { Detach(); }
    CComboGlue(const CComboGlue&) = delete;
    CComboGlue& operator=(const CComboGlue&) = delete;

    void Attach(Gtk::ComboBoxText& combo, bool deferEdit, bool deferPick,
                std::function<void(bool picked)> onChange, std::function<void()> onFocusOut);
    void Detach();
    Gtk::ComboBoxText* Combo() const { return m_combo.As<Gtk::ComboBoxText>(); }

    void SetItems(const std::vector<std::string>& items);
    // Selects `index`, or shows `text` in the edit field with no item selected.
    void Show(int index, const std::string& text);
    int Active() const;
    std::string EditText() const;
    // Runs a deferred change now, if one is waiting.
    void FlushDeferred();

private:
    void OnChanged();
    bool OnFocusOut(GdkEventFocus* event);
    bool OnIdle();

    CWeakWidget m_combo;
    std::vector<sigc::connection> m_connections;
    sigc::connection m_idle;
    std::function<void(bool)> m_onChange;
    std::function<void()> m_onFocusOut;
    bool m_deferEdit = false;
    bool m_deferPick = false;
    bool m_updating = false;
};
