#pragma once
#include <bit>
#include <cstddef>
#include <cstdint>

// The in-memory device-independent bitmap format: the header records with the
// field names and byte layout of the format, little-endian.
static_assert(std::endian::native == std::endian::little, "the DIB records are little-endian");

inline constexpr uint32_t BI_RGB = 0;
inline constexpr uint32_t BI_BITFIELDS = 3;
inline constexpr uint32_t LCS_sRGB = 0x73524742;          // 'sRGB'
inline constexpr uint32_t PROFILE_EMBEDDED = 0x4D424544;  // 'MBED'

struct RGBQUAD {
    uint8_t rgbBlue, rgbGreen, rgbRed, rgbReserved;
};

struct BITMAPINFOHEADER {
    uint32_t biSize;
    int32_t biWidth;
    int32_t biHeight;
    uint16_t biPlanes;
    uint16_t biBitCount;
    uint32_t biCompression;
    uint32_t biSizeImage;
    int32_t biXPelsPerMeter;
    int32_t biYPelsPerMeter;
    uint32_t biClrUsed;
    uint32_t biClrImportant;
};

struct CIEXYZTRIPLE {
    int32_t xyz[9];
};

struct BITMAPV5HEADER {
    uint32_t bV5Size;
    int32_t bV5Width;
    int32_t bV5Height;
    uint16_t bV5Planes;
    uint16_t bV5BitCount;
    uint32_t bV5Compression;
    uint32_t bV5SizeImage;
    int32_t bV5XPelsPerMeter;
    int32_t bV5YPelsPerMeter;
    uint32_t bV5ClrUsed;
    uint32_t bV5ClrImportant;
    uint32_t bV5RedMask;
    uint32_t bV5GreenMask;
    uint32_t bV5BlueMask;
    uint32_t bV5AlphaMask;
    uint32_t bV5CSType;
    CIEXYZTRIPLE bV5Endpoints;
    uint32_t bV5GammaRed;
    uint32_t bV5GammaGreen;
    uint32_t bV5GammaBlue;
    uint32_t bV5Intent;
    uint32_t bV5ProfileData;
    uint32_t bV5ProfileSize;
    uint32_t bV5Reserved;
};

#pragma pack(push, 2)
// The 14 bytes in front of a packed DIB in a .bmp file.
struct BITMAPFILEHEADER {
    uint16_t bfType;  // "BM"
    uint32_t bfSize;
    uint16_t bfReserved1;
    uint16_t bfReserved2;
    uint32_t bfOffBits;
};
#pragma pack(pop)

static_assert(sizeof(BITMAPINFOHEADER) == 40);
static_assert(sizeof(BITMAPV5HEADER) == 124);
static_assert(sizeof(BITMAPFILEHEADER) == 14);
static_assert(sizeof(RGBQUAD) == 4);

inline constexpr uint32_t kInfoHeaderSize = sizeof(BITMAPINFOHEADER);
inline constexpr uint32_t kV5HeaderSize = sizeof(BITMAPV5HEADER);

// Bytes of one row: (width x bits + 7) / 8 rounded up to a multiple of 4.
constexpr size_t DibStride(int64_t width, uint32_t bitCount)
{
    const uint64_t bytes = (static_cast<uint64_t>(width < 0 ? -width : width) * bitCount + 7) / 8;
    return static_cast<size_t>((bytes + 3) & ~uint64_t{3});
}

// Colour-table entries of a new DIB: 3 masks for BI_BITFIELDS, none above 8
// bits, else the requested count or, when that is 0, the full table.
constexpr uint32_t DibColorEntries(uint32_t bitCount, uint32_t colorCount, uint32_t compression)
{
    if (compression == BI_BITFIELDS)
        return 3;
    if (bitCount > 8)
        return 0;
    return colorCount != 0 ? colorCount : (1u << bitCount);
}

// The file header of a .bmp file holding a packed DIB with this header block
// and pixel array.
constexpr BITMAPFILEHEADER MakeBitmapFileHeader(size_t headerBlockSize, size_t imageSize)
{
    const size_t offBits = sizeof(BITMAPFILEHEADER) + headerBlockSize;
    return BITMAPFILEHEADER{0x4D42, static_cast<uint32_t>(offBits + imageSize), 0, 0, static_cast<uint32_t>(offBits)};
}
