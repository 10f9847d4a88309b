#pragma once
#include "printing/job/QuorvaTask.h"
#include "printing/job/Thread.h"

#include <functional>
#include <memory>

// A worker that owns one task and runs it on the job each Start hands it,
// then reports the end of the run to its notification target.
template <class TTask>
class CSingleTaskThread : public CThreadImpl {
public:
    // Called on the worker at the end of every run, whatever the outcome; it
    // must only post (for example Glib::Dispatcher::emit), never wait for the
    // user-interface thread.
    using Notify = std::function<void(CThread* thread)>;

    using JobPtr = std::shared_ptr<const typename TTask::Job>;

    CSingleTaskThread() : m_task(std::make_shared<TTask>()) {}
    explicit CSingleTaskThread(std::shared_ptr<TTask> task) : m_task(std::move(task)) {}
    ~CSingleTaskThread() override { StopAndJoin(); }

    // Starts a worker on `job`. One job at a time: false (StartError EBUSY)
    // while a worker still runs, and false when no worker can be made.
    bool Start(JobPtr job)
    {
        if (IsRunning())
            return CThreadImpl::Start();
        // Joins a worker that has ended: the job slot is this thread's again.
        Wait(INFINITE);
        m_job = std::move(job);
        m_task->ResetProgress();
        if (CThreadImpl::Start())
            return true;
        m_job.reset();
        return false;
    }

    const std::shared_ptr<TTask>& Task() const { return m_task; }
    // How many runs have ended; each end notice follows its increment.
    unsigned FinishedRuns() const { return m_finishedRuns.load(); }
    void SetNotify(Notify notify) { m_notify = std::move(notify); }

    int RunTask() override
    {
        m_task->SetTerminable(this);
        // The task lets go of the job at its end.
        m_task->Execute(std::move(m_job));
        m_finishedRuns.fetch_add(1);
        if (m_notify)
            m_notify(this);
        return 0;
    }

protected:
    // The worker must be gone before the task it uses, and before any part
    // of this object is destroyed: it calls RunTask and IsTerminated on it.
    // The most derived class calls this first thing in its destructor (a
    // base destructor would run only after the derived part, and its
    // virtual table, are gone while the worker still uses them).
    void StopAndJoin()
    {
        Terminate(true);
        Wait(INFINITE);
    }

private:
    // A worker starts only with a job: Start(job).
    using CThreadImpl::Start;

    std::shared_ptr<TTask> m_task;
    // Written by Start before the worker exists, taken by the worker.
    JobPtr m_job;
    Notify m_notify;
    std::atomic<unsigned> m_finishedRuns{0};
};

// The print thread: owns the one print task for the whole run. Final, so
// that its destructor is the first to run and joins a running worker
// before anything the worker uses is torn down.
class CQuorvaThread final : public CSingleTaskThread<CQuorvaTask> {
public:
    CQuorvaThread() = default;
    // On `printer` instead of the default one; when it cannot be opened,
    // Print names it.
    explicit CQuorvaThread(const std::string& printer)
        : CSingleTaskThread(std::make_shared<CQuorvaTask>(printer))
    {
    }
    ~CQuorvaThread() override { StopAndJoin(); }
};
