#pragma once
#include "errors/Msg.h"
#include "printing/Thread.h"

#include <functional>

// Before a new job starts and before the main window closes: when a job is
// running, asks 58714 whether to abort it; on Yes asks the job to stop.
// Then waits for the worker to end (it stops at its next page). False when
// the user wants the running job to go on. `showWaiting` (true, then false)
// brackets a wait for a worker that has not ended yet: the user-interface
// thread does nothing else meanwhile.
bool StopPrintingAndWait(CThread& thread, qvn::CMsg& msg, const std::function<void(bool)>& showWaiting = {});

// Asks a running job to stop, without a question, and waits for the worker to
// end: the session is ending.
void StopPrinting(CThread& thread, const std::function<void(bool)>& showWaiting = {});
