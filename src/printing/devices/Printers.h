#pragma once
#include "common/Types.h"
#include "printing/DevMode.h"
#include "printing/devices/PageDevice.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// The built-in destination that writes the job as a PDF file.
inline constexpr const char* kPdfPrinterName = "PDF";
// The most copies of one job when the printer does not say (CUPS's own
// default limit).
inline constexpr int32_t kDefaultMaxCopies = 9999;

// A paper a printer offers: its CUPS keyword, a name to show, its portrait
// size and the margins the printer cannot print on (hundredths of a mm).
struct CMediaInfo {
    std::string name;
    std::string displayName;
    int32_t width = 0, length = 0;
    CRect margins;
    bool operator==(const CMediaInfo&) const = default;
};

// `media` with the margins of the entry of the same size in `listed`, when
// there is one. libcups answers a paper the queue does not list under that
// name with margins of its own making (Debian 13's: a 12.7 mm bottom margin
// on a queue whose every paper has none); the queue's list has its real ones.
CMediaInfo WithListedMargins(CMediaInfo media, const std::vector<CMediaInfo>& listed);

// The CUPS destinations, then "PDF".
std::vector<std::string> EnumPrinterNames();
// The user's default CUPS destination, else the server's, else "PDF".
std::string DefaultPrinterName();

// An open printer: what CUPS said about one destination when it was opened.
// Immutable, so the print worker may use it while the user-interface thread
// opens another one.
class CPrinter {
public:
    // Nothing when CUPS does not know the destination; "PDF" always opens.
    static std::shared_ptr<const CPrinter> Open(const std::string& name);

    const std::string& Name() const { return m_name; }
    bool IsPdf() const { return m_isPdf; }
    int32_t Resolution() const { return m_resolution; }
    const std::vector<CMediaInfo>& Media() const { return m_media; }
    const std::vector<std::string>& Sources() const { return m_sources; }
    // The name to show for one of Sources(): CUPS's readable name, else the keyword.
    std::string SourceName(const std::string& keyword) const;
    void SetSourceNames(std::map<std::string, std::string> names) { m_sourceNames = std::move(names); }
    // The most copies the printer takes in one job (its copies-supported).
    int32_t MaxCopies() const { return m_maxCopies; }
    void SetMaxCopies(int32_t copies) { m_maxCopies = copies >= 1 ? copies : kDefaultMaxCopies; }

    // The printer's own default paper, orientation and source.
    CDevMode DefaultDevMode() const;
    // Settings for one of Media(): the table's paper code when the size is
    // one of its rows, else the user code with explicit length and width.
    CDevMode MakeDevMode(const CMediaInfo& media, int16_t orientation, const std::string& source) const;
    // What the printer's device reports for these settings: resolution,
    // the turned paper in dots and the hardware printable rectangle.
    CDeviceMetrics Metrics(const CDevMode& devMode) const;
    // The margins the printer cannot print on with these settings, turned
    // for the orientation (hundredths of a millimetre).
    CRect HardwareMargins(const CDevMode& devMode) const;
    // The paper of these settings among Media(); null when none matches.
    const CMediaInfo* FindMedia(const CDevMode& devMode) const;
    // The device of one job: a PDF stream into a CUPS job, or into
    // `outputFile` for "PDF".
    // `stopped` tells a job stuck in CUPS I/O to give up.
    std::unique_ptr<CPageDevice> CreateDevice(const CDevMode& devMode, const std::string& outputFile,
                                              std::function<bool()> stopped = nullptr) const;

    // For tests and the built-in destination: a printer from plain data.
    CPrinter(std::string name, bool isPdf, int32_t resolution, std::vector<CMediaInfo> media,
             std::string defaultMedia, std::vector<std::string> sources, std::string defaultSource,
             int16_t defaultOrientation);

private:
    std::string m_name;
    bool m_isPdf = false;
    int32_t m_resolution = 300;
    std::vector<CMediaInfo> m_media;
    std::string m_defaultMedia;
    std::vector<std::string> m_sources;
    std::map<std::string, std::string> m_sourceNames;
    std::string m_defaultSource;
    int16_t m_defaultOrientation = DMORIENT_PORTRAIT;
    int32_t m_maxCopies = kDefaultMaxCopies;
};

using CPrinterPtr = std::shared_ptr<const CPrinter>;

// Settings for `media` on the printer named `deviceName` (CPrinter::MakeDevMode).
CDevMode MakeMediaDevMode(const std::string& deviceName, const CMediaInfo& media, int16_t orientation,
                          const std::string& source);
// A paper known by its PWG keyword ("iso_a3_297x420mm") without asking a
// printer: its size and common name; nothing for a keyword CUPS does not know.
std::optional<CMediaInfo> StandardMedia(const std::string& keyword);

// Device metrics of a paper of width x height (already turned) with hardware
// margins (also turned), at `resolution` dots per inch.
CDeviceMetrics MakeDeviceMetrics(int32_t width, int32_t height, const CRect& margins, int32_t resolution);
