#include "common/Parallel.h"

#include <algorithm>
#include <thread>
#include <vector>

void RunInParallel(int count, const std::function<void(int)>& job)
{
    std::vector<std::thread> workers;
    int started = 1;
    try {
        workers.reserve(count > 1 ? size_t(count - 1) : 0);
        for (; started < count; ++started)
            workers.emplace_back(job, started);
    } catch (const std::exception&) {
        // No thread to spare: what was not handed out is done here.
    }
    if (count > 0)
        job(0);
    for (int i = started; i < count; ++i)
        job(i);
    for (std::thread& worker : workers)
        worker.join();
}

int ParallelThreads()
{
    return static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 4u));
}
