#include "common/AtomicFile.h"

#include "errors/Exception.h"

#include <glib.h>
#include <glib/gstdio.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>

namespace {

// The mode a new file gets from the process's umask.
unsigned NewFileMode()
{
    static const unsigned mode = [] {
        const mode_t mask = umask(0);
        umask(mask);
        return 0666u & ~unsigned(mask);
    }();
    return mode;
}

std::string FollowLinks(const std::string& path)
{
    if (!g_file_test(path.c_str(), G_FILE_TEST_IS_SYMLINK))
        return path;
    char* real = realpath(path.c_str(), nullptr);
    if (!real)
        return path;
    std::string result = real;
    std::free(real);
    return result;
}

[[noreturn]] void CannotCreate(int code, const std::string& path)
{
    throw my::CException(58986, SysErr::FromErrno(code), {path});
}

}  // namespace

CAtomicFile::CAtomicFile(const std::string& path) : m_path(path), m_target(FollowLinks(path))
{
    struct stat st {};
    if (::stat(m_target.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            CannotCreate(EISDIR, path);
        if (!S_ISREG(st.st_mode)) {
            OpenDirect();
            return;
        }
        // A read-only file stays as it is, although the folder would let us
        // rename over it.
        if (::access(m_target.c_str(), W_OK) != 0)
            CannotCreate(errno, path);
        m_replacing = true;
        m_mode = st.st_mode & 07777;
    } else {
        m_mode = NewFileMode();
    }
    gchar* dir = g_path_get_dirname(m_target.c_str());
    gchar* base = g_path_get_basename(m_target.c_str());
    std::string pattern = std::string(dir) + "/." + base + ".XXXXXX";
    m_fd = g_mkstemp_full(pattern.data(), O_RDWR | O_CLOEXEC, 0600);
    if (m_fd < 0 && errno == ENAMETOOLONG) {
        pattern = std::string(dir) + "/.quorvane.XXXXXX";
        m_fd = g_mkstemp_full(pattern.data(), O_RDWR | O_CLOEXEC, 0600);
    }
    const int code = errno;
    g_free(dir);
    g_free(base);
    if (m_fd < 0)
        CannotCreate(code, path);
    m_tempPath = pattern;
}

CAtomicFile::CAtomicFile(int fd, const std::string& name) : m_path(name), m_target(name), m_direct(true)
{
    m_fd = fcntl(fd, F_DUPFD_CLOEXEC, 0);
    if (m_fd < 0)
        CannotCreate(errno, name);
    // A reader that goes away is a write error, not the end of the program.
    std::signal(SIGPIPE, SIG_IGN);
}

void CAtomicFile::OpenDirect()
{
    m_direct = true;
    // Without O_NONBLOCK, a FIFO that nobody reads would hold the program
    // in open() for ever; with it, that is the error ENXIO.
    m_fd = ::open(m_target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (m_fd < 0)
        CannotCreate(errno, m_path);
    const int flags = fcntl(m_fd, F_GETFL);
    if (flags == -1 || fcntl(m_fd, F_SETFL, flags & ~O_NONBLOCK) == -1) {
        const int code = errno;
        ::close(m_fd);
        m_fd = -1;
        CannotCreate(code, m_path);
    }
    std::signal(SIGPIPE, SIG_IGN);
}

CAtomicFile::~CAtomicFile() { Discard(); }

FILE* CAtomicFile::Stream()
{
    if (m_stream)
        return m_stream;
    m_stream = fdopen(m_fd, "wb");
    if (!m_stream)
        throw my::CException(59089, SysErr::FromErrno(errno));
    m_fd = -1;
    // Large writes go straight through; small ones gather in a big buffer.
    setvbuf(m_stream, nullptr, _IOFBF, 1 << 20);
    return m_stream;
}

void CAtomicFile::Commit()
{
    FILE* stream = Stream();
    int code = 0;
    if (std::fflush(stream) != 0)
        code = errno;
    // A write that failed earlier leaves the stream's error flag but no errno.
    if (!code && std::ferror(stream))
        code = EIO;
    if (m_direct) {
        m_stream = nullptr;
        if (std::fclose(stream) != 0 && !code)
            code = errno;
        if (code)
            throw my::CException(59105, SysErr::FromErrno(code));
        return;
    }
    // As GIO does when it replaces a file: the new data reaches the disk
    // before the rename, so a crash cannot leave an empty file in its place.
    if (!code && m_replacing && fsync(fileno(stream)) != 0)
        code = errno;
    if (!code && fchmod(fileno(stream), m_mode) != 0)
        code = errno;
    m_stream = nullptr;
    if (std::fclose(stream) != 0 && !code)
        code = errno;
    if (code)
        throw my::CException(59105, SysErr::FromErrno(code));
    if (g_rename(m_tempPath.c_str(), m_target.c_str()) != 0)
        CannotCreate(errno, m_path);
    m_tempPath.clear();
}

void CAtomicFile::Discard()
{
    if (m_stream)
        std::fclose(m_stream);
    else if (m_fd >= 0)
        ::close(m_fd);
    m_stream = nullptr;
    m_fd = -1;
    if (!m_tempPath.empty())
        g_unlink(m_tempPath.c_str());
    m_tempPath.clear();
}
