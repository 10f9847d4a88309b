#include "bitmap/Dib.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>

CDib::~CDib()
{
    CDib::FreeBits();
    CDib::FreeHeader();
}

bool CDib::PlanHeaderBlock(uint32_t headerSize, int32_t width, int32_t height, uint16_t bitCount,
                           uint32_t colorCount, uint32_t compression, uint32_t& profileSize, uint32_t& entries,
                           size_t& blockBytes)
{
    if (headerSize != kInfoHeaderSize && headerSize != kV5HeaderSize)
        return false;
    if (width <= 0 || height == 0 || height == std::numeric_limits<int32_t>::min())
        return false;
    switch (bitCount) {
    case 1: case 2: case 4: case 8: case 16: case 24: case 32: break;
    default: return false;
    }
    if (compression != BI_RGB && compression != BI_BITFIELDS)
        return false;
    if (compression == BI_BITFIELDS && bitCount != 16 && bitCount != 32)
        return false;
    if (bitCount <= 8 && colorCount > (1u << bitCount))
        return false;
    // The stride x height product must fit the 32-bit biSizeImage field.
    const uint64_t image = static_cast<uint64_t>(DibStride(width, bitCount)) * static_cast<uint32_t>(std::abs(height));
    if (image > std::numeric_limits<uint32_t>::max())
        return false;
    if (headerSize != kV5HeaderSize)
        profileSize = 0;
    entries = DibColorEntries(bitCount, colorCount, compression);
    blockBytes = size_t{headerSize} + 4 * size_t{entries} + profileSize;
    return true;
}

void CDib::FillHeaderBlock(uint8_t* block, uint32_t headerSize, int32_t width, int32_t height, uint16_t bitCount,
                           uint32_t entries, uint32_t compression, uint32_t profileSize)
{
    auto* h = reinterpret_cast<BITMAPINFOHEADER*>(block);
    h->biSize = headerSize;
    h->biWidth = width;
    h->biHeight = height;
    h->biPlanes = 1;
    h->biBitCount = bitCount;
    h->biCompression = compression;
    h->biClrUsed = entries;
    h->biClrImportant = entries;
    if (compression == BI_BITFIELDS)
        h->biSizeImage = static_cast<uint32_t>(DibStride(width, bitCount) * std::abs(height));
    if (headerSize == kV5HeaderSize) {
        auto* v5 = reinterpret_cast<BITMAPV5HEADER*>(block);
        if (profileSize != 0) {
            v5->bV5CSType = PROFILE_EMBEDDED;
            v5->bV5ProfileData = kV5HeaderSize + 4 * entries;
            v5->bV5ProfileSize = profileSize;
        } else {
            v5->bV5CSType = LCS_sRGB;
        }
    }
    if (bitCount == 8 && entries == 256) {
        // The reserved byte is 0xFF: it is read as the alpha of a palette entry.
        auto* table = reinterpret_cast<RGBQUAD*>(block + headerSize);
        for (uint32_t k = 0; k < 256; ++k)
            table[k] = RGBQUAD{uint8_t(k), uint8_t(k), uint8_t(k), 0xFF};
    }
}

bool CDib::Create(uint32_t headerSize, int32_t width, int32_t height, uint16_t bitCount, uint32_t colorCount,
                  uint32_t compression, uint32_t profileSize)
{
    FreeHeader();
    uint32_t entries = 0;
    size_t blockBytes = 0;
    if (!PlanHeaderBlock(headerSize, width, height, bitCount, colorCount, compression, profileSize, entries,
                         blockBytes))
        return false;
    m_header = static_cast<uint8_t*>(std::calloc(1, blockBytes));
    if (!m_header)
        return false;
    FillHeaderBlock(m_header, headerSize, width, height, bitCount, entries, compression, profileSize);
    return true;
}

void CDib::FreeHeader()
{
    std::free(m_header);
    m_header = nullptr;
}

bool CDib::AllocateBits()
{
    FreeBits();
    const size_t size = ImageSize();
    if (size == 0)
        return false;
    m_bits = static_cast<uint8_t*>(std::malloc(size));
    return m_bits != nullptr;
}

void CDib::FreeBits()
{
    std::free(m_bits);
    m_bits = nullptr;
}

BITMAPV5HEADER* CDib::HeaderV5() const
{
    if (!m_header || Header()->biSize != kV5HeaderSize)
        return nullptr;
    return reinterpret_cast<BITMAPV5HEADER*>(m_header);
}

RGBQUAD* CDib::ColorTable() const
{
    if (!m_header || ColorCount() == 0)
        return nullptr;
    return reinterpret_cast<RGBQUAD*>(m_header + Header()->biSize);
}

const uint8_t* CDib::Profile() const
{
    const BITMAPV5HEADER* v5 = HeaderV5();
    if (!v5 || v5->bV5ProfileData == 0 || v5->bV5ProfileSize == 0)
        return nullptr;
    return m_header + v5->bV5ProfileData;
}

uint32_t CDib::ProfileSize() const { return Profile() ? HeaderV5()->bV5ProfileSize : 0; }

int32_t CDib::Height() const
{
    if (!m_header)
        return 0;
    return std::abs(Header()->biHeight);
}

size_t CDib::ImageSize() const
{
    if (!m_header)
        return 0;
    if (Header()->biCompression != BI_RGB)
        return Header()->biSizeImage;
    return Stride() * static_cast<size_t>(Height());
}

size_t CDib::HeaderBlockSize() const
{
    if (!m_header)
        return 0;
    const BITMAPV5HEADER* v5 = HeaderV5();
    if (v5 && v5->bV5ProfileData != 0)
        return size_t{v5->bV5ProfileData} + v5->bV5ProfileSize;
    return size_t{Header()->biSize} + 4 * size_t{ColorCount()};
}

void CDib::Clear()
{
    if (m_bits)
        std::memset(m_bits, 0, ImageSize());
}

void CDib::Premultiply(const CRect& rect)
{
    if (!IsValid() || BitCount() != 32)
        return;
    const int32_t left = std::max(rect.left, 0);
    const int32_t top = std::max(rect.top, 0);
    const int32_t right = std::min(rect.right, Width());
    const int32_t bottom = std::min(rect.bottom, Height());
    for (int32_t y = top; y < bottom; ++y) {
        uint8_t* p = RowFromTop(y) + size_t(left) * 4;
        for (int32_t x = left; x < right; ++x, p += 4) {
            const unsigned alpha = p[3];
            if (alpha == 255)
                continue;
            p[0] = uint8_t(p[0] * alpha / 255);
            p[1] = uint8_t(p[1] * alpha / 255);
            p[2] = uint8_t(p[2] * alpha / 255);
        }
    }
}
