#pragma once
#include "errors/ErrorRecord.h"
#include "errors/Msg.h"
#include "errors/SimpleErr.h"

#include <functional>

// Every user action is a command object. The guard runs Execute and turns
// whatever escapes it into one error record, so that a failure is reported
// exactly once and the program carries on.
class CCommand {
public:
    explicit CCommand(qvn::CMsg* msg) : m_msg(msg) {}
    virtual ~CCommand() = default;

    // Runs Execute(execute) in the guard; a failure moves the focus to the
    // failing control, is shown as an error box and, with rethrow, is thrown
    // again as my::CCtrlException.
    virtual void RunAndReport(bool execute, bool rethrow);
    // Runs Execute(true) and drops any failure.
    virtual void RunQuietly();
    // Runs Execute(false); true when nothing failed.
    virtual bool Test();
    virtual void Execute(bool execute) = 0;

protected:
    qvn::CMsg* Msg() const { return m_msg; }

private:
    qvn::CMsg* m_msg;
};
