#pragma once
#include <gio/gio.h>

#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <stop_token>

// Work off the main loop on GLib's thread pool (g_task_run_in_thread); its
// result comes back on the main loop that started it. Each Start begins a new
// generation and cancels the one before: the result of an older generation,
// of work cancelled since, or of an owner that is gone is dropped when it
// arrives, never delivered. The work owns what it uses (capture by value),
// hears a cancel through its stop token and ends by itself: nothing on the
// main loop ever waits for it, and no thread of ours is left detached.
template <class Result>
class CBackgroundWork {
public:
    using Work = std::function<Result(std::stop_token)>;
    using Done = std::function<void(Result)>;

    CBackgroundWork() = default;
    ~CBackgroundWork() { Cancel(); }
    CBackgroundWork(const CBackgroundWork&) = delete;
    CBackgroundWork& operator=(const CBackgroundWork&) = delete;

    // Runs `work` on the pool; `done` gets its result on the main loop unless
    // a later Start or Cancel comes first. Work that throws delivers nothing.
    void Start(Work work, Done done)
    {
        Cancel();
        auto* job = new Job{std::move(work), std::move(done), m_state->stop, m_state, m_state->generation, std::nullopt};
        m_state->running = true;
        GTask* task = g_task_new(nullptr, nullptr, &CBackgroundWork::Finished, job);
        g_task_set_task_data(task, job, nullptr);
        g_task_run_in_thread(task, &CBackgroundWork::Run);
        g_object_unref(task);
    }

    // Asks the running work to stop; its result will be dropped.
    void Cancel()
    {
        m_state->stop.request_stop();
        m_state->stop = std::stop_source();
        ++m_state->generation;
        m_state->running = false;
    }

    // Work has been started whose result has not arrived yet.
    bool Running() const { return m_state->running; }

private:
    struct State {
        unsigned generation = 0;
        std::stop_source stop;
        bool running = false;
    };
    struct Job {
        Work work;
        Done done;
        std::stop_source stop;
        std::weak_ptr<State> state;
        unsigned generation;
        std::optional<Result> result;
    };

    // On a pool thread.
    static void Run(GTask* task, gpointer, gpointer data, GCancellable*)
    {
        auto* job = static_cast<Job*>(data);
        try {
            job->result = job->work(job->stop.get_token());
        } catch (...) {
            job->result.reset();
        }
        // What the work held goes here, off the main loop.
        job->work = nullptr;
        g_task_return_boolean(task, TRUE);
    }

    // On the main loop.
    static void Finished(GObject*, GAsyncResult*, gpointer data)
    {
        std::unique_ptr<Job> job(static_cast<Job*>(data));
        const std::shared_ptr<State> state = job->state.lock();
        if (!state || state->generation != job->generation)
            return;
        state->running = false;
        if (job->result && job->done)
            job->done(std::move(*job->result));
    }

    std::shared_ptr<State> m_state = std::make_shared<State>();
};

// Lets go of `object` on GLib's thread pool: the last reference to a capture
// of hundreds of megabytes, whose release would stall the main loop.
template <class T>
void ReleaseInBackground(std::shared_ptr<T> object)
{
    if (!object || object.use_count() > 1)
        return;
    auto* held = new std::shared_ptr<T>(std::move(object));
    GTask* task = g_task_new(nullptr, nullptr, nullptr, nullptr);
    g_task_set_task_data(task, held, [](gpointer data) { delete static_cast<std::shared_ptr<T>*>(data); });
    g_task_run_in_thread(task, [](GTask* t, gpointer, gpointer data, GCancellable*) {
        static_cast<std::shared_ptr<T>*>(data)->reset();
        g_task_return_boolean(t, TRUE);
    });
    g_object_unref(task);
}
