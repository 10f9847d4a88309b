#pragma once

// Builds the process-wide objects, runs the main loop and tears down.
// Returns 1 after a normal close, 0 when start-up stops before the window,
// and kExitNoStart (shell/ExitStatus.h) when start-up fails; the failure has
// then been shown.
int Run(int argc, char* argv[]);
