#include "printing/devices/PrinterSettings.h"

#include "errors/Exception.h"
#include "errors/ProgramMessages.h"

#include <glib.h>

#include <algorithm>

const CMediaInfo* FindPrinterPaper(const CPrinter& printer, const std::string& name)
{
    if (name.empty())
        return nullptr;
    const std::vector<CMediaInfo>& media = printer.Media();
    auto found = std::find_if(media.begin(), media.end(), [&](const CMediaInfo& m) { return m.name == name; });
    if (found == media.end())
        found = std::find_if(media.begin(), media.end(), [&](const CMediaInfo& m) {
            return g_ascii_strcasecmp(m.name.c_str(), name.c_str()) == 0 ||
                   g_ascii_strcasecmp(m.displayName.c_str(), name.c_str()) == 0;
        });
    return found == media.end() ? nullptr : &*found;
}

CDevMode MakePrinterSettings(const CPrinter& printer, const std::optional<CDevMode>& base,
                             const CPrinterSettingsRequest& request)
{
    CDevMode dm = base && base->deviceName == printer.Name() ? *base : printer.DefaultDevMode();
    const int16_t orientation =
        request.orientation.value_or(dm.orientation) == DMORIENT_LANDSCAPE ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
    std::string source = (dm.fields & DM_DEFAULTSOURCE) ? dm.source : std::string();
    if (request.source) {
        const std::vector<std::string>& offered = printer.Sources();
        if (request.source->empty() || std::find(offered.begin(), offered.end(), *request.source) != offered.end())
            source = *request.source;
    }
    const CMediaInfo* paper = FindPrinterPaper(printer, request.paper);
    if (!paper && !request.paper.empty() && request.paperRequired)
        throw my::CException(IDS_BATCH_NO_SUCH_PAPER, {printer.Name(), request.paper});
    if (paper)
        return printer.MakeDevMode(*paper, orientation, source);
    // The base's paper, turned and fed as asked.
    dm.fields |= DM_ORIENTATION;
    dm.orientation = orientation;
    dm.source = source;
    if (source.empty())
        dm.fields &= ~uint32_t(DM_DEFAULTSOURCE);
    else
        dm.fields |= DM_DEFAULTSOURCE;
    return dm;
}
