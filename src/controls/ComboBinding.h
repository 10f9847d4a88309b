#pragma once
#include "controls/EventListener.h"
#include "controls/ItemSearch.h"
#include "controls/SettingSetter.h"
#include "errors/MessageFormat.h"

#include <string>
#include <type_traits>
#include <vector>

// Maps an item's text to itself: the value of a string combo box is its text.
struct CSameTextValue {
    static std::string ToValue(const std::string& item) { return item; }
    static std::string ToText(const std::string& value) { return value; }
};

// What a combo box with an edit field and an item source does, without the
// widget. The items come from the item source (anything with Items()
// returning a list of strings, such as the recent URLs); the mapper turns an
// item's text into a value and a value into text.
template <class T, class TItems, class TMapper, class V>
class CComboBinding : public CEventSource {
public:
    using Value = std::remove_cvref_t<V>;
    using Setting = CSettingSetter<T, V>;
    // EventPicked fires after a pick from the list was committed, with the
    // item's index as argument.
    enum Event : size_t { EventChanged, EventPicked, EventFocusLost, EventCount };

    CComboBinding() : CEventSource(EventCount) {}

    void BindValue(T* object, typename Setting::Getter getter, typename Setting::Setter setter, const TItems* items)
    {
        m_setting.Bind(object, getter, setter);
        m_items = items;
    }
    const Setting& Binding() const { return m_setting; }

    std::vector<std::string> ItemTexts() const
    {
        return m_items ? std::vector<std::string>(m_items->Items().begin(), m_items->Items().end())
                       : std::vector<std::string>{};
    }

    // The item to select for the current value, or -1 when the value is shown
    // as the edit field's text.
    int IndexOfValue() const
    {
        const Value value = m_setting.Get();
        const auto items = ItemTexts();
        for (size_t i = 0; i < items.size(); ++i) {
            if (TMapper::ToValue(items[i]) == value)
                return static_cast<int>(i);
        }
        return -1;
    }
    std::string ValueText() const { return TMapper::ToText(m_setting.Get()); }

    // The input is the selected item when there is one, else the edit text
    // without white space at either end. True when the value changed.
    bool Commit(int selected, const std::string& editText)
    {
        const auto items = ItemTexts();
        const Value value = selected >= 0 && selected < static_cast<int>(items.size())
                                ? TMapper::ToValue(items[selected])
                                : TMapper::ToValue(TrimText(editText));
        if (value == m_setting.Get())
            return false;
        m_setting.SetAndFire(value, *this, EventChanged);
        return true;
    }

    bool CommitQuietly(int selected, const std::string& editText) noexcept
    {
        bool changed = false;
        RunDroppingFailure([&] { changed = Commit(selected, editText); });
        return changed;
    }

    // Commit on every change of the edit text (on by default); commit when the
    // edit field loses the focus (off by default).
    bool commitOnEdit = true;
    bool commitOnFocusLoss = false;

private:
    Setting m_setting;
    const TItems* m_items = nullptr;
};
