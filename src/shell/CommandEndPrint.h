#pragma once
#include "shell/Command.h"

class CQuorvaThread;

// EndPrint (the print thread's end of a job): joins the worker and shows the
// job's error, or "印刷が終了しました".
class CCommandEndPrint : public CCommand {
public:
    CCommandEndPrint(qvn::CMsg* msg, CQuorvaThread& thread) : CCommand(msg), m_thread(thread) {}
    void Execute(bool execute) override;

private:
    CQuorvaThread& m_thread;
    unsigned m_reportedRuns = 0;
};
