#include "printing/devices/PdfSink.h"

#include "common/AtomicFile.h"

#include <cerrno>
#include <cstdio>

namespace {

// The "PDF" destination's output file, written the safe way (CAtomicFile):
// a failed or cancelled job leaves the folder as it was, a symbolic link
// keeps pointing at the new file, and a FIFO or device is written in place.
class CPdfFileSink : public CPdfSink {
public:
    explicit CPdfFileSink(std::string path) : m_path(std::move(path)) {}

    int Open(const std::string&, SysErr& err) override
    {
        if (m_path.empty()) {
            err = SysErr::FromErrno(ENOENT);
            return 0;
        }
        try {
            m_file = std::make_unique<CAtomicFile>(m_path);
            m_file->Stream();
        } catch (const my::CException& e) {
            m_file.reset();
            err = SysErr{e.Err().value, e.Err().text};
            return 0;
        }
        return 1;
    }

    bool Write(const char* data, size_t length) override
    {
        if (!m_file)
            return false;
        errno = 0;
        if (std::fwrite(data, 1, length, m_file->Stream()) == length)
            return true;
        m_writeError = SysErr::FromErrno(errno ? errno : EIO);
        return false;
    }

    int Finish(SysErr& err) override
    {
        if (!m_file)
            return 0;
        try {
            m_file->Commit();
        } catch (const my::CException& e) {
            m_file.reset();
            err = SysErr{e.Err().value, e.Err().text};
            return 0;
        }
        m_file.reset();
        return 1;
    }

    void Cancel() override { m_file.reset(); }

    SysErr WriteError() const override { return m_writeError; }

private:
    std::string m_path;
    std::unique_ptr<CAtomicFile> m_file;
    SysErr m_writeError;
};

}  // namespace

std::unique_ptr<CPdfSink> MakePdfFileSink(const std::string& path)
{
    return std::make_unique<CPdfFileSink>(path);
}
