#include "shell/OpenUrlDlg.h"

#include "errors/Msg.h"
#include "errors/ProgramMessages.h"
#include "errors/StringTable.h"

#include <gtkmm/box.h>

COpenUrlDlg::COpenUrlDlg() : m_dialog(LoadString(kTextOpenUrlTitle), true)
{
    m_dialog.set_resizable(false);
    m_dialog.set_default_size(560, -1);
    m_dialog.set_border_width(6);
    m_urlBox.set_name("url-box");
    m_urlBox.set_hexpand(true);
    m_urlBox.get_entry()->set_activates_default(true);
    m_dialog.get_content_area()->pack_start(m_urlBox, Gtk::PACK_SHRINK);
    m_okButton = m_dialog.add_button(LoadString(kTextOpenUrlOpen), IDOK);
    m_dialog.add_button(LoadString(kTextCancel), IDCANCEL);
    m_dialog.set_default_response(IDOK);
    m_dialog.get_content_area()->show_all();
}

void COpenUrlDlg::InitDialog()
{
    if (m_initialised)
        return;
    m_initialised = true;
    m_box.Bind(m_urlBox, this, &COpenUrlDlg::GetUrl, &COpenUrlDlg::SetUrl, &m_urls);
    m_box.AddListener(decltype(m_box)::EventChanged, MakeMemfunListener(this, &COpenUrlDlg::OnUrlChanged));
    m_box.ShowValue();
    OnUrlChanged();
    m_urlBox.get_entry()->grab_focus();
}

int COpenUrlDlg::DoModal(Gtk::Window* parent)
{
    InitDialog();
    if (parent) {
        m_dialog.set_transient_for(*parent);
        m_dialog.set_position(Gtk::WIN_POS_CENTER_ON_PARENT);
    }
    // Shown first so that present() asks for the focus even where no window
    // manager hands it to new windows.
    m_dialog.show();
    m_dialog.present();
    const int response = m_dialog.run();
    m_box.FlushPending();
    m_dialog.hide();
    return response == IDOK ? IDOK : IDCANCEL;
}

void COpenUrlDlg::OnUrlChanged()
{
    m_dialog.set_response_sensitive(IDOK, !m_url.empty());
}
