#include "shell/StartupGuard.h"

#include "errors/Msg.h"
#include "shell/Command.h"
#include "batch/ExitStatus.h"

int RunReportingFailure(const std::function<int()>& body, qvn::CMsg& msg)
{
    int result = kExitNoStart;
    const CSimpleErr err = RunGuarded([&] { result = body(); });
    if (!err.Failed())
        return result;
    msg.ShowError(err);
    return kExitNoStart;
}
