#pragma once
#include "common/Types.h"
#include "printing/DevMode.h"

#include <cstdint>

// One sheet on one printer: paper size and margins in hundredths of a
// millimetre (turned for the orientation), the printer's resolution, physical
// size and hardware printable rectangle in dots.
struct CPaperInfo {
    int32_t paperWidth = 0, paperHeight = 0;
    CRect margin;
    int32_t resX = 0, resY = 0;
    int32_t physicalWidth = 0, physicalHeight = 0;
    CRect hardPrintable;

    // Paper size from printer settings; raises 58978 to 58982 when they do
    // not say enough.
    void SetDevMode(const CDevMode& devMode);
    void SetDeviceCaps(const CDeviceMetrics& metrics);
    // The part of the sheet inside the margins, in dots from the paper's top
    // left corner; all zero when the margins leave no room.
    CRect GetPrintableRect() const;

    bool operator==(const CPaperInfo&) const = default;
};

// The one way a sheet is described, for the page count, the preview and the
// job alike: the paper of `devMode` (raises 58978 to 58982 when the settings
// do not say enough), the device's metrics and the margins.
CPaperInfo MakePaperInfo(const CDevMode& devMode, const CDeviceMetrics& metrics, const CRect& margin);
