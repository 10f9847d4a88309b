#include "printing/devices/PrinterChoice.h"

#include "printing/devices/PrinterSettings.h"

CDevMode PaperWithoutPrinter(const std::optional<CPrinterChoice>& last)
{
    const int16_t orientation = last ? last->orientation : int16_t(DMORIENT_PORTRAIT);
    std::optional<CMediaInfo> media = StandardMedia(last ? last->media : std::string());
    if (!media)
        media = StandardMedia("iso_a4_210x297mm");
    if (!media)
        media = CMediaInfo{"iso_a4_210x297mm", "A4", 21000, 29700, {}};
    return MakeMediaDevMode({}, *media, orientation, {});
}
