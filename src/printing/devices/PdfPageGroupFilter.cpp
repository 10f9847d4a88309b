#include "printing/devices/PdfPageGroupFilter.h"

#include <glib.h>
#include <glib/gstdio.h>

#include <qpdf/Pipeline.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <cerrno>
#include <exception>
#include <string>
#include <unistd.h>

namespace {

// qpdf writes the document in many small pieces; the output (a CUPS request,
// a file) gets them in blocks. Once the output has refused a block, the rest
// goes nowhere: qpdf finishes its pipelines in destructors, where nothing may
// be thrown.
class COutputPipeline : public Pipeline {
public:
    explicit COutputPipeline(const CPdfPageGroupFilter::Output& output)
        : Pipeline("print output", nullptr), m_output(output)
    {
        m_block.reserve(kBlock);
    }
    void write(unsigned char const* data, size_t length) override
    {
        if (m_refused)
            return;
        m_block.append(reinterpret_cast<const char*>(data), length);
        if (m_block.size() >= kBlock)
            Pass();
    }
    void finish() override { Pass(); }
    bool Refused() const { return m_refused; }

private:
    static constexpr size_t kBlock = 64 * 1024;
    void Pass()
    {
        if (!m_refused && !m_block.empty() && !m_output(m_block.data(), m_block.size()))
            m_refused = true;
        m_block.clear();
    }
    const CPdfPageGroupFilter::Output& m_output;
    std::string m_block;
    bool m_refused = false;
};

bool IsTransparencyGroup(QPDFObjectHandle group)
{
    return group.isDictionary() && group.getKey("/S").isNameAndEquals("/Transparency");
}

}  // namespace

CPdfPageGroupFilter::~CPdfPageGroupFilter()
{
    Discard();
}

bool CPdfPageGroupFilter::Fail(SysErr err)
{
    m_error = std::move(err);
    Discard();
    return false;
}

void CPdfPageGroupFilter::Discard()
{
    if (m_held) {
        fclose(m_held);
        m_held = nullptr;
    }
}

bool CPdfPageGroupFilter::Write(const char* data, size_t length)
{
    if (!m_held) {
        if (m_error.code != 0)
            return false;
        // Unnamed at once: nothing is left behind if the program ends here.
        gchar* path = nullptr;
        GError* error = nullptr;
        const int fd = g_file_open_tmp("quorvane-print-XXXXXX.pdf", &path, &error);
        if (fd < 0) {
            const SysErr err = SysErr::FromGError(error);
            g_clear_error(&error);
            return Fail(err);
        }
        g_unlink(path);
        g_free(path);
        m_held = fdopen(fd, "w+b");
        if (!m_held) {
            const int code = errno;
            close(fd);
            return Fail(SysErr::FromErrno(code));
        }
    }
    if (fwrite(data, 1, length, m_held) != length)
        return Fail(SysErr::FromErrno(errno ? errno : EIO));
    return true;
}

bool CPdfPageGroupFilter::Flush()
{
    if (!m_held)
        return m_error.code == 0;
    if (fflush(m_held) != 0 || fseek(m_held, 0, SEEK_SET) != 0)
        return Fail(SysErr::FromErrno(errno ? errno : EIO));
    try {
        QPDF pdf;
        pdf.setSuppressWarnings(true);
        pdf.processFile("print document", m_held, false);
        for (QPDFPageObjectHelper& page : QPDFPageDocumentHelper(pdf).getAllPages()) {
            QPDFObjectHandle dict = page.getObjectHandle();
            if (IsTransparencyGroup(dict.getKey("/Group"))) {
                dict.removeKey("/Group");
                ++m_removed;
            }
        }
        COutputPipeline output(m_output);
        QPDFWriter writer(pdf);
        writer.setOutputPipeline(&output);
        // The streams (tiles, page contents) pass as cairo compressed them.
        writer.setDecodeLevel(qpdf_dl_none);
        writer.setObjectStreamMode(qpdf_o_preserve);
        // The same document gives the same file, whichever output it goes to.
        writer.setDeterministicID(true);
        writer.write();
        if (output.Refused()) {
            Discard();
            return false;
        }
    } catch (const std::exception& e) {
        return Fail(SysErr{EINVAL, e.what()});
    }
    Discard();
    return true;
}
