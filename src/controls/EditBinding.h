#pragma once
#include "controls/EventListener.h"
#include "controls/IntConverter.h"
#include "controls/SettingSetter.h"
#include "errors/Exception.h"

#include <climits>
#include <string>

// What a bound edit does with its text, without the edit: convert the text,
// check it, and write it through the setter when it differs from the value.
template <class T, class TConverter, class V = typename TConverter::Value>
class CEditBinding : public CEventSource {
public:
    using Value = typename TConverter::Value;
    using Setting = CSettingSetter<T, V>;
    enum Event : size_t { EventChanged, EventCount };

    CEditBinding() : CEventSource(EventCount) {}

    void BindValue(T* object, typename Setting::Getter getter, typename Setting::Setter setter)
    {
        m_setting.Bind(object, getter, setter);
    }
    const Setting& Binding() const { return m_setting; }

    // The text the edit shows for the current value.
    std::string ValueText() const { return TConverter::ToText(m_setting.Get()); }

    // True when the value changed. A refused text raises my::CCtrlException
    // naming this control's widget; a listener's failure goes on as it is,
    // after the old value has been put back.
    bool Commit(const std::string& text)
    {
        Value value{};
        CSimpleErr err = TConverter::FromText(text, value);
        if (!err.Failed())
            err = CheckValue(value, text);
        if (err.Failed())
            throw my::CCtrlException(err, Window());
        if (value == m_setting.Get())
            return false;
        m_setting.SetAndFire(value, *this, EventChanged);
        return true;
    }

    // The automatic commit: every failure is dropped and the value stays.
    bool CommitQuietly(const std::string& text) noexcept
    {
        bool changed = false;
        RunDroppingFailure([&] { changed = Commit(text); });
        return changed;
    }

protected:
    virtual CSimpleErr CheckValue(const Value&, const std::string&) const { return {}; }

    Setting m_setting;
};

// An integer edit with an inclusive range.
template <class T, class TConverter = CIntConverter>
class CIntEditBinding : public CEditBinding<T, TConverter> {
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
