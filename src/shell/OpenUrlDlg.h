#pragma once
#include "controls/ComboBox4.h"
#include "settings/MruStrings.h"

#include <gtkmm/button.h>
#include <gtkmm/comboboxtext.h>
#include <gtkmm/dialog.h>

#include <string>

// The open-URL dialog: one editable drop-down list of the recent URLs. The
// URL member follows the edit field as the user types or picks an item, and
// "開く" is enabled exactly while it is not empty.
class COpenUrlDlg {
public:
    enum : int { IDC_URL = 151 };

    COpenUrlDlg();

    const std::string& GetUrl() const { return m_url; }
    void SetUrl(const std::string& url) { m_url = url; }
    const CMruStrings& Urls() const { return m_urls; }
    void SetUrls(const CMruStrings& urls) { m_urls = urls; }

    // Binds the URL box, shows the URL and enables OK; DoModal calls it.
    void InitDialog();
    // Runs the dialog modally over `parent` (may be null): IDOK or IDCANCEL.
    int DoModal(Gtk::Window* parent);

    Gtk::Dialog& Dialog() { return m_dialog; }
    Gtk::ComboBoxText& UrlBox() { return m_urlBox; }
    Gtk::Button& OkButton() { return *m_okButton; }

private:
    void OnUrlChanged();

    std::string m_url;
    CMruStrings m_urls;
    Gtk::Dialog m_dialog;
    Gtk::ComboBoxText m_urlBox{true};
    Gtk::Button* m_okButton = nullptr;
    CComboBoxString<COpenUrlDlg, CMruStrings> m_box;
    bool m_initialised = false;
};
