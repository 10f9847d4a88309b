#pragma once
#include "common/Types.h"

#include <cstdint>
#include <optional>

// The nominal size of a printer paper code (the DMPAPER_* codes), width x
// height in hundredths of a millimetre. Codes 1 to 118 are known, 48 and 49
// have no size. Raises 58981 for code 0 and 58982 for any other unknown code.
CSize GetStandardPaperSize(int32_t code);

// The code whose size is nearest to width x height, within `tolerance` on
// each side (the lowest such code on a tie), if any.
std::optional<int32_t> FindStandardPaperCode(int32_t width, int32_t height, int32_t tolerance = 0);
