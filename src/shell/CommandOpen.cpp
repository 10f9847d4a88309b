#include "shell/CommandOpen.h"

#include "browser/Clipboard.h"
#include "browser/QuorvaneView.h"
#include "controls/ActiveWindow.h"
#include "settings/Setting.h"
#include "shell/OpenUrlDlg.h"

#include <gtkmm/window.h>

CCommandOpen::CCommandOpen(qvn::CMsg& msg, CSetting& setting, CQuorvaneView& view)
    : CCommand(&msg), m_setting(setting), m_view(view)
{
}

void CCommandOpen::Execute(bool execute)
{
    if (!execute)
        return;
    COpenUrlDlg dialog;
    dialog.SetUrl(ReadClipboardUrlPrefill(m_parent));
    dialog.SetUrls(m_setting.urls);
    Gtk::Window* parent = ActiveWindow();
    if (dialog.DoModal(parent ? parent : m_parent) != IDOK)
        return;
    m_setting.url = dialog.GetUrl();
    RememberAndNavigate(m_setting, m_view, dialog.GetUrl());
}

void RememberAndNavigate(CSetting& setting, CQuorvaneView& view, const std::string& url)
{
    setting.urls.Add(url);
    view.Navigate(url);
}
