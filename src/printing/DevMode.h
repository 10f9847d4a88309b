#pragma once
#include <cstdint>
#include <string>

// Which fields of a printer-settings record are set (the DEVMODE bits).
enum DevModeFields : uint32_t {
    DM_ORIENTATION = 0x00000001,
    DM_PAPERSIZE = 0x00000002,
    DM_PAPERLENGTH = 0x00000004,
    DM_PAPERWIDTH = 0x00000008,
    DM_DEFAULTSOURCE = 0x00000200,
};

enum : int16_t { DMORIENT_PORTRAIT = 1, DMORIENT_LANDSCAPE = 2 };
enum : int16_t { DMPAPER_USER = 256 };

// The settings of one printer: paper, orientation and source. Lengths are in
// tenths of a millimetre, as the paper code table's users expect; `media` and
// `source` carry the CUPS keywords the settings came from, so a job asks the
// printer for exactly that paper.
struct CDevMode {
    std::string deviceName;
    uint32_t fields = 0;
    int16_t orientation = DMORIENT_PORTRAIT;
    int16_t paperSize = 0;
    int16_t paperLength = 0;
    int16_t paperWidth = 0;
    std::string media;
    std::string source;
    bool operator==(const CDevMode&) const = default;
};

// Names the printer a settings record belongs to.
struct CDevNames {
    std::string device;
    bool operator==(const CDevNames&) const = default;
};

// What a printer device reports about itself (the GetDeviceCaps values).
struct CDeviceMetrics {
    int32_t logPixelsX = 0, logPixelsY = 0;
    int32_t physicalWidth = 0, physicalHeight = 0;
    int32_t physicalOffsetX = 0, physicalOffsetY = 0;
    int32_t horzRes = 0, vertRes = 0;
    bool operator==(const CDeviceMetrics&) const = default;
};
