#include "CupsTestServer.h"

#include <cups/cups.h>
#include <glib/gstdio.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace {

constexpr const char* kPpdPaths[] = {"/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd",
                                     "/usr/share/ppd/cups-pdf/CUPS-PDF_noopt.ppd"};

bool Exists(const std::string& path) { return g_file_test(path.c_str(), G_FILE_TEST_EXISTS); }

void RemoveTree(const std::string& path)
{
    if (g_file_test(path.c_str(), G_FILE_TEST_IS_DIR) && !g_file_test(path.c_str(), G_FILE_TEST_IS_SYMLINK)) {
        if (GDir* dir = g_dir_open(path.c_str(), 0, nullptr)) {
            while (const char* name = g_dir_read_name(dir))
                RemoveTree(path + "/" + name);
            g_dir_close(dir);
        }
        g_rmdir(path.c_str());
    } else {
        g_unlink(path.c_str());
    }
}

std::string ReadText(const std::string& path)
{
    gchar* data = nullptr;
    gsize length = 0;
    if (!g_file_get_contents(path.c_str(), &data, &length, nullptr))
        return {};
    std::string text(data, length);
    g_free(data);
    return text;
}

bool WriteText(const std::string& path, const std::string& text)
{
    return g_file_set_contents(path.c_str(), text.c_str(), -1, nullptr);
}

template <class F>
bool PollUntil(F done, double seconds)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return true;
}

}  // namespace

bool CCupsTestServer::Start()
{
    if (geteuid() != 0) {
        m_why = "cupsd runs the cups-pdf backend only as root";
        m_unavailable = true;
        return false;
    }
    std::string ppd;
    for (const char* p : kPpdPaths)
        if (ppd.empty() && Exists(p))
            ppd = p;
    // Each package the server needs, by what it installs.
    std::string missing;
    for (auto [package, installed] :
         {std::pair<const char*, bool>{"cups (/usr/sbin/cupsd)", Exists("/usr/sbin/cupsd")},
          {"cups-client (/usr/sbin/lpadmin)", Exists("/usr/sbin/lpadmin")},
          {"printer-driver-cups-pdf (/usr/lib/cups/backend/cups-pdf and its PPD)",
           Exists("/usr/lib/cups/backend/cups-pdf") && !ppd.empty()}})
        if (!installed)
            missing += (missing.empty() ? "" : ", ") + std::string(package);
    if (!missing.empty()) {
        m_why = "not installed: " + missing + " (tools/install-deps.sh installs them)";
        m_unavailable = true;
        return false;
    }

    gchar* dir = g_dir_make_tmp("qv-cups-XXXXXX", nullptr);
    m_dir = dir;
    g_free(dir);
    // The filters run as the lp user and must reach the spool.
    for (const char* sub : {"", "/root", "/log", "/cache", "/state", "/spool", "/spool/tmp"}) {
        const std::string path = m_dir + sub;
        g_mkdir_with_parents(path.c_str(), 0755);
        chmod(path.c_str(), 0755);
    }
    chmod((m_dir + "/spool/tmp").c_str(), 01777);
    m_socket = m_dir + "/cups.sock";
    // cups-pdf with a configuration of this server's own, writing into
    // m_dir/pdf: nothing of the machine's is read or written.
    const char* tests = g_getenv("QV_TEST_SOURCE");
    if (!tests || !RunTool({"bash", std::string(tests) + "/printing/private_cups_pdf.sh", m_dir})) {
        Failed("the private cups-pdf could not be set up (QV_TEST_SOURCE comes from run_sealed.sh): " + m_toolError);
        return false;
    }

    WriteText(m_dir + "/root/cups-files.conf",
              "ServerRoot " + m_dir + "/root\nRequestRoot " + m_dir + "/spool\nTempDir " + m_dir +
                  "/spool/tmp\nStateDir " + m_dir + "/state\nCacheDir " + m_dir +
                  "/cache\nServerBin " + m_dir + "/serverbin\nDataDir /usr/share/cups\nAccessLog " + m_dir +
                  "/log/access_log\nErrorLog " + m_dir + "/log/error_log\nPageLog " + m_dir +
                  "/log/page_log\nFatalErrors none\nPrintcap\nSystemGroup root\nFileDevice Yes\n");
    WriteText(m_dir + "/root/cupsd.conf",
              "Listen " + m_socket +
                  "\nLogLevel info\nBrowsing No\nWebInterface No\nDefaultAuthType None\nMaxJobTime 300\nMaxCopies " +
                  std::to_string(kMaxCopies) + "\nPreserveJobFiles Yes\nDefaultPaperSize A4\n"
                  "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                  "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n");

    const std::string conf = m_dir + "/root/cupsd.conf";
    const std::string files = m_dir + "/root/cups-files.conf";
    const char* argv[] = {"/usr/sbin/cupsd", "-f", "-c", conf.c_str(), "-s", files.c_str(), nullptr};
    GError* error = nullptr;
    if (!g_spawn_async(nullptr, const_cast<char**>(argv), nullptr, G_SPAWN_DO_NOT_REAP_CHILD, nullptr, nullptr,
                       &m_pid, &error)) {
        Failed(std::string("cupsd could not be started: ") + error->message);
        g_error_free(error);
        return false;
    }
    int status = 0;
    bool exited = false;
    if (!PollUntil([&] { return Exists(m_socket) || (exited = waitpid(m_pid, &status, WNOHANG) == m_pid); }, 15)) {
        Failed("cupsd did not open its socket within 15 s");
        return false;
    }
    if (exited) {
        g_spawn_close_pid(m_pid);
        m_pid = 0;
        Failed("cupsd ended at once with status " + std::to_string(status));
        return false;
    }
    // The program and the lp tools find this server through CUPS_SERVER;
    // threads started from now on read it afresh.
    g_setenv("CUPS_SERVER", m_socket.c_str(), TRUE);
    cupsSetServer(m_socket.c_str());
    if (!RunTool({"lpadmin", "-p", kQueue, "-E", "-v", "cups-pdf:/", "-P", ppd})) {
        Failed("lpadmin could not add the cups-pdf queue: " + m_toolError);
        return false;
    }
    return true;
}

void CCupsTestServer::Failed(const std::string& why)
{
    m_why = why;
    m_unavailable = false;
    const std::string log = m_dir.empty() ? std::string() : ReadText(m_dir + "/log/error_log");
    if (!log.empty())
        m_why += "; the end of cupsd's error log:\n" + log.substr(log.size() > 2000 ? log.size() - 2000 : 0);
}

void CCupsTestServer::Stop()
{
    if (m_pid > 0) {
        kill(m_pid, SIGTERM);
        int status = 0;
        if (!PollUntil([&] { return waitpid(m_pid, &status, WNOHANG) == m_pid; }, 10)) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, &status, 0);
        }
        g_spawn_close_pid(m_pid);
        m_pid = 0;
    }
    if (!m_dir.empty()) {
        RemoveTree(m_dir);
        m_dir.clear();
    }
}

bool CCupsTestServer::RunTool(const std::vector<std::string>& argv)
{
    std::vector<char*> args;
    for (const auto& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    gint status = 0;
    gchar* err = nullptr;
    GError* error = nullptr;
    const bool ran = g_spawn_sync(nullptr, args.data(), nullptr,
                                  GSpawnFlags(G_SPAWN_SEARCH_PATH | G_SPAWN_STDOUT_TO_DEV_NULL), nullptr, nullptr,
                                  nullptr, &err, &status, &error);
    m_toolError = ran ? (err ? err : "") : error->message;
    g_free(err);
    if (error)
        g_error_free(error);
    return ran && g_spawn_check_wait_status(status, nullptr);
}

bool CCupsTestServer::AddPostScriptQueue()
{
    // The generic PostScript driver that comes with CUPS: its papers have
    // hardware margins, as real printers' do. Like many queues, it fits
    // pages into the printable area unless a job says otherwise.
    if (!RunTool({"lpadmin", "-p", kPostScriptQueue, "-E", "-v", "file://" + PostScriptOutput(), "-m",
                  "drv:///sample.drv/generic.ppd", "-o", "fit-to-page-default=true", "-o", "print-scaling-default=fit"})) {
        Failed("lpadmin could not add the PostScript queue: " + m_toolError);
        return false;
    }
    return true;
}

int CCupsTestServer::LastJobId(const char* queue)
{
    cups_job_t* jobs = nullptr;
    const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, queue, 0, CUPS_WHICHJOBS_ALL);
    int last = 0;
    for (int i = 0; i < count; ++i)
        last = std::max(last, jobs[i].id);
    cupsFreeJobs(count, jobs);
    return last;
}

std::optional<int> CCupsTestServer::WaitForJobEnd(int jobId, double seconds, const char* queue)
{
    int state = 0;
    const bool ended = PollUntil(
        [&] {
            cups_job_t* jobs = nullptr;
            const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, queue, 0, CUPS_WHICHJOBS_ALL);
            for (int i = 0; i < count; ++i)
                if (jobs[i].id == jobId)
                    state = jobs[i].state;
            cupsFreeJobs(count, jobs);
            return state >= IPP_JSTATE_CANCELED;
        },
        seconds);
    if (!ended)
        return std::nullopt;
    return state;
}

std::optional<std::string> CCupsTestServer::OutputOfJob(int jobId, double seconds)
{
    const std::string folder = m_dir + "/pdf";
    const std::string tag = "job_" + std::to_string(jobId);
    std::string found;
    PollUntil(
        [&] {
            if (GDir* dir = g_dir_open(folder.c_str(), 0, nullptr)) {
                while (const char* name = g_dir_read_name(dir)) {
                    const std::string n = name;
                    const size_t at = n.find(tag);
                    // "-job_12.pdf" or "job_12-...": not job_120.
                    if (at != std::string::npos && at + tag.size() < n.size() &&
                        !g_ascii_isdigit(n[at + tag.size()]))
                        found = folder + "/" + n;
                }
                g_dir_close(dir);
            }
            return !found.empty();
        },
        seconds);
    if (found.empty())
        return std::nullopt;
    return found;
}

std::string CCupsTestServer::SpoolFileOfJob(int jobId) const
{
    char name[32];
    std::snprintf(name, sizeof name, "/d%05d-001", jobId);
    return m_dir + "/spool" + name;
}
