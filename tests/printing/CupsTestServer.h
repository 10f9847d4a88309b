#pragma once
// A private CUPS server for the printing tests: its own cupsd on a unix
// socket in a temporary folder, with a cups-pdf queue "qvpdf". Nothing of
// the machine's own CUPS setup is used or changed. cupsd runs its backends
// as root only, so the server needs root (as CI has).
//
// A server that cannot start although CUPS is installed is a failure of the
// test, not a reason to skip it: only a missing package (or a user other
// than root) is `Unavailable()`.
#include <glib.h>

#include <optional>
#include <string>
#include <vector>

class CCupsTestServer {
public:
    static constexpr const char* kQueue = "qvpdf";
    // A PostScript printer with 12 pt hardware margins on every paper that
    // fits pages into its printable area by default, writing its output to
    // PostScriptOutput().
    static constexpr const char* kPostScriptQueue = "qvps";
    // The server's limit of copies per job (CUPS's own default is 9999).
    static constexpr int kMaxCopies = 500;

    ~CCupsTestServer() { Stop(); }

    // Starts cupsd and adds the queue; on failure `Why()` says what is
    // missing or what went wrong.
    bool Start();
    void Stop();
    const std::string& Why() const { return m_why; }
    // After a failed Start: true when the packages (named by `Why()`) or
    // root's rights are missing, false when the server itself failed.
    bool Unavailable() const { return m_unavailable; }
    const std::string& Socket() const { return m_socket; }
    // Adds kPostScriptQueue; on failure `Why()` says why.
    bool AddPostScriptQueue();
    std::string PostScriptOutput() const { return m_dir + "/qvps.ps"; }
    // Runs an lp tool against this server; true on exit status 0. What the
    // tool wrote to its standard error is kept for the failure message.
    bool RunTool(const std::vector<std::string>& argv);

    // The highest job id on the queue; 0 when none.
    int LastJobId(const char* queue = kQueue);
    // Waits until the job has ended (completed, cancelled or aborted);
    // its final state, or nothing on time-out.
    std::optional<int> WaitForJobEnd(int jobId, double seconds, const char* queue = kQueue);
    // The file cups-pdf wrote for the job, if any (it may take a moment
    // after the job ended).
    std::optional<std::string> OutputOfJob(int jobId, double seconds);
    // The document exactly as the program sent it (the server keeps it).
    std::string SpoolFileOfJob(int jobId) const;

private:
    std::string m_dir;
    std::string m_socket;
    std::string m_why;
    bool m_unavailable = false;
    std::string m_toolError;
    GPid m_pid = 0;

    // Why() with the end of cupsd's error log, for a server that failed.
    void Failed(const std::string& why);
};
