#include "printing/PrintJobControl.h"

bool StopPrintingAndWait(CThread& thread, qvn::CMsg& msg)
{
    if (thread.IsRunning()) {
        if (!msg.ConfirmAbortPrinting())
            return false;
        thread.Terminate(true);
    }
    thread.Wait(INFINITE);
    return true;
}
