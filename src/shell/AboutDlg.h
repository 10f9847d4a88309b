#pragma once
#include <gtkmm/builder.h>
#include <gtkmm/dialog.h>
#include <gtkmm/eventbox.h>
#include <gtkmm/image.h>
#include <gtkmm/label.h>

#include <functional>
#include <memory>
#include <string>

// The About box (dialog 58370): program icon, name and version, legal notice
// and a link that opens the home page in the user's web browser.
class CAboutDlg {
public:
    // Opens a URI for the user; false when it could not. The default hands it
    // to the desktop's default handler.
    using Launcher = std::function<bool(Gtk::Window* parent, const std::string& uri)>;

    explicit CAboutDlg(Launcher launcher = {});
    ~CAboutDlg();
    CAboutDlg(const CAboutDlg&) = delete;
    CAboutDlg& operator=(const CAboutDlg&) = delete;

    // Runs modally over `parent`; 1 for OK, 2 when closed otherwise.
    int DoModal(Gtk::Window* parent);

    // Opens the link's current text; beeps when that fails.
    bool OpenLink();

    Gtk::Dialog& Dialog() { return *m_dialog; }
    Gtk::Image& Icon() { return *m_icon; }
    Gtk::Label& NameLine() { return *m_name; }
    Gtk::Label& LegalLine() { return *m_legal; }
    Gtk::Label& Link() { return *m_link; }
    Gtk::EventBox& LinkArea() { return *m_linkArea; }

private:
    void InitDialog();
    bool OnLinkReleased(GdkEventButton* event);

    Glib::RefPtr<Gtk::Builder> m_builder;
    std::unique_ptr<Gtk::Dialog> m_dialog;
    Gtk::Image* m_icon = nullptr;
    Gtk::Label* m_name = nullptr;
    Gtk::Label* m_legal = nullptr;
    Gtk::Label* m_linkCaption = nullptr;
    Gtk::Label* m_link = nullptr;
    Gtk::EventBox* m_linkArea = nullptr;
    Launcher m_launcher;
};

// The About command: runs the About box over the active window, or `owner`
// when none is active.
int ShowAboutBox(Gtk::Window* owner);
