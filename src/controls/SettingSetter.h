#pragma once
#include "controls/EventListener.h"
#include "errors/Exception.h"

#include <type_traits>

// The binding of a control: the object that holds the value (the settings, a
// dialog, or a part of the settings) with the getter and setter of one value.
// The control never owns the object.
template <class T, class V>
class CSettingSetter {
public:
    using Value = std::remove_cvref_t<V>;
    using Getter = V (T::*)() const;
    using Setter = void (T::*)(V);

    void Bind(T* object, Getter getter, Setter setter)
    {
        m_object = object;
        m_getter = getter;
        m_setter = setter;
    }
    bool IsBound() const { return m_object && m_getter && m_setter; }
    T* Object() const { return m_object; }

    Value Get() const
    {
        CheckBound();
        return (m_object->*m_getter)();
    }
    void Set(const Value& value) const
    {
        CheckBound();
        (m_object->*m_setter)(value);
    }

    // Writes `value` and fires `event` of `source`. When a listener fails the
    // old value is put back before the failure goes on, so that a refused
    // change leaves the value as it was.
    void SetAndFire(const Value& value, CEventSource& source, size_t event) const
    {
        const Value old = Get();
        Set(value);
        try {
            source.Fire(event, 0);
        } catch (...) {
            Set(old);
            throw;
        }
    }

private:
    void CheckBound() const
    {
        if (!IsBound())
            throw my::CException(58721, {"CSettingSetter: m_pSetting"});
    }

    T* m_object = nullptr;
    Getter m_getter = nullptr;
    Setter m_setter = nullptr;
};
