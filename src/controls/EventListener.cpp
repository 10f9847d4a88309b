#include "controls/EventListener.h"

#include "errors/Exception.h"

#include <glib-object.h>

CEventSource::CEventSource(size_t eventCount) : m_lists(eventCount) {}

CEventSource::~CEventSource()
{
    SetWindow(nullptr);
}

void CEventSource::AddListener(size_t event, std::shared_ptr<CEventListener> listener)
{
    if (event >= m_lists.size() || !listener)
        throw my::CException(58721, {"CEventSource::AddListener"});
    m_lists[event].push_back(std::move(listener));
}

void CEventSource::Fire(size_t event, intptr_t arg)
{
    if (event >= m_lists.size())
        return;
    // A listener may attach further listeners while the event runs.
    const auto listeners = m_lists[event];
    for (const auto& listener : listeners)
        listener->OnEvent(*this, arg);
}

void CEventSource::ClearListeners()
{
    for (auto& list : m_lists)
        list.clear();
}

void CEventSource::SetWindow(GtkWidget* window)
{
    if (m_window)
        g_object_remove_weak_pointer(G_OBJECT(m_window), reinterpret_cast<gpointer*>(&m_window));
    m_window = window;
    if (m_window)
        g_object_add_weak_pointer(G_OBJECT(m_window), reinterpret_cast<gpointer*>(&m_window));
}

bool RunDroppingFailure(const std::function<void()>& body) noexcept
{
    try {
        body();
        return true;
    } catch (...) {
        return false;
    }
}
