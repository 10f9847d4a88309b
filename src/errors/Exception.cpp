#include "errors/Exception.h"

#include "errors/MessageFormat.h"

#include <glib.h>

SysErr SysErr::FromErrno(int code)
{
    return SysErr{code, ErrorCodeText(code)};
}

SysErr SysErr::FromGError(const GError* error)
{
    if (!error)
        return SysErr{0, ErrorCodeText(0)};
    return SysErr{error->code, TrimText(error->message ? error->message : "")};
}

CSimpleErr MakeErr(uint32_t msgId, const std::vector<std::string>& inserts)
{
    CSimpleErr err;
    err.msgId = msgId;
    err.text = FormatMessageText(msgId, inserts);
    return err;
}

CSimpleErr MakeErr(uint32_t msgId, const SysErr& sys, const std::vector<std::string>& inserts)
{
    std::vector<std::string> all{sys.text};
    all.insert(all.end(), inserts.begin(), inserts.end());
    CSimpleErr err;
    err.msgId = msgId;
    err.value = sys.code;
    err.text = FormatMessageText(msgId, all);
    return err;
}

namespace my {

CException::CException(uint32_t msgId) : m_err(MakeErr(msgId)) {}

CException::CException(uint32_t msgId, const SysErr& sys, const std::vector<std::string>& inserts)
    : m_err(MakeErr(msgId, sys, inserts))
{
}

CException::CException(uint32_t msgId, const std::vector<std::string>& inserts) : m_err(MakeErr(msgId, inserts)) {}

CException::CException(const CSimpleErr& err) : m_err(err) {}

}  // namespace my
