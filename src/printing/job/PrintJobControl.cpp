#include "printing/job/PrintJobControl.h"

bool AskToStopPrinting(CThread& thread, qvn::CMsg& msg)
{
    if (!thread.IsRunning() || thread.IsTerminated())
        return true;
    if (!msg.ConfirmAbortPrinting())
        return false;
    thread.Terminate(true);
    return true;
}

void StopPrinting(CThread& thread)
{
    if (thread.IsRunning())
        thread.Terminate(true);
    thread.Wait(INFINITE);
}
