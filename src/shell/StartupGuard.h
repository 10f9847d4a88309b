#pragma once
#include <functional>

namespace qvn { class CMsg; }

// Runs the program's start-up and main loop. Whatever escapes it (a window
// or resource that cannot be made) is shown through `msg` as the program's
// message, on standard error when no box can be shown, and the result is
// kExitNoStart (shell/ExitStatus.h).
int RunReportingFailure(const std::function<int()>& body, qvn::CMsg& msg);
