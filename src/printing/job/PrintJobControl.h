#pragma once
#include "errors/Msg.h"
#include "printing/job/Thread.h"

// Before a new job starts and before the main window closes: when a job is
// running and has not been asked to stop yet, asks 58714 whether to abort
// it; on Yes asks it to stop, without waiting: the worker stops at its next
// page, which may take a while when a sheet is stuck in the spooler, and its
// end notice says when it has ended. False when the user wants the running
// job to go on.
bool AskToStopPrinting(CThread& thread, qvn::CMsg& msg);

// Asks a running job to stop, without a question, and waits for the worker to
// end: the session is ending.
void StopPrinting(CThread& thread);
