#pragma once
#include "common/Saturate.h"
#include "common/Types.h"

#include <cstdint>

struct CPaperInfo;

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
    static constexpr int32_t kMaxOverlap = 3000;
    int32_t overlap = 0;  // glue strip shared by neighbouring sheets, hundredths of a millimetre
    bool cutGuides = false;
    bool sheetLabels = false;
    bool assemblySheet = false;

    // Stored values are untrusted: the overlap is brought into 0..kMaxOverlap.
    int32_t ClampedOverlap() const { return overlap < 0 ? 0 : overlap > kMaxOverlap ? kMaxOverlap : overlap; }
    bool operator==(const CAssemblySetting&) const = default;
};

// The page setting with its paper margins (hundredths of a millimetre) and
// the assembly aids.
struct CPageSetting : CFitImageToPageSetting {
    CRect margin{1000, 1000, 1000, 1000};
    CAssemblySetting assembly;
    bool operator==(const CPageSetting&) const = default;
};
