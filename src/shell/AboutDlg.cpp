#include "shell/AboutDlg.h"

#include "errors/Exception.h"
#include "errors/Msg.h"
#include "errors/Resources.h"
#include "errors/StringTable.h"
#include "settings/AppInfo.h"

#include <glib.h>
#include <gtk/gtk.h>
#include <gtkmm/window.h>

namespace {

struct DialogTexts {
    const char* title;
    const char* linkCaption;
};

const DialogTexts& Texts()
{
    static const DialogTexts japanese{"バージョン情報", "詳しくはホームページをご覧ください"};
    static const DialogTexts english{"About Quorvane", "For details, see the home page"};
    return CurrentLanguage() == UiLanguage::Japanese ? japanese : english;
}

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

Gtk::Window* ActiveWindow()
{
    for (Gtk::Window* window : Gtk::Window::list_toplevels()) {
        if (window->is_active() && window->get_visible())
            return window;
    }
    return nullptr;
}

}  // namespace

bool ShowUriInBrowser(Gtk::Window* parent, const std::string& uri)
{
    // gtk_show_uri_on_window hands the URI on asynchronously when it has a
    // parent and then cannot say whether it was opened; launching here keeps
    // the answer.
    GdkDisplay* display = parent ? gtk_widget_get_display(GTK_WIDGET(parent->gobj())) : gdk_display_get_default();
    if (!display)
        return false;
    GdkAppLaunchContext* context = gdk_display_get_app_launch_context(display);
    gdk_app_launch_context_set_timestamp(context, GDK_CURRENT_TIME);
    GError* error = nullptr;
    const bool shown = g_app_info_launch_default_for_uri(uri.c_str(), G_APP_LAUNCH_CONTEXT(context), &error) != FALSE;
    g_clear_error(&error);
    g_object_unref(context);
    return shown;
}

CAboutDlg::CAboutDlg(Launcher launcher) : m_launcher(launcher ? std::move(launcher) : Launcher(ShowUriInBrowser))
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
    m_dialog->set_title(Texts().title);
    if (Glib::RefPtr<Gdk::Pixbuf> icon = LargeProgramIcon())
        m_icon->set(icon);
    else
        m_icon->set_from_icon_name("dialog-information", Gtk::ICON_SIZE_DIALOG);
    m_name->set_text(info.NameLine());
    m_legal->set_text(info.legalNotice);
    m_linkCaption->set_text(Texts().linkCaption);
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
