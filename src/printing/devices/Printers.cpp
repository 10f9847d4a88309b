#include "printing/devices/Printers.h"

#include "common/MulDiv.h"
#include "printing/poster/PaperInfo.h"
#include "printing/poster/PaperSize.h"
#include "printing/devices/PdfPageDevice.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// Sizes from CUPS come from inches, millimetres or whole points (PPD files)
// and may differ from the table's values by up to half a point.
constexpr int32_t kSizeTolerance = 20;

int16_t TenthsOfMm(int32_t hundredths)
{
    const long tenths = std::lround(hundredths / 10.0);
    return static_cast<int16_t>(std::clamp<long>(tenths, 1, INT16_MAX));
}

}  // namespace

CMediaInfo WithListedMargins(CMediaInfo media, const std::vector<CMediaInfo>& listed)
{
    for (const CMediaInfo& m : listed)
        if (std::abs(m.width - media.width) <= kSizeTolerance && std::abs(m.length - media.length) <= kSizeTolerance) {
            media.margins = m.margins;
            break;
        }
    return media;
}

namespace {

// Margins of a portrait sheet as they fall on the same sheet turned for
// landscape (the content turned a quarter counter-clockwise).
CRect TurnMargins(const CRect& m) { return {m.bottom, m.left, m.top, m.right}; }

// CUPS names a paper without margins "<keyword>_borderless" in its list; a
// job asks for the paper by its keyword.
std::string JobMediaKeyword(std::string name)
{
    const std::string suffix = "_borderless";
    if (name.size() > suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
        name.erase(name.size() - suffix.size());
    return name;
}

}  // namespace

CDeviceMetrics MakeDeviceMetrics(int32_t width, int32_t height, const CRect& margins, int32_t resolution)
{
    CDeviceMetrics m;
    m.logPixelsX = m.logPixelsY = resolution;
    m.physicalWidth = MulDiv(width, resolution, 2540);
    m.physicalHeight = MulDiv(height, resolution, 2540);
    m.physicalOffsetX = MulDiv(margins.left, resolution, 2540);
    m.physicalOffsetY = MulDiv(margins.top, resolution, 2540);
    m.horzRes = std::max(0, m.physicalWidth - m.physicalOffsetX - MulDiv(margins.right, resolution, 2540));
    m.vertRes = std::max(0, m.physicalHeight - m.physicalOffsetY - MulDiv(margins.bottom, resolution, 2540));
    return m;
}

CPrinter::CPrinter(std::string name, bool isPdf, int32_t resolution, std::vector<CMediaInfo> media,
                   std::string defaultMedia, std::vector<std::string> sources, std::string defaultSource,
                   int16_t defaultOrientation)
    : m_name(std::move(name)),
      m_isPdf(isPdf),
      m_resolution(resolution > 0 ? resolution : 300),
      m_media(std::move(media)),
      m_defaultMedia(std::move(defaultMedia)),
      m_sources(std::move(sources)),
      m_defaultSource(std::move(defaultSource)),
      m_defaultOrientation(defaultOrientation)
{
}

CDevMode CPrinter::MakeDevMode(const CMediaInfo& media, int16_t orientation, const std::string& source) const
{
    return MakeMediaDevMode(m_name, media, orientation, source);
}

CDevMode MakeMediaDevMode(const std::string& deviceName, const CMediaInfo& media, int16_t orientation,
                          const std::string& source)
{
    CDevMode dm;
    dm.deviceName = deviceName;
    dm.fields = DM_ORIENTATION | DM_PAPERSIZE;
    dm.orientation = orientation == DMORIENT_LANDSCAPE ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
    dm.media = media.name;
    if (const auto code = FindStandardPaperCode(media.width, media.length, kSizeTolerance)) {
        dm.paperSize = static_cast<int16_t>(*code);
    } else {
        dm.paperSize = DMPAPER_USER;
        dm.fields |= DM_PAPERLENGTH | DM_PAPERWIDTH;
        dm.paperLength = TenthsOfMm(media.length);
        dm.paperWidth = TenthsOfMm(media.width);
    }
    if (!source.empty()) {
        dm.fields |= DM_DEFAULTSOURCE;
        dm.source = source;
    }
    return dm;
}

CDevMode CPrinter::DefaultDevMode() const
{
    const auto it = std::find_if(m_media.begin(), m_media.end(),
                                 [&](const CMediaInfo& m) { return m.name == m_defaultMedia; });
    if (it != m_media.end())
        return MakeDevMode(*it, m_defaultOrientation, m_defaultSource);
    if (!m_media.empty())
        return MakeDevMode(m_media.front(), m_defaultOrientation, m_defaultSource);
    // A printer that names no paper at all: A4.
    return MakeDevMode(CMediaInfo{"iso_a4_210x297mm", "A4", 21000, 29700, {}}, m_defaultOrientation,
                       m_defaultSource);
}

const CMediaInfo* CPrinter::FindMedia(const CDevMode& dm) const
{
    for (const CMediaInfo& m : m_media)
        if (!dm.media.empty() && m.name == dm.media)
            return &m;
    // Settings without a known keyword: the paper of the same size.
    CPaperInfo paper;
    CDevMode portrait = dm;
    portrait.orientation = DMORIENT_PORTRAIT;
    try {
        paper.SetDevMode(portrait);
    } catch (const my::CException&) {
        return nullptr;
    }
    for (const CMediaInfo& m : m_media)
        if (std::abs(m.width - paper.paperWidth) <= kSizeTolerance &&
            std::abs(m.length - paper.paperHeight) <= kSizeTolerance)
            return &m;
    return nullptr;
}

CDeviceMetrics CPrinter::Metrics(const CDevMode& dm) const
{
    CPaperInfo paper;
    try {
        paper.SetDevMode(dm);
    } catch (const my::CException&) {
        // Settings that give no paper size give no device either; the job
        // reports why when it reads them.
        return {};
    }
    return MakeDeviceMetrics(paper.paperWidth, paper.paperHeight, HardwareMargins(dm), m_resolution);
}

std::string CPrinter::SourceName(const std::string& keyword) const
{
    const auto found = m_sourceNames.find(keyword);
    return found != m_sourceNames.end() && !found->second.empty() ? found->second : keyword;
}

CRect CPrinter::HardwareMargins(const CDevMode& dm) const
{
    const CMediaInfo* media = FindMedia(dm);
    const CRect margins = media ? media->margins : CRect{};
    return dm.orientation == DMORIENT_LANDSCAPE ? TurnMargins(margins) : margins;
}

std::unique_ptr<CPageDevice> CPrinter::CreateDevice(const CDevMode& dm, const std::string& outputFile,
                                                   std::function<bool()> stopped) const
{
    CPaperInfo paper;
    paper.SetDevMode(dm);
    std::unique_ptr<CPdfSink> sink;
    if (m_isPdf) {
        sink = MakePdfFileSink(outputFile);
    } else {
        std::vector<std::pair<std::string, std::string>> options;
        const CMediaInfo* media = FindMedia(dm);
        if (media)
            options.emplace_back("media", JobMediaKeyword(media->name));
        if ((dm.fields & DM_DEFAULTSOURCE) && !dm.source.empty())
            options.emplace_back("media-source", dm.source);
        // Each page is the whole sheet, its tile already placed inside the
        // printable area; filters that fit it into that area would shrink
        // the tile and the sheets would no longer meet edge to edge.
        options.emplace_back("print-scaling", "none");
        options.emplace_back("fit-to-page", "false");
        sink = MakeCupsJobSink(m_name, std::move(options), std::move(stopped));
    }
    return std::make_unique<CPdfPageDevice>(Metrics(dm), paper.paperWidth, paper.paperHeight, std::move(sink));
}
