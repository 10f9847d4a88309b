#include "shell/CommandEndPrint.h"

#include "errors/MessageFormat.h"
#include "printing/job/QuorvaThread.h"

void CCommandEndPrint::Execute(bool execute)
{
    if (!execute)
        return;
    // A notice of a job that Print already joined, read while a newer job
    // runs: the newer job reports its own end, and waiting would freeze the
    // window until then.
    const unsigned runs = m_thread.FinishedRuns();
    if (runs != m_thread.StartedRuns())
        return;
    // The worker is ending or has ended. After the join the task belongs to
    // this thread again.
    m_thread.Wait(INFINITE);
    if (runs == m_reportedRuns)
        return;
    m_reportedRuns = runs;
    const CSimpleErr& err = m_thread.Task()->GetErr();
    if (err.Failed())
        Msg()->ShowError(err);
    else
        Msg()->ShowText(FormatMessageText(164), MB_ICONINFORMATION);
}
