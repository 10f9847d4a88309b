#include "shell/Commands.h"

#include "browser/QuorvaneView.h"
#include "common/ProgramPages.h"
#include "errors/Exception.h"
#include "errors/StringTable.h"
#include "settings/Setting.h"
#include "shell/CommandOpen.h"
#include "shell/MainFrame.h"
#include "shell/UriLauncher.h"


void CCommandInit::Execute(bool execute)
{
    if (!execute)
        return;
    m_view.PutSilent(true);
    if (m_startUrl.empty())
        m_view.Navigate(m_setting.url);
    else
        RememberAndNavigate(m_setting, m_view, m_startUrl);
}

void CCommandReload::Execute(bool execute)
{
    if (execute)
        m_view.Refresh();
}

void CCommandOpenUrl::Execute(bool execute)
{
    if (!execute)
        return;
    const std::string url = ResolveProgramPageUrl(LoadString(m_stringId));
    SysErr error;
    if (!ShowUriInBrowser(m_parent, url, &error)) {
        // The second insert is the URL and the (empty) parameter text.
        throw my::CException(58831, error, {url + " "});
    }
}

void CCommandOpenLink::Execute(bool execute)
{
    if (!execute)
        return;
    RememberAndNavigate(m_setting, m_view, LoadString(m_stringId));
}

void CCommandShowBar::Execute(bool)
{
    m_frame.ToggleBar(m_commandId);
}
