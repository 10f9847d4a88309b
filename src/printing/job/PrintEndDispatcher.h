#pragma once
#include "printing/job/QuorvaThread.h"

#include <glibmm/dispatcher.h>

#include <functional>

// Brings the print worker's end of a job to the user-interface thread, where
// `onEnd` (the EndPrint command) runs. Create it on the user-interface
// thread, after the thread object and before any job starts.
class CPrintEndDispatcher {
public:
    CPrintEndDispatcher(CQuorvaThread& thread, std::function<void()> onEnd);
    // Stops and joins a job that still runs, so the worker never posts to a
    // dispatcher that is gone.
    ~CPrintEndDispatcher();
    CPrintEndDispatcher(const CPrintEndDispatcher&) = delete;
    CPrintEndDispatcher& operator=(const CPrintEndDispatcher&) = delete;

    // Ends that arrive from now on are dropped: the window is closing and
    // has joined the worker already.
    void Mute() { m_muted = true; }

private:
    CQuorvaThread& m_thread;
    Glib::Dispatcher m_dispatcher;
    bool m_muted = false;
};
