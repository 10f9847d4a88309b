#include "shell/BatchPrinter.h"

#include "errors/Exception.h"

#include <glib.h>

CDevMode ChooseBatchDevMode(const CPrinter& printer, const std::optional<CDevMode>& current, const std::string& paper,
                            bool landscape)
{
    CDevMode devMode = current && current->deviceName == printer.Name() ? *current : printer.DefaultDevMode();
    if (!paper.empty()) {
        const CMediaInfo* found = nullptr;
        for (const CMediaInfo& media : printer.Media())
            if (g_ascii_strcasecmp(media.name.c_str(), paper.c_str()) == 0 ||
                g_ascii_strcasecmp(media.displayName.c_str(), paper.c_str()) == 0) {
                found = &media;
                break;
            }
        if (!found)
            throw my::CException(61750, {printer.Name(), paper});
        const std::string source = (devMode.fields & DM_DEFAULTSOURCE) ? devMode.source : std::string();
        devMode = printer.MakeDevMode(*found, devMode.orientation, source);
    }
    if (landscape) {
        devMode.fields |= DM_ORIENTATION;
        devMode.orientation = DMORIENT_LANDSCAPE;
    }
    return devMode;
}
