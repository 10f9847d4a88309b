// What a page may ask of the browser in silent mode: leaving it is never
// refused quietly, and a file it offers for download is refused out loud.
#include "GuiTestUtil.h"
#include "TileServer.h"
#include "controls/GuiInput.h"

#include "browser/QuorvaneView.h"
#include "browser/WebSandbox.h"

#include <gtest/gtest.h>
#include <gtkmm.h>
#include <webkit2/webkit2.h>

namespace {

class PageRequests : public testing::Test {
protected:
    void SetUp() override
    {
        window.set_default_size(400, 300);
        window.add(view.Widget());
        ASSERT_TRUE(guitest::ShowActive(window));
        view.PutSilent(true);
    }

    bool LoadAndWait(const std::string& url, const std::string& title)
    {
        view.Navigate(url);
        return RunUntil([&] {
            std::string shown;
            return view.ReadyState() == 4 && view.GetLocationName(shown) && shown == title;
        });
    }

    Gtk::Window window;
    CQuorvaneView view;
};

// "localhost:PORT/..." typed without a scheme is this machine's web server,
// not a URL of a scheme "localhost".
TEST_F(PageRequests, AHostAndPortTypedWithoutASchemeIsLoaded)
{
    TileServer server;
    ASSERT_TRUE(server.Running());
    const std::string url = server.PageUrl("shell-page.html");
    const std::string prefix = "http://127.0.0.1";
    ASSERT_EQ(url.rfind(prefix, 0), 0u);
    EXPECT_TRUE(LoadAndWait("localhost" + url.substr(prefix.size()), "Shell fixture"));
}

TEST_F(PageRequests, APageThatAsksBeforeItIsLeftIsLeft)
{
    ASSERT_TRUE(LoadAndWait(FixtureUrl("leave-guard.html"), "guarded"));
    // The question is only asked of a page the user has typed into.
    view.Widget().grab_focus();
    ASSERT_TRUE(guitest::Type("abc"));
    ASSERT_TRUE(RunUntil([&] {
        std::string title;
        return view.GetLocationName(title) && title == "typed";
    }));
    // A link followed: the page itself starts leaving.
    webkit_web_view_evaluate_javascript(view.WebView(), "document.getElementById('away').click()", -1, nullptr,
                                        nullptr, nullptr, nullptr, nullptr);
    EXPECT_TRUE(RunUntil([&] {
        std::string url;
        return view.ReadyState() == 4 && view.GetLocationURL(url) && url == FixtureUrl("shell-page.html");
    }));
}

TEST_F(PageRequests, ADownloadIsRefusedAndReported)
{
    std::vector<std::string> refused;
    view.onDownloadRefused = [&](const std::string& url) { refused.push_back(url); };
    // WebKit's own end of the download: nothing is written after it.
    bool ended = false;
    WebKitWebContext* context = webkit_web_view_get_context(view.WebView());
    const gulong started = g_signal_connect(
        context, "download-started", G_CALLBACK(+[](WebKitWebContext*, WebKitDownload* download, gpointer flag) {
            g_signal_connect_swapped(download, "finished",
                                     G_CALLBACK(+[](gpointer ended) { *static_cast<bool*>(ended) = true; }), flag);
        }),
        &ended);
    view.Navigate(FixtureUrl("download-start.html"));
    ASSERT_TRUE(RunUntil([&] { return !refused.empty() && ended; }));
    g_signal_handler_disconnect(context, started);
    EXPECT_EQ(refused, std::vector<std::string>{"data:application/octet-stream;base64,UVZCSU4AAQID"});
    const char* downloads = g_get_user_special_dir(G_USER_DIRECTORY_DOWNLOAD);
    gchar* written = g_build_filename(downloads ? downloads : g_get_home_dir(), "map-data.bin", nullptr);
    EXPECT_FALSE(g_file_test(written, G_FILE_TEST_EXISTS)) << written;
    g_free(written);
}

}  // namespace

// window.print() opens no print dialog (which would hold the page and, in a
// batch run, the whole run): each request is refused and reported.
TEST_F(PageRequests, APrintRequestOfThePageIsRefusedAndReported)
{
    int refused = 0;
    view.onPrintRefused = [&] { ++refused; };
    ASSERT_TRUE(LoadAndWait(FixtureUrl("print-request.html"), "asked"));
    EXPECT_EQ(refused, 1);
    GList* windows = gtk_window_list_toplevels();
    for (GList* w = windows; w; w = w->next)
        EXPECT_FALSE(GTK_IS_DIALOG(w->data)) << "a dialog is open: " << gtk_window_get_title(GTK_WINDOW(w->data));
    g_list_free(windows);
}

// The page runs in WebKit's sandbox: its web process has namespaces of its
// own (PID, network, mounts; user unless started by root), not this program's.
TEST_F(PageRequests, TheWebProcessRunsInItsOwnNamespaces)
{
    ASSERT_TRUE(LoadAndWait(FixtureUrl("shell-page.html"), "Shell fixture")) << WebSandboxUnavailableText();
    EXPECT_EQ(WebSandboxUnavailableText(), "");
    const auto parentOf = [](int pid) {
        gchar* text = nullptr;
        if (!g_file_get_contents(("/proc/" + std::to_string(pid) + "/stat").c_str(), &text, nullptr, nullptr))
            return 0;
        const std::string stat = text;
        g_free(text);
        // "pid (comm) state ppid ...": the name may hold spaces and parentheses.
        const size_t end = stat.rfind(')');
        return end == std::string::npos ? 0 : std::atoi(stat.c_str() + end + 4);
    };
    const auto link = [](const std::string& path) {
        gchar* target = g_file_read_link(path.c_str(), nullptr);
        std::string result = target ? target : "";
        g_free(target);
        return result;
    };
    std::vector<int> webProcesses;
    GDir* proc = g_dir_open("/proc", 0, nullptr);
    ASSERT_NE(proc, nullptr);
    while (const gchar* name = g_dir_read_name(proc)) {
        const int pid = std::atoi(name);
        if (pid <= 0 || link("/proc/" + std::string(name) + "/exe").find("WebKitWebProcess") == std::string::npos)
            continue;
        for (int p = pid; p > 1; p = parentOf(p))
            if (p == getpid()) {
                webProcesses.push_back(pid);
                break;
            }
    }
    g_dir_close(proc);
    ASSERT_FALSE(webProcesses.empty()) << "no web process of this program was found";
    // WebKit leaves the user namespace to a web process started by root.
    std::vector<const char*> namespaces{"pid", "net", "mnt"};
    if (geteuid() != 0)
        namespaces.push_back("user");
    for (int pid : webProcesses)
        for (const char* ns : namespaces)
            EXPECT_NE(link("/proc/" + std::to_string(pid) + "/ns/" + ns), link(std::string("/proc/self/ns/") + ns))
                << "the web process " << pid << " shares the " << ns << " namespace";
}
