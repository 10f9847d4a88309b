#include "shell/AboutDlg.h"

#include "controls/ActiveWindow.h"
#include "controls/UiTexts.h"
#include "errors/Exception.h"
#include "errors/Msg.h"
#include "errors/Resources.h"
#include "errors/StringTable.h"
#include "settings/AppInfo.h"
#include "shell/UriLauncher.h"

#include <glib.h>
#include <gtk/gtk.h>
#include <gtkmm/window.h>

namespace {

template <class T>
T* Widget(const Glib::RefPtr<Gtk::Builder>& builder, const char* id)
{
    T* widget = nullptr;
    builder->get_widget(id, widget);
    return widget;
}

Glib::RefPtr<Gdk::Pixbuf> LargeProgramIcon()
{
    const std::string path = "icons/quorvane-48.png";
    GBytes* bytes = LookupResource(path);  // also makes sure the bundle is registered
    if (!bytes)
        return {};
    g_bytes_unref(bytes);
    try {
        return Gdk::Pixbuf::create_from_resource(ResourcePath(path));
    } catch (const Glib::Error&) {
        return {};
    }
}

// The link's look: pure blue and underlined.
Pango::AttrList LinkAttributes()
{
    Pango::AttrList attributes;
    Pango::Attribute underline = Pango::Attribute::create_attr_underline(Pango::UNDERLINE_SINGLE);
    Pango::Attribute blue = Pango::Attribute::create_attr_foreground(0, 0, 0xFFFF);
    attributes.insert(underline);
    attributes.insert(blue);
    return attributes;
}

}  // namespace

CAboutDlg::CAboutDlg(Launcher launcher)
    : m_launcher(launcher ? std::move(launcher) : Launcher([](Gtk::Window* parent, const std::string& uri) {
          return ShowUriInBrowser(parent, uri);
      }))
{
    m_builder = Gtk::Builder::create();
    GBytes* bytes = LookupResource("ui/about.ui");
    if (!bytes)
        throw my::CException(58721, {"ui/about.ui"});
    gsize size = 0;
    const char* text = static_cast<const char*>(g_bytes_get_data(bytes, &size));
    const std::string ui(text, size);
    g_bytes_unref(bytes);
    m_builder->add_from_string(ui);
    ApplyUiTexts(m_builder, "ui/about.ui");

    m_dialog.reset(Widget<Gtk::Dialog>(m_builder, "about"));
    m_icon = Widget<Gtk::Image>(m_builder, "icon58402");
    m_name = Widget<Gtk::Label>(m_builder, "name58403");
    m_legal = Widget<Gtk::Label>(m_builder, "legal58404");
    m_linkCaption = Widget<Gtk::Label>(m_builder, "linkCaption");
    m_link = Widget<Gtk::Label>(m_builder, "link58387");
    m_linkArea = Widget<Gtk::EventBox>(m_builder, "linkBox");
    InitDialog();
}

CAboutDlg::~CAboutDlg() = default;

void CAboutDlg::InitDialog()
{
    const CAppInfo& info = TheAppInfo();
    if (Glib::RefPtr<Gdk::Pixbuf> icon = LargeProgramIcon())
        m_icon->set(icon);
    else
        m_icon->set_from_icon_name("dialog-information", Gtk::ICON_SIZE_DIALOG);
    m_name->set_text(info.NameLine());
    m_legal->set_text(info.legalNotice);
    if (!info.homePageUrl.empty())
        m_link->set_text(info.homePageUrl);
    Pango::AttrList attributes = LinkAttributes();
    m_link->set_attributes(attributes);

    // The hand cursor tells the link apart from the other lines.
    m_linkArea->signal_realize().connect([this] {
        if (Glib::RefPtr<Gdk::Window> window = m_linkArea->get_window())
            window->set_cursor(Gdk::Cursor::create(window->get_display(), Gdk::HAND2));
    });
    m_linkArea->signal_button_release_event().connect(sigc::mem_fun(*this, &CAboutDlg::OnLinkReleased));
}

bool CAboutDlg::OnLinkReleased(GdkEventButton* event)
{
    if (event->button != 1)
        return false;
    OpenLink();
    return true;
}

bool CAboutDlg::OpenLink()
{
    const std::string uri = m_link->get_text();
    if (!uri.empty() && m_launcher(m_dialog.get(), uri))
        return true;
    m_dialog->error_bell();
    return false;
}

int CAboutDlg::DoModal(Gtk::Window* parent)
{
    if (parent)
        m_dialog->set_transient_for(*parent);
    const int response = m_dialog->run();
    m_dialog->hide();
    return response == IDOK ? IDOK : IDCANCEL;
}

int ShowAboutBox(Gtk::Window* owner)
{
    Gtk::Window* parent = ActiveWindow();
    CAboutDlg dialog;
    return dialog.DoModal(parent ? parent : owner);
}
