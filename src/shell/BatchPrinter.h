#pragma once
#include "printing/DevMode.h"
#include "printing/Printers.h"

#include <optional>
#include <string>

// The printer settings of a --print run: the printer's own settings
// (`current`, or its defaults) with the paper named by `paper` (a CUPS
// keyword or the name the printer shows, either case; empty keeps the
// paper) and landscape sheets when asked. Raises 61750 when the printer has
// no such paper.
CDevMode ChooseBatchDevMode(const CPrinter& printer, const std::optional<CDevMode>& current, const std::string& paper,
                            bool landscape);
