#pragma once
#include <functional>

// Runs job(0) .. job(count - 1) at once, job(0) on this thread and each other
// one on a thread of its own, and returns when all have ended. A job no
// thread could be started for runs here too, after job(0). The jobs must not
// throw.
void RunInParallel(int count, const std::function<void(int)>& job);

// How many threads such work is given: the machine's cores, from one to four
// (beyond that, memory bandwidth rather than cores limits it).
int ParallelThreads();
