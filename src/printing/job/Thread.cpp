#include "printing/job/Thread.h"

#include <pthread.h>
#include <sched.h>

#include <cerrno>
#include <chrono>

CThreadImpl::~CThreadImpl()
{
    if (m_thread.joinable()) {
        Terminate(true);
        m_thread.join();
    }
}

bool CThreadImpl::Start()
{
    m_startError = {};
    if (IsShutdown()) {
        m_startError = SysErr::FromErrno(ECANCELED);
        return false;
    }
    if (m_thread.joinable()) {
        if (IsRunning()) {
            // One job at a time.
            m_startError = SysErr::FromErrno(EBUSY);
            return false;
        }
        Wait(INFINITE);
    }
    Terminate(false);
    std::promise<int> done;
    m_done = done.get_future();
    {
        // The worker takes this lock first thing, so it finds m_thread
        // assigned: a stop requested from inside the job (a page device's
        // callback) reads it in RaiseWorker.
        std::lock_guard lock(m_priorityMutex);
        m_raised = false;
        try {
            // Hand-off to the worker: everything written before this line
            // (the task's fields) is visible to it.
            m_thread = std::thread(&CThreadImpl::ThreadProc, this, std::move(done));
        } catch (const std::system_error& e) {
            m_done = {};
            m_startError = SysErr::FromErrno(e.code().value());
            return false;
        }
    }
    ++m_startedRuns;
    return true;
}

void CThreadImpl::ThreadProc(CThreadImpl* self, std::promise<int> done)
{
    // Runs on the worker.
    {
        std::lock_guard lock(self->m_priorityMutex);
        if (self->m_priority <= THREAD_PRIORITY_IDLE && !self->m_raised) {
            sched_param param{};
            pthread_setschedparam(pthread_self(), SCHED_IDLE, &param);
        }
    }
    int exitCode = -1;
    try {
        exitCode = self->RunTask();
    } catch (...) {
        exitCode = -1;
    }
    done.set_value(exitCode);
}

void CThreadImpl::Terminate(bool stop)
{
    CThread::Terminate(stop);
    if (stop)
        RaiseWorker();
}

void CThreadImpl::RaiseWorker()
{
    std::lock_guard lock(m_priorityMutex);
    m_raised = true;
    if (!m_thread.joinable())
        return;
    // Leaving SCHED_IDLE needs CAP_SYS_NICE or a RLIMIT_NICE that allows
    // nice 0; without either the worker stays idle and the wait is longer.
    sched_param param{};
    pthread_setschedparam(m_thread.native_handle(), SCHED_OTHER, &param);
}

bool CThreadImpl::Wait(int milliseconds)
{
    if (!m_thread.joinable())
        return true;
    if (milliseconds >= 0 &&
        m_done.wait_for(std::chrono::milliseconds(milliseconds)) != std::future_status::ready)
        return false;
    // Hand-back from the worker: after the join the task belongs to the
    // user-interface thread again.
    m_thread.join();
    m_done = {};
    return true;
}

bool CThreadImpl::IsRunning() const
{
    if (!m_thread.joinable() || !m_done.valid())
        return false;
    return m_done.wait_for(std::chrono::seconds(0)) != std::future_status::ready;
}
