#include "printing/job/PrintEndDispatcher.h"

CPrintEndDispatcher::CPrintEndDispatcher(CQuorvaThread& thread, std::function<void()> onEnd) : m_thread(thread)
{
    // Runs on the user-interface thread, from its main loop.
    m_dispatcher.connect([this, onEnd = std::move(onEnd)] {
        if (onEnd && !m_muted)
            onEnd();
    });
    // Runs on the worker at the end of each job: only posts to the main loop.
    m_thread.SetNotify([this](CThread*) { m_dispatcher.emit(); });
}

CPrintEndDispatcher::~CPrintEndDispatcher()
{
    m_thread.Terminate(true);
    m_thread.Wait(INFINITE);
    m_thread.SetNotify({});
}
