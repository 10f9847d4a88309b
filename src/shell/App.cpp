#include "shell/App.h"

#include "controls/MessageBoxMsg.h"
#include "errors/Resources.h"
#include "settings/Setting.h"
#include "batch/BatchRun.h"
#include "batch/CommandLine.h"
#include "batch/ExitStatus.h"
#include "shell/MainFrame.h"
#include "shell/SessionEnd.h"
#include "shell/StartupGuard.h"
#include "shell/StartupSettings.h"

#include <gtkmm.h>

#include <clocale>
#include <cstdio>

namespace {

// Program icon 140 at the sizes window managers ask for.
void SetProgramIcon()
{
    std::vector<Glib::RefPtr<Gdk::Pixbuf>> icons;
    for (int size : {16, 32, 48, 128})
        icons.push_back(Gdk::Pixbuf::create_from_resource(ResourcePath("icons/quorvane-" + std::to_string(size) + ".png")));
    Gtk::Window::set_default_icon_list(icons);
}

std::string CurrentFolder()
{
    gchar* cwd = g_get_current_dir();
    std::string folder = cwd;
    g_free(cwd);
    return folder;
}

// URLs handed over by later starts of the program (`quorvane URL`) go to the
// running window; until it exists, the last one becomes its start URL.
class CUrlReceiver {
public:
    explicit CUrlReceiver(std::string startUrl) : m_startUrl(std::move(startUrl)) {}
    const std::string& StartUrl() const { return m_startUrl; }
    void SetFrame(CMainFrame* frame) { m_frame = frame; }

    void Open(const std::string& url)
    {
        if (m_frame)
            m_frame->OpenUrl(url);
        else
            m_startUrl = url;
    }

    int OnCommandLine(const Glib::RefPtr<Gio::ApplicationCommandLine>& commandLine)
    {
        // This process's own command line has been read already.
        if (!commandLine->is_remote())
            return kExitDone;
        int argc = 0;
        char** argv = commandLine->get_arguments(argc);
        const CCommandLineResult parsed = ParseCommandLine(std::vector<std::string>(argv, argv + argc));
        g_strfreev(argv);
        if (parsed.status != kExitDone) {
            commandLine->printerr("quorvane: " + parsed.error + "\n");
            return parsed.status;
        }
        if (!parsed.options.url.empty())
            Open(CommandLineUrl(parsed.options.url, commandLine->get_cwd()));
        return kExitDone;
    }

    void OnOpen(const Gio::Application::type_vec_files& files, const Glib::ustring&)
    {
        if (!files.empty())
            Open(files.front()->get_uri());
    }

private:
    std::string m_startUrl;
    CMainFrame* m_frame = nullptr;
};

// The process-wide pointers are valid only while their objects live, also
// when start-up fails half-way.
struct ProcessWideReset {
    ~ProcessWideReset()
    {
        TheMsg().SetOwner(nullptr);
        SetTheSetting(nullptr);
    }
};

Glib::RefPtr<Gtk::Application> CreateApplication(Gio::ApplicationFlags flags)
{
    auto app = Gtk::Application::create("org.brackwater.Quorvane", flags);
    // Logging out asks the program first ("query-end"), so that it can
    // store the session's settings.
    app->property_register_session() = true;
    return app;
}

int RunWindow(char* argv0, CUrlReceiver& urls)
{
    // One program per desktop session opens the URLs it is given; a start
    // without a URL while one runs opens a window of its own, as it always has.
    auto app = CreateApplication(Gio::APPLICATION_HANDLES_COMMAND_LINE | Gio::APPLICATION_HANDLES_OPEN);
    if (app->register_application() && app->is_remote()) {
        if (!urls.StartUrl().empty()) {
            char* forwarded[] = {argv0, const_cast<char*>("--"), const_cast<char*>(urls.StartUrl().c_str()), nullptr};
            return app->run(3, forwarded);
        }
        app = CreateApplication(Gio::APPLICATION_NON_UNIQUE);
    }
    if (!app->register_application() || !gdk_display_get_default()) {
        g_printerr("quorvane: cannot open the display\n");
        return kExitNoStart;
    }
    app->signal_command_line().connect(sigc::mem_fun(urls, &CUrlReceiver::OnCommandLine), false);
    app->signal_open().connect(sigc::mem_fun(urls, &CUrlReceiver::OnOpen), false);
    SetProgramIcon();

    ProcessWideReset reset;
    CSetting setting;
    SetTheSetting(&setting);
    // Declining to go on after a settings-file problem ends the program
    // before any window exists.
    if (!LoadStartupSettings(setting, TheMsg()))
        return 0;

    CMainFrame frame(setting);
    frame.signal_hide().connect([&] { app->remove_window(frame); });
    app->add_window(frame);
    frame.SetStartUrl(urls.StartUrl());
    urls.SetFrame(&frame);
    frame.Create();
    // Logging out or a termination signal closes the window as the user
    // would, so that nothing of the session is lost.
    CSessionEndWatch sessionEnd(app->gobj(), [&] { frame.EndSession(); });
    app->run();
    urls.SetFrame(nullptr);
    // The frame closed normally.
    return 1;
}

}  // namespace

int Run(int argc, char* argv[])
{
    // The option parser's own words ("Usage:") in the user's language. When
    // the C library lacks the user's locale, its UTF-8 locale stands in for
    // the plain "C" one, so that texts still leave the program as UTF-8: a
    // Japanese window title also in WM_NAME, which older tools read, and
    // messages on standard error. The language of the texts comes from the
    // environment either way.
    if (!std::setlocale(LC_ALL, ""))
        std::setlocale(LC_ALL, "C.UTF-8");
    // GTK would set the same locale again, or warn that it cannot.
    gtk_disable_setlocale();
    const CCommandLineResult parsed = ParseCommandLine(std::vector<std::string>(argv, argv + argc));
    if (parsed.status != kExitDone) {
        std::fprintf(stderr, "quorvane: %s\n", parsed.error.c_str());
        return parsed.status;
    }
    switch (parsed.options.mode) {
    case CCommandLine::Mode::Help: std::fputs(CommandLineHelp().c_str(), stdout); return kExitDone;
    case CCommandLine::Mode::Version: std::printf("%s\n", CommandLineVersion().c_str()); return kExitDone;
    case CCommandLine::Mode::Save:
    case CCommandLine::Mode::Print: return RunBatch(parsed.options);
    case CCommandLine::Mode::Window: break;
    }
    CUrlReceiver urls(parsed.options.url.empty() ? std::string() : CommandLineUrl(parsed.options.url, CurrentFolder()));
    return RunReportingFailure([&] { return RunWindow(argv[0], urls); }, TheMsg());
}
