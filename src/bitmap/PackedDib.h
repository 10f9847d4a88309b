#pragma once
#include "bitmap/Dib.h"
#include "bitmap/GlobalMemory.h"

// A DIB in one block: header block followed directly by the pixels, as the
// clipboard and a .bmp file (after its file header) hold it. BI_RGB only.
class CPackedDib : public CDib {
public:
    CPackedDib() = default;
    ~CPackedDib() override;

    // False for BI_BITFIELDS; the pixels are part of the block it allocates.
    bool Create(uint32_t headerSize, int32_t width, int32_t height, uint16_t bitCount, uint32_t colorCount = 0,
                uint32_t compression = BI_RGB, uint32_t profileSize = 0) override;
    void FreeHeader() override;
    bool AllocateBits() override { return m_header != nullptr; }
    void FreeBits() override { m_bits = nullptr; }

    // The whole block: header block + pixels.
    const uint8_t* Data() const { return m_header; }
    size_t Size() const { return m_memory.Size(); }
    CGlobalMemory& Memory() { return m_memory; }

private:
    CGlobalMemory m_memory;
};
