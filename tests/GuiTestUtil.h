#pragma once
// Helpers for GUI tests: run the GLib main loop until a condition holds.
#include <glibmm/main.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>

inline bool RunUntil(const std::function<bool()>& done, double seconds = 20.0)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    auto context = Glib::MainContext::get_default();
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        context->iteration(false);
        if (!context->pending())
            g_usleep(1000);
    }
    return true;
}

// Runs the main loop for a while so that pending redraws and events settle.
inline void Settle(double seconds = 0.2)
{
    RunUntil([] { return false; }, seconds);
}

inline std::string FixtureUrl(const std::string& name)
{
    const char* dir = std::getenv("QV_TEST_FIXTURES");
    return std::string("file://") + (dir ? dir : ".") + "/" + name;
}
