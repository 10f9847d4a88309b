#pragma once
#include "printing/DevMode.h"
#include "printing/devices/Printers.h"

#include <optional>
#include <string>

// What is asked of a printer's settings; a part left out keeps the base's.
struct CPrinterSettingsRequest {
    // A paper keyword or the name the printer shows, either case.
    std::string paper;
    // A paper the printer lacks: true raises 61750, false keeps the base's.
    bool paperRequired = false;
    std::optional<int16_t> orientation;
    // One of the printer's sources, or "" for its own choice; a source the
    // printer does not offer keeps the base's.
    std::optional<std::string> source;
};

// The one rule for printer settings, whoever asks (the stored choice at
// start-up, the page setup dialog, a --print run): `base` when it belongs to
// `printer`, else the printer's defaults, with the paper, orientation and
// source asked for.
CDevMode MakePrinterSettings(const CPrinter& printer, const std::optional<CDevMode>& base,
                             const CPrinterSettingsRequest& request);

// One of the printer's papers: by its keyword, else by keyword or shown name
// in either case; null when it has none of that name.
const CMediaInfo* FindPrinterPaper(const CPrinter& printer, const std::string& name);
