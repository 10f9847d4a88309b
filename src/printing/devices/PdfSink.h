#pragma once
#include "errors/Exception.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// Where the PDF of one job goes: a CUPS job or a file. Open, Write any
// number of times, then Finish, or Cancel to leave nothing behind.
class CPdfSink {
public:
    virtual ~CPdfSink() = default;
    // The job number (> 0), or <= 0 with the reason in `err`.
    virtual int Open(const std::string& docName, SysErr& err) = 0;
    virtual bool Write(const char* data, size_t length) = 0;
    // > 0 when the document was delivered, else <= 0 with the reason.
    virtual int Finish(SysErr& err) = 0;
    virtual void Cancel() = 0;
    // Why the last Write failed.
    virtual SysErr WriteError() const = 0;
};

// Writes a file through a temporary file in the same folder, renamed over
// the target only when the document is complete.
std::unique_ptr<CPdfSink> MakePdfFileSink(const std::string& path);

// Submits a CUPS job to `printer` with the given job options
// (name = value pairs, e.g. media); the job is cancelled by Cancel. While
// the server keeps it waiting, `stopped` is asked every second whether to
// give up (the job then fails and is cancelled).
std::unique_ptr<CPdfSink> MakeCupsJobSink(const std::string& printer,
                                          std::vector<std::pair<std::string, std::string>> options,
                                          std::function<bool()> stopped = nullptr);
