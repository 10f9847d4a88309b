#pragma once
#include <chrono>
#include <string>

// Why a batch run stops: the exit status of the step that failed and the
// message, in the same words as the program's message boxes.
struct CBatchFailure {
    int status;
    std::string text;
};

using BatchClock = std::chrono::steady_clock;
