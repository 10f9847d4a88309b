#pragma once
#include <cstdint>

// Bits of the print dialog's choices (the values of the Windows print dialog flags).
enum PrintSettingFlags : uint32_t {
    USE_SELECTION = 0x01,
    USE_PAGENUMS = 0x02,
    RESERVED_1 = 0x04,
    RESERVED_2 = 0x08,
    COLLATE = 0x10,
    TO_FILE = 0x20,
};

// The last choices of the print dialog.
struct CSimplePrintSetting {
    uint32_t flags = 0;
    int32_t pageFrom = 1;
    int32_t pageTo = 1;
    int32_t copies = 1;
    bool operator==(const CSimplePrintSetting&) const = default;
};
