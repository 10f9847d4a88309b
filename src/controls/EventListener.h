#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

typedef struct _GtkWidget GtkWidget;

class CEventSource;

// Told when an event of a control fires: the control and an integer argument.
class CEventListener {
public:
    virtual ~CEventListener() = default;
    virtual void OnEvent(CEventSource& source, intptr_t arg) = 0;
};

// Calls a member function of an object of class C (a dialog or another control);
// the source and the argument are not passed on.
template <class C>
class CMemfunEventListener : public CEventListener {
public:
    using Memfun = void (C::*)();
    CMemfunEventListener(C* object, Memfun memfun) : m_object(object), m_memfun(memfun) {}
    void OnEvent(CEventSource&, intptr_t) override { (m_object->*m_memfun)(); }

private:
    C* m_object;
    Memfun m_memfun;
};

// Calls a function object with the source and the argument.
class CFunctionEventListener : public CEventListener {
public:
    using Function = std::function<void(CEventSource& source, intptr_t arg)>;
    explicit CFunctionEventListener(Function function) : m_function(std::move(function)) {}
    void OnEvent(CEventSource& source, intptr_t arg) override { m_function(source, arg); }

private:
    Function m_function;
};

template <class C>
std::shared_ptr<CEventListener> MakeMemfunListener(C* object, void (C::*memfun)())
{
    return std::make_shared<CMemfunEventListener<C>>(object, memfun);
}

inline std::shared_ptr<CEventListener> MakeFunctionListener(CFunctionEventListener::Function function)
{
    return std::make_shared<CFunctionEventListener>(std::move(function));
}

// The per-event listener lists of a control, in slot order, and the control's
// widget (null until bound to one, and again once that widget is destroyed).
class CEventSource {
public:
    explicit CEventSource(size_t eventCount);
    virtual ~CEventSource();
    CEventSource(const CEventSource&) = delete;
    CEventSource& operator=(const CEventSource&) = delete;

    // Listeners of one event run in the order they were attached.
    void AddListener(size_t event, std::shared_ptr<CEventListener> listener);
    void Fire(size_t event, intptr_t arg = 0);
    void ClearListeners();

    GtkWidget* Window() const { return m_window; }
    void SetWindow(GtkWidget* window);

private:
    std::vector<std::vector<std::shared_ptr<CEventListener>>> m_lists;
    GtkWidget* m_window = nullptr;
};

// Runs `body` and drops whatever it throws: the automatic commits of the
// controls refuse bad input silently.
bool RunDroppingFailure(const std::function<void()>& body) noexcept;
