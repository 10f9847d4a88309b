#include "printing/PrintJobControl.h"

bool StopPrintingAndWait(CThread& thread, qvn::CMsg& msg)
{
    if (thread.IsRunning() && !msg.ConfirmAbortPrinting())
        return false;
    StopPrinting(thread);
    return true;
}

void StopPrinting(CThread& thread)
{
    if (thread.IsRunning())
        thread.Terminate(true);
    thread.Wait(INFINITE);
}
