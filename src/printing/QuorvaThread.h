#pragma once
#include "printing/QuorvaTask.h"
#include "printing/Thread.h"

#include <functional>
#include <memory>

// A worker that owns one task and runs it on each Start, then reports the
// end of the run to its notification target.
template <class TTask>
class CSingleTaskThread : public CThreadImpl {
public:
    // Called on the worker at the end of every run, whatever the outcome; it
    // must only post (for example Glib::Dispatcher::emit), never wait for the
    // user-interface thread.
    using Notify = std::function<void(CThread* thread)>;

    CSingleTaskThread() : m_task(std::make_shared<TTask>()) {}
    ~CSingleTaskThread() override
    {
        // The worker must be gone before the task it uses.
        Terminate(true);
        Wait(INFINITE);
    }

    const std::shared_ptr<TTask>& Task() const { return m_task; }
    // How many runs have ended; each end notice follows its increment.
    unsigned FinishedRuns() const { return m_finishedRuns.load(); }
    void SetNotify(Notify notify) { m_notify = std::move(notify); }

    int RunTask() override
    {
        m_task->SetTerminable(this);
        m_task->Execute();
        m_finishedRuns.fetch_add(1);
        if (m_notify)
            m_notify(this);
        return 0;
    }

private:
    std::shared_ptr<TTask> m_task;
    Notify m_notify;
    std::atomic<unsigned> m_finishedRuns{0};
};

// The print thread: owns the one print task for the whole run.
class CQuorvaThread : public CSingleTaskThread<CQuorvaTask> {};
