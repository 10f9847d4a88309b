#pragma once
#include "controls/EventListener.h"
#include "controls/IntConverter.h"
#include "controls/ItemSearch.h"
#include "controls/SettingSetter.h"
#include "errors/Exception.h"

#include <climits>
#include <string>
#include <vector>

// What a converting combo box does, without the widget: its items are texts,
// its value goes through the converter, and it keeps the error record of its
// last commit so that a dialog can show whether the input is valid.
template <class T, class TConverter, class V = typename TConverter::Value>
class CValueComboBinding : public CEventSource {
public:
    using Value = typename TConverter::Value;
    using Setting = CSettingSetter<T, V>;
    // EventErrorState fires when the input turns valid or invalid; its
    // argument is the new record's message id (0 when valid), the record
    // itself is LastErr().
    enum Event : size_t { EventChanged, EventFocusLost, EventErrorState, EventCount };

    CValueComboBinding() : CEventSource(EventCount) {}

    void BindValue(T* object, typename Setting::Getter getter, typename Setting::Setter setter)
    {
        m_setting.Bind(object, getter, setter);
    }
    const Setting& Binding() const { return m_setting; }

    void SetItems(std::vector<std::string> items) { m_items = std::move(items); }
    const std::vector<std::string>& Items() const { return m_items; }

    std::string ValueText() const { return TConverter::ToText(m_setting.Get()); }
    int IndexOfValue() const { return FindStringExact(m_items, -1, ValueText()); }

    const CSimpleErr& LastErr() const { return m_err; }

    // The input is the selected item's text, else the edit text. A refused
    // input raises my::CCtrlException when `rethrow` is set and is otherwise
    // only recorded. True when the value changed.
    bool Commit(int selected, const std::string& editText, bool rethrow)
    {
        const std::string& input =
            selected >= 0 && selected < static_cast<int>(m_items.size()) ? m_items[selected] : editText;
        Value value{};
        CSimpleErr err = TConverter::FromText(input, value);
        if (!err.Failed())
            err = CheckValue(value, input);
        const bool stateChanged = err.Failed() != m_err.Failed();
        m_err = err;
        if (stateChanged)
            Fire(EventErrorState, static_cast<intptr_t>(m_err.msgId));
        if (err.Failed()) {
            if (rethrow)
                throw my::CCtrlException(err, Window());
            return false;
        }
        if (value == m_setting.Get())
            return false;
        m_setting.SetAndFire(value, *this, EventChanged);
        return true;
    }

    bool CommitQuietly(int selected, const std::string& editText) noexcept
    {
        bool changed = false;
        RunDroppingFailure([&] { changed = Commit(selected, editText, false); });
        return changed;
    }

protected:
    virtual CSimpleErr CheckValue(const Value&, const std::string&) const { return {}; }

    Setting m_setting;
    std::vector<std::string> m_items;
    CSimpleErr m_err;
};

// An integer combo box with an inclusive range.
template <class T>
class CIntComboBinding : public CValueComboBinding<T, CIntConverter> {
public:
    void SetMinimum(int minimum) { m_minimum = minimum; }
    void SetMaximum(int maximum) { m_maximum = maximum; }
    int Minimum() const { return m_minimum; }
    int Maximum() const { return m_maximum; }

protected:
    CSimpleErr CheckValue(const int& value, const std::string& text) const override
    {
        return CheckIntRange(value, m_minimum, m_maximum, text);
    }

private:
    int m_minimum = INT_MIN;
    int m_maximum = INT_MAX;
};
