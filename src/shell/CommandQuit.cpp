#include "shell/CommandQuit.h"

#include "browser/QuorvaneView.h"
#include "errors/Exception.h"
#include "errors/MessageFormat.h"
#include "errors/ProgramMessages.h"

#include <glib.h>

#include <cerrno>

namespace {

// One URL a line, with what cannot be shown replaced.
std::string ShownUrls(const std::vector<std::string>& urls)
{
    std::string shown;
    for (const std::string& url : urls) {
        gchar* valid = g_utf8_make_valid(url.c_str(), static_cast<gssize>(url.size()));
        for (gchar* c = valid; *c; ++c) {
            if (static_cast<unsigned char>(*c) < 0x20 || *c == 0x7F)
                *c = '?';
        }
        shown += (shown.empty() ? "" : "\n") + std::string(valid);
        g_free(valid);
    }
    return shown;
}

}  // namespace

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
    const std::vector<std::string> leftOut = SaveSettings(m_setting, m_location);
    if (!leftOut.empty())
        Msg()->ShowText(FormatMessageText(kMsgUrlsNotSaved, {ShownUrls(leftOut)}), MB_ICONEXCLAMATION);
}
