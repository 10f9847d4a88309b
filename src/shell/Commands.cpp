#include "shell/Commands.h"

#include "browser/QuorvaneView.h"
#include "common/ProgramPages.h"
#include "errors/Exception.h"
#include "errors/StringTable.h"
#include "settings/Setting.h"
#include "shell/CommandOpen.h"
#include "shell/MainFrame.h"

#include <gtk/gtk.h>

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
    GError* error = nullptr;
    GtkWindow* parent = m_parent && GTK_IS_WINDOW(m_parent) ? GTK_WINDOW(m_parent) : nullptr;
    if (!gtk_show_uri_on_window(parent, url.c_str(), GDK_CURRENT_TIME, &error)) {
        const SysErr sys = SysErr::FromGError(error);
        g_clear_error(&error);
        // The second insert is the URL and the (empty) parameter text.
        throw my::CException(58831, sys, {url + " "});
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
