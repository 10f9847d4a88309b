#pragma once
#include "controls/EventListener.h"
#include "controls/SettingSetter.h"

// A group of radio buttons bound to the 0-based position of the checked one.
template <class T>
class CRadioGroupBinding : public CEventSource {
public:
    using Setting = CSettingSetter<T, int>;
    enum Event : size_t { EventChanged, EventCount };

    CRadioGroupBinding() : CEventSource(EventCount) {}

    void BindValue(T* object, typename Setting::Getter getter, typename Setting::Setter setter, int count)
    {
        m_setting.Bind(object, getter, setter);
        m_count = count;
    }
    int Count() const { return m_count; }

    // The button to check for the current value; -1 (none checked) when the
    // value lies outside 0 .. count - 1.
    int CheckedIndex() const
    {
        const int value = m_setting.Get();
        return value >= 0 && value < m_count ? value : -1;
    }

    bool Commit(int index)
    {
        if (index < 0 || index >= m_count || index == m_setting.Get())
            return false;
        m_setting.SetAndFire(index, *this, EventChanged);
        return true;
    }
    bool CommitQuietly(int index) noexcept
    {
        bool changed = false;
        RunDroppingFailure([&] { changed = Commit(index); });
        return changed;
    }

private:
    Setting m_setting;
    int m_count = 0;
};

// A check box bound to a bool.
template <class T>
class CBoolBinding : public CEventSource {
public:
    using Setting = CSettingSetter<T, bool>;
    enum Event : size_t { EventChanged, EventCount };

    CBoolBinding() : CEventSource(EventCount) {}

    void BindValue(T* object, typename Setting::Getter getter, typename Setting::Setter setter)
    {
        m_setting.Bind(object, getter, setter);
    }
    bool Value() const { return m_setting.Get(); }

    bool Commit(bool checked)
    {
        if (checked == m_setting.Get())
            return false;
        m_setting.SetAndFire(checked, *this, EventChanged);
        return true;
    }
    bool CommitQuietly(bool checked) noexcept
    {
        bool changed = false;
        RunDroppingFailure([&] { changed = Commit(checked); });
        return changed;
    }

private:
    Setting m_setting;
};
