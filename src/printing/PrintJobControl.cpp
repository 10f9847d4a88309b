#include "printing/PrintJobControl.h"

bool StopPrintingAndWait(CThread& thread, qvn::CMsg& msg, const std::function<void(bool)>& showWaiting)
{
    if (thread.IsRunning() && !msg.ConfirmAbortPrinting())
        return false;
    StopPrinting(thread, showWaiting);
    return true;
}

void StopPrinting(CThread& thread, const std::function<void(bool)>& showWaiting)
{
    if (thread.IsRunning()) {
        thread.Terminate(true);
        if (showWaiting && !thread.Wait(0)) {
            showWaiting(true);
            thread.Wait(INFINITE);
            showWaiting(false);
        }
    }
    thread.Wait(INFINITE);
}
