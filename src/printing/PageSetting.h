#pragma once
#include "common/Saturate.h"
#include "common/Types.h"

#include <cstdint>

struct CPaperInfo;

// A range of whole numbers, both ends included.
struct CIntLimits {
    int32_t min, max;
    constexpr int32_t Clamp(int32_t value) const { return value < min ? min : value > max ? max : value; }
};

// The one table of page setting limits: the settings loader brings stored
// values into them, the page setup dialog refuses values outside them, and
// the command line's options are checked against them.
inline constexpr CIntLimits kSheetLimits{1, 1000};     // sheets across, and down
inline constexpr CIntLimits kDpiLimits{10, 10000};     // page pixels per inch
inline constexpr CIntLimits kOverlapLimits{0, 3000};   // glue overlap, hundredths of a millimetre

// How the capture is scaled onto paper; stored by name ("FIT", "DPI").
enum PrintImageFitType : int32_t { FIT = 0, DPI = 1 };

// The sheets a capture takes: papers across and down, and the part of the
// bitmap (tile width x height, in bitmap pixels) that one sheet carries.
struct CPageGrid {
    CSize papers;
    CSize tile;
    int32_t TotalPages() const
    {
        return Saturate32(int64_t{papers.cx} * papers.cy);
    }
    bool operator==(const CPageGrid&) const = default;
};

// The user's page setting: fitting mode, sheets across and down, pixels per inch.
struct CFitImageToPageSetting {
    PrintImageFitType fitType = FIT;
    CSize papers{1, 1};
    int32_t dpi = 144;

    // The grid for a bitmap of bitmapWidth x bitmapHeight pixels on `paper`;
    // all zero when the bitmap or the printable rectangle is empty.
    CPageGrid CalcPages(const CPaperInfo& paper, int32_t bitmapWidth, int32_t bitmapHeight) const;

    bool operator==(const CFitImageToPageSetting&) const = default;
};

// What helps a person put the printed sheets together; all off by default,
// and with all off the sheets are exactly the plain tiles.
struct CAssemblySetting {
    int32_t overlap = 0;  // glue strip shared by neighbouring sheets, within kOverlapLimits
    bool cutGuides = false;
    bool sheetLabels = false;
    bool assemblySheet = false;

    bool operator==(const CAssemblySetting&) const = default;
};

// The page setting with its paper margins (hundredths of a millimetre) and
// the assembly aids.
struct CPageSetting : CFitImageToPageSetting {
    CRect margin{1000, 1000, 1000, 1000};
    CAssemblySetting assembly;
    bool operator==(const CPageSetting&) const = default;
};
