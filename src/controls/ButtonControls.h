#pragma once
#include "controls/ChoiceBinding.h"
#include "controls/ControlGlue.h"

#include <gtkmm/button.h>
#include <gtkmm/checkbutton.h>
#include <gtkmm/radiobutton.h>

#include <memory>
#include <vector>

// A group of radio buttons bound to the position of the checked one. A value
// outside the group shows no button checked: GTK always keeps one button of a
// group active, so a hidden extra member of the group takes that part.
template <class T>
class CRadioGroupInt : public CRadioGroupBinding<T> {
public:
    using Getter = typename CRadioGroupBinding<T>::Setting::Getter;
    using Setter = typename CRadioGroupBinding<T>::Setting::Setter;

    ~CRadioGroupInt() { Disconnect(); }

    void Bind(const std::vector<Gtk::RadioButton*>& buttons, T* object, Getter getter, Setter setter)
    {
        Disconnect();
        this->BindValue(object, getter, setter, static_cast<int>(buttons.size()));
        m_buttons.clear();
        if (buttons.empty())
            return;
        this->SetWindow(GTK_WIDGET(buttons.front()->gobj()));
        m_none = std::make_unique<Gtk::RadioButton>();
        m_none->join_group(*buttons.front());
        for (size_t i = 0; i < buttons.size(); ++i) {
            m_buttons.push_back(std::make_unique<CWeakWidget>());
            m_buttons.back()->Reset(buttons[i]);
            m_connections.push_back(buttons[i]->signal_toggled().connect([this, i] { OnToggled(static_cast<int>(i)); }));
        }
    }

    bool ShowValue()
    {
        int index = -1;
        if (!RunDroppingFailure([&] { index = this->CheckedIndex(); }))
            return false;
        m_showing = true;
        Gtk::RadioButton* button = index >= 0 ? m_buttons[index]->template As<Gtk::RadioButton>() : m_none.get();
        if (button)
            button->set_active(true);
        m_showing = false;
        return true;
    }

private:
    void OnToggled(int index)
    {
        auto* button = m_buttons[index]->template As<Gtk::RadioButton>();
        if (m_showing || !button || !button->get_active())
            return;
        this->CommitQuietly(index);
    }

    void Disconnect()
    {
        for (auto& connection : m_connections)
            connection.disconnect();
        m_connections.clear();
    }

    std::vector<std::unique_ptr<CWeakWidget>> m_buttons;
    std::unique_ptr<Gtk::RadioButton> m_none;
    std::vector<sigc::connection> m_connections;
    bool m_showing = false;
};

// A check box bound to a bool: a click writes the new state.
template <class T>
class CButtonBool : public CBoolBinding<T> {
public:
    using Getter = typename CBoolBinding<T>::Setting::Getter;
    using Setter = typename CBoolBinding<T>::Setting::Setter;

    ~CButtonBool() { m_connection.disconnect(); }

    void Bind(Gtk::CheckButton& button, T* object, Getter getter, Setter setter)
    {
        m_connection.disconnect();
        this->BindValue(object, getter, setter);
        this->SetWindow(GTK_WIDGET(button.gobj()));
        m_button.Reset(&button);
        m_connection = button.signal_toggled().connect([this] {
            auto* checkButton = m_button.As<Gtk::CheckButton>();
            if (!m_showing && checkButton)
                this->CommitQuietly(checkButton->get_active());
        });
    }

    bool ShowValue()
    {
        bool value = false;
        auto* checkButton = m_button.As<Gtk::CheckButton>();
        if (!checkButton || !RunDroppingFailure([&] { value = this->Value(); }))
            return false;
        m_showing = true;
        checkButton->set_active(value);
        m_showing = false;
        return true;
    }

private:
    CWeakWidget m_button;
    sigc::connection m_connection;
    bool m_showing = false;
};

// A push button that fires its event when clicked.
class CEventButton : public CEventSource {
public:
    enum Event : size_t { EventClicked, EventCount };

    CEventButton() : CEventSource(EventCount) {}
    ~CEventButton() { m_connection.disconnect(); }

    void Bind(Gtk::Button& button)
    {
        m_connection.disconnect();
        SetWindow(GTK_WIDGET(button.gobj()));
        m_connection = button.signal_clicked().connect([this] { RunDroppingFailure([this] { Fire(EventClicked, 0); }); });
    }

private:
    sigc::connection m_connection;
};
