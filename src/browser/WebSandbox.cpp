#include "browser/WebSandbox.h"

#include "errors/MessageFormat.h"
#include "errors/ProgramMessages.h"

#include <webkit2/webkit2.h>

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <vector>

namespace {

std::string g_unavailable;

// What the web process launcher asks of bubblewrap: new PID and network
// namespaces, and a user namespace unless it runs as root. Tried once with
// a command that does nothing, so that a system without user namespaces is
// known before any page is shown (WebKit itself would only show empty pages).
bool BubblewrapWorks(std::string& why)
{
    gchar* bwrap = g_find_program_in_path("bwrap");
    if (!bwrap) {
        why = std::string("bwrap: ") + g_strerror(ENOENT);
        return false;
    }
    gchar* truePath = g_find_program_in_path("true");
    // WebKit asks for a user namespace only when it does not run as root.
    std::vector<const char*> argv{bwrap,     "--unshare-pid", "--unshare-net", "--die-with-parent",
                                  "--ro-bind", "/",           "/",             "--proc",
                                  "/proc",     "--dev",       "/dev",          truePath ? truePath : "/bin/true",
                                  nullptr};
    if (geteuid() != 0)
        argv.insert(argv.begin() + 1, "--unshare-user");
    gchar* err = nullptr;
    gint status = 0;
    GError* error = nullptr;
    const bool ran = g_spawn_sync(nullptr, const_cast<char**>(argv.data()), nullptr, G_SPAWN_STDOUT_TO_DEV_NULL, nullptr,
                                  nullptr, nullptr, &err, &status, &error);
    bool works = ran && g_spawn_check_wait_status(status, nullptr);
    if (!works)
        why = error ? error->message : g_strstrip(err ? err : g_strdup(""));
    g_clear_error(&error);
    g_free(err);
    g_free(truePath);
    g_free(bwrap);
    return works;
}

}  // namespace

void EnableWebSandbox()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    std::string why;
    if (BubblewrapWorks(why)) {
        webkit_web_context_set_sandbox_enabled(webkit_web_context_get_default(), TRUE);
        return;
    }
    g_unavailable = FormatMessageText(kMsgNoWebSandbox, {why});
    std::fprintf(stderr, "quorvane: %s\n", g_unavailable.c_str());
}

const std::string& WebSandboxUnavailableText() { return g_unavailable; }
