#include "common/PhaseLog.h"

#include <glib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>

#include <unistd.h>

namespace {

double Milliseconds(const timespec& t) { return t.tv_sec * 1e3 + t.tv_nsec / 1e6; }

// The process's start on the monotonic clock, from /proc (in clock ticks of
// the boot clock, which agrees with CLOCK_BOOTTIME); the first mark when that
// cannot be read.
double ProcessStartMs()
{
    gchar* stat = nullptr;
    double start = -1;
    if (g_file_get_contents("/proc/self/stat", &stat, nullptr, nullptr)) {
        // Field 22, counted after the command name, which may hold spaces.
        if (const char* tail = std::strrchr(stat, ')')) {
            unsigned long long ticks = 0;
            if (std::sscanf(tail + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %*u %*u %*d %*d %*d %*d %*d %*d %llu",
                            &ticks) == 1)
                start = ticks * 1e3 / static_cast<double>(sysconf(_SC_CLK_TCK));
        }
        g_free(stat);
    }
    return start;
}

}  // namespace

bool PhaseLogEnabled()
{
    static const bool enabled = [] {
        const char* value = std::getenv("QUORVANE_PHASES");
        return value && *value && std::strcmp(value, "0") != 0;
    }();
    return enabled;
}

void MarkPhase(const char* name)
{
    if (!PhaseLogEnabled())
        return;
    static std::mutex lock;
    static double start = -1, last = -1;
    const std::lock_guard<std::mutex> guard(lock);
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    const double ms = Milliseconds(now);
    if (start < 0) {
        start = ProcessStartMs();
        if (start < 0 || start > ms)
            start = ms;
        last = start;
    }
    std::fprintf(stderr, "quorvane: phase %-18s %8.0f ms  +%6.0f ms\n", name, ms - start, ms - last);
    last = ms;
}
