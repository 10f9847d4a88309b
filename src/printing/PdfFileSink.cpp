#include "printing/PdfSink.h"

#include <glib.h>
#include <glib/gstdio.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The "PDF" destination's output file, written the safe way: into a
// temporary file in the same folder that replaces the target only when the
// document is complete, so a failed or cancelled job leaves the folder as it was.
class CPdfFileSink : public CPdfSink {
public:
    explicit CPdfFileSink(std::string path) : m_path(std::move(path)) {}
    ~CPdfFileSink() override { Cancel(); }

    int Open(const std::string&, SysErr& err) override
    {
        if (m_path.empty()) {
            err = SysErr::FromErrno(ENOENT);
            return 0;
        }
        gchar* dir = g_path_get_dirname(m_path.c_str());
        gchar* base = g_path_get_basename(m_path.c_str());
        gchar* tmpl = g_strdup_printf("%s/.%s.XXXXXX", dir, base);
        m_tempPath = tmpl;
        g_free(tmpl);
        g_free(base);
        g_free(dir);

        m_fd = g_mkstemp_full(m_tempPath.data(), O_WRONLY | O_CLOEXEC, 0644);
        if (m_fd < 0) {
            err = SysErr::FromErrno(errno);
            m_tempPath.clear();
            return 0;
        }
        struct stat st {};
        fchmod(m_fd, g_stat(m_path.c_str(), reinterpret_cast<GStatBuf*>(&st)) == 0 ? (st.st_mode & 07777) : 0644);
        return 1;
    }

    bool Write(const char* data, size_t length) override
    {
        while (length > 0) {
            const ssize_t n = write(m_fd, data, length);
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                m_writeError = SysErr::FromErrno(errno);
                return false;
            }
            data += n;
            length -= static_cast<size_t>(n);
        }
        return true;
    }

    int Finish(SysErr& err) override
    {
        if (m_fd < 0)
            return 0;
        int code = 0;
        if (fsync(m_fd) != 0)
            code = errno;
        if (close(m_fd) != 0 && code == 0)
            code = errno;
        m_fd = -1;
        if (code == 0 && g_rename(m_tempPath.c_str(), m_path.c_str()) != 0)
            code = errno;
        if (code != 0) {
            g_unlink(m_tempPath.c_str());
            m_tempPath.clear();
            err = SysErr::FromErrno(code);
            return 0;
        }
        m_tempPath.clear();
        return 1;
    }

    void Cancel() override
    {
        if (m_fd >= 0) {
            close(m_fd);
            m_fd = -1;
        }
        if (!m_tempPath.empty()) {
            g_unlink(m_tempPath.c_str());
            m_tempPath.clear();
        }
    }

    SysErr WriteError() const override { return m_writeError; }

private:
    std::string m_path;
    std::string m_tempPath;
    int m_fd = -1;
    SysErr m_writeError;
};

}  // namespace

std::unique_ptr<CPdfSink> MakePdfFileSink(const std::string& path)
{
    return std::make_unique<CPdfFileSink>(path);
}
