#pragma once

// Where the time of a batch run goes. With QUORVANE_PHASES set (to anything
// but "0") in the environment, each step a batch run passes writes one line
// to standard error: its name, the milliseconds since the process started
// and since the step before. Without it the marks cost one test each.
bool PhaseLogEnabled();
void MarkPhase(const char* name);
