#pragma once
#include "common/Types.h"

#include <cstdint>

// How the capture is scaled onto paper; stored by name ("FIT", "DPI").
enum PrintImageFitType : int32_t { FIT = 0, DPI = 1 };

// The user's page setting: fitting mode, sheets across and down, pixels per inch.
struct CFitImageToPageSetting {
    PrintImageFitType fitType = FIT;
    CSize papers{1, 1};
    int32_t dpi = 144;
    bool operator==(const CFitImageToPageSetting&) const = default;
};

// The page setting with its paper margins (hundredths of a millimetre).
struct CPageSetting : CFitImageToPageSetting {
    CRect margin{1000, 1000, 1000, 1000};
    bool operator==(const CPageSetting&) const = default;
};
