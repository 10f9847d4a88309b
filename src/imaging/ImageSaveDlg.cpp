#include "imaging/ImageSaveDlg.h"

#include "controls/ActiveWindow.h"
#include "errors/Exception.h"
#include "errors/Msg.h"
#include "errors/StringTable.h"
#include "imaging/SaveFileTypes.h"

#include <glib/gi18n.h>
#include <gtkmm.h>

namespace {

// The code the system's dialog library gives for a dialog it cannot create.
constexpr unsigned kDialogFailure = 0xFFFF;

std::vector<std::string> SplitPatterns(const std::string& patterns)
{
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t end; (end = patterns.find(';', start)) != std::string::npos; start = end + 1)
        parts.push_back(patterns.substr(start, end - start));
    parts.push_back(patterns.substr(start));
    return parts;
}

[[noreturn]] void DialogFailed()
{
    char code[16];
    g_snprintf(code, sizeof code, "%x", kDialogFailure);
    throw my::CException(58746, {code});
}

}  // namespace

int CImageSaveDlg::Show()
{
    if (!gdk_display_get_default())
        DialogFailed();

    Gtk::FileChooserDialog dialog(CommandToolTip(57604), Gtk::FILE_CHOOSER_ACTION_SAVE);
    Gtk::Window* owner = ActiveWindow();
    if (!owner)
        owner = m_owner;
    if (owner)
        dialog.set_transient_for(*owner);
    dialog.add_button(g_dgettext("gtk30", "_Cancel"), Gtk::RESPONSE_CANCEL);
    dialog.add_button(g_dgettext("gtk30", "_Save"), Gtk::RESPONSE_ACCEPT);
    dialog.set_default_response(Gtk::RESPONSE_ACCEPT);
    // The overwrite question comes after the extension is completed, below.
    dialog.set_do_overwrite_confirmation(false);
    dialog.set_local_only(true);

    std::vector<Glib::RefPtr<Gtk::FileFilter>> filters;
    for (const CSaveFileType& type : SaveFileTypes()) {
        auto filter = Gtk::FileFilter::create();
        filter->set_name(FilterDisplayText(type));
        for (const std::string& pattern : SplitPatterns(type.patterns))
            filter->add_pattern(AnyCasePattern(pattern));
        dialog.add_filter(filter);
        filters.push_back(filter);
    }
    dialog.set_filter(filters.front());

    if (dialog.run() != Gtk::RESPONSE_ACCEPT)
        return IDCANCEL;
    const std::string chosen = dialog.get_filename();
    if (chosen.empty())
        return IDCANCEL;

    m_filterIndex = 1;
    const Glib::RefPtr<Gtk::FileFilter> selected = dialog.get_filter();
    for (size_t i = 0; i < filters.size(); ++i)
        if (filters[i] == selected)
            m_filterIndex = int(i + 1);
    dialog.hide();

    m_path = CompleteExtension(chosen, m_filterIndex);
    if (!m_msg.ConfirmOverwriteIfExists(m_path))
        return IDCANCEL;
    return IDOK;
}
