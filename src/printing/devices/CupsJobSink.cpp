#include "printing/devices/PdfSink.h"

#include <cups/cups.h>

#include <cerrno>

namespace {

SysErr LastCupsError()
{
    return SysErr{static_cast<int32_t>(cupsLastError()), cupsLastErrorString() ? cupsLastErrorString() : ""};
}

// One CUPS job with one PDF document: create the job, start its document
// with the first data, write the data, finish the document. Runs on the print
// worker, over a connection of its own.
class CCupsJobSink : public CPdfSink {
public:
    CCupsJobSink(std::string printer, std::vector<std::pair<std::string, std::string>> options,
                 std::function<bool()> stopped)
        : m_printer(std::move(printer)), m_options(std::move(options)), m_stopped(std::move(stopped))
    {
    }
    ~CCupsJobSink() override
    {
        Cancel();
        Close();
    }

    int Open(const std::string& docName, SysErr& err) override
    {
        m_dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, m_printer.c_str(), nullptr);
        if (!m_dest)
            return Fail(err);
        // The local CUPS server takes the job, as it does for lp.
        m_http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, 30000, nullptr);
        if (!m_http)
            return Fail(err);
        // A server that stops answering holds the job only until it is
        // stopped: CUPS asks after each second of waiting.
        httpSetTimeout(m_http, kStopCheckSeconds, &CCupsJobSink::KeepWaiting, this);
        m_info = cupsCopyDestInfo(m_http, m_dest);
        if (!m_info)
            return Fail(err);

        int numOptions = 0;
        cups_option_t* options = nullptr;
        for (const auto& [name, value] : m_options)
            numOptions = cupsAddOption(name.c_str(), value.c_str(), numOptions, &options);
        int jobId = 0;
        const ipp_status_t status =
            cupsCreateDestJob(m_http, m_dest, m_info, &jobId, docName.c_str(), numOptions, options);
        cupsFreeOptions(numOptions, options);
        if (status > IPP_STATUS_OK_CONFLICTING || jobId <= 0)
            return Fail(err);
        m_jobId = jobId;
        m_docName = docName;
        return m_jobId;
    }

    bool Write(const char* data, size_t length) override
    {
        // The document request starts with its first data: while the pages
        // are drawn, no request stands idle for the server to time out.
        if (!m_streaming && !StartDocument())
            return false;
        if (cupsWriteRequestData(m_http, data, length) != HTTP_STATUS_CONTINUE) {
            m_writeError = LastCupsError();
            return false;
        }
        return true;
    }

    int Finish(SysErr& err) override
    {
        if (!m_streaming && !StartDocument()) {
            err = m_writeError;
            Cancel();
            return 0;
        }
        m_streaming = false;
        const ipp_status_t status = cupsFinishDestDocument(m_http, m_dest, m_info);
        if (status > IPP_STATUS_OK_CONFLICTING) {
            const int r = Fail(err);
            Cancel();
            return r;
        }
        // A wait given up (KeepWaiting) leaves CUPS's last error as it was:
        // the connection has it. A job stopped meanwhile is not left behind.
        if (const int lost = httpError(m_http); lost != 0 || Stopped()) {
            err = SysErr::FromErrno(lost != 0 ? lost : ECANCELED);
            Cancel();
            return 0;
        }
        m_jobId = 0;  // delivered: no longer ours to cancel
        Close();
        return 1;
    }

    void Cancel() override
    {
        if (m_jobId <= 0)
            return;
        // The open document request is abandoned with its connection; the job
        // is then cancelled over another one, so CUPS prints nothing of it.
        m_streaming = false;
        if (m_http) {
            httpClose(m_http);
            m_http = nullptr;
        }
        cupsCancelDestJob(CUPS_HTTP_DEFAULT, m_dest, m_jobId);
        m_jobId = 0;
    }

    SysErr WriteError() const override { return m_writeError; }

private:
    static constexpr double kStopCheckSeconds = 1.0;

    bool Stopped() const { return m_stopped && m_stopped(); }

    // 1 to wait on, 0 to give up.
    static int KeepWaiting(http_t*, void* self) { return static_cast<CCupsJobSink*>(self)->Stopped() ? 0 : 1; }

    bool StartDocument()
    {
        if (m_jobId <= 0 || !m_http) {
            m_writeError = SysErr::FromErrno(EBADF);
            return false;
        }
        if (cupsStartDestDocument(m_http, m_dest, m_info, m_jobId, m_docName.c_str(), CUPS_FORMAT_PDF, 0, nullptr,
                                  1) != HTTP_STATUS_CONTINUE) {
            m_writeError = LastCupsError();
            return false;
        }
        m_streaming = true;
        return true;
    }

    int Fail(SysErr& err)
    {
        err = LastCupsError();
        return 0;
    }

    void Close()
    {
        if (m_info) {
            cupsFreeDestInfo(m_info);
            m_info = nullptr;
        }
        if (m_http) {
            httpClose(m_http);
            m_http = nullptr;
        }
        if (m_dest) {
            cupsFreeDests(1, m_dest);
            m_dest = nullptr;
        }
    }

    std::string m_printer;
    std::vector<std::pair<std::string, std::string>> m_options;
    std::function<bool()> m_stopped;
    std::string m_docName;
    cups_dest_t* m_dest = nullptr;
    http_t* m_http = nullptr;
    cups_dinfo_t* m_info = nullptr;
    int m_jobId = 0;
    bool m_streaming = false;
    SysErr m_writeError;
};

}  // namespace

std::unique_ptr<CPdfSink> MakeCupsJobSink(const std::string& printer,
                                          std::vector<std::pair<std::string, std::string>> options,
                                          std::function<bool()> stopped)
{
    return std::make_unique<CCupsJobSink>(printer, std::move(options), std::move(stopped));
}
