#include "shell/CommandQuit.h"

#include "browser/QuorvaneView.h"
#include "errors/Exception.h"

#include <cerrno>

CCommandQuit::CCommandQuit(qvn::CMsg* msg, CSetting& setting, CQuorvaneView* view, CSettingLocation location)
    : CCommand(msg), m_setting(setting), m_view(view), m_location(std::move(location))
{
}

void CCommandQuit::Execute(bool execute)
{
    if (!execute)
        return;
    std::string url;
    if (m_view && m_view->GetLocationURL(url))
        m_setting.url = url;
    else
        Msg()->ShowError(MakeErr(186, SysErr::FromErrno(ENODATA)));
    SaveSettings(m_setting, m_location);
}
