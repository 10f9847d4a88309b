#pragma once
#include "printing/DevMode.h"

#include <optional>
#include <string>

// The printer, paper, orientation and source the user chose in the page
// setup dialog, kept between runs by their CUPS names.
struct CPrinterChoice {
    std::string printer;
    std::string media;
    int16_t orientation = DMORIENT_PORTRAIT;
    std::string source;
    bool operator==(const CPrinterChoice&) const = default;
};

// The paper the page setup dialog shows while no printer could be opened:
// the last printer's paper and orientation when CUPS knows that paper, else
// A4 portrait.
CDevMode PaperWithoutPrinter(const std::optional<CPrinterChoice>& last);
