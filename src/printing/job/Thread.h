#pragma once
#include "errors/Exception.h"
#include "common/Terminable.h"

#include <atomic>
#include <future>
#include <mutex>
#include <thread>

// A worker that runs one job at a time. The user-interface thread calls
// everything but RunTask; the stop and shutdown flags are the only data both
// threads touch while a job runs.
class CThread : public CTerminable {
public:
    bool IsTerminated() const override { return IsShutdown() || m_stop.load(std::memory_order_relaxed); }
    ~CThread() override = default;
    virtual int RunTask() = 0;
    virtual bool Start() = 0;
    // Joins the worker; -1 waits without a time limit. False on time-out.
    virtual bool Wait(int milliseconds) = 0;
    virtual bool IsShutdown() const { return m_shutdown.load(std::memory_order_relaxed); }
    virtual bool IsRunning() const = 0;
    virtual void Terminate(bool stop) { m_stop.store(stop, std::memory_order_relaxed); }
    virtual void SetShutdown(bool shutdown) { m_shutdown.store(shutdown, std::memory_order_relaxed); }

protected:
    // Relaxed is enough: the worker only has to see a stop at its next page.
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_shutdown{false};
};

inline constexpr int THREAD_PRIORITY_NORMAL = 0;
inline constexpr int THREAD_PRIORITY_IDLE = -15;
inline constexpr int INFINITE = -1;

// Owns the operating-system thread. Each worker runs at the priority field's
// level (idle: SCHED_IDLE) from its first instruction on, until a stop is
// requested: the user-interface thread then waits for it, so it goes on at
// normal priority.
class CThreadImpl : public CThread {
public:
    CThreadImpl() = default;
    // Stops and joins a worker that is still running: it uses this object.
    ~CThreadImpl() override;
    CThreadImpl(const CThreadImpl&) = delete;
    CThreadImpl& operator=(const CThreadImpl&) = delete;

    bool Start() override;
    bool Wait(int milliseconds) override;
    bool IsRunning() const override;
    // A stop also raises a running worker to normal priority (SCHED_OTHER),
    // so that the wait for it does not last minutes on a loaded machine.
    void Terminate(bool stop) override;

    void SetPriority(int priority) { m_priority = priority; }
    int Priority() const { return m_priority; }
    // How many workers Start has started.
    unsigned StartedRuns() const { return m_startedRuns; }
    // Why the last Start made no worker: the system's reason, EBUSY while a
    // worker runs, or ECANCELED after a shutdown.
    const SysErr& StartError() const { return m_startError; }

private:
    static void ThreadProc(CThreadImpl* self, std::promise<int> done);
    void RaiseWorker();

    std::thread m_thread;
    std::future<int> m_done;
    int m_priority = THREAD_PRIORITY_IDLE;
    unsigned m_startedRuns = 0;
    SysErr m_startError;
    // Orders the worker's own lowering against a raise by a stop request
    // that comes before the worker has begun.
    std::mutex m_priorityMutex;
    bool m_raised = false;
};
