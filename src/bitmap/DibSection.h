#pragma once
#include "bitmap/Dib.h"

#include <memory>

// A DIB whose pixels live in their own zero-filled memory mapping, the
// drawing surface of the program: captures, the overlay buffer. The mapping
// is page-aligned and is returned to the system as a whole when freed.
class CDibSection : public CDib {
public:
    CDibSection() = default;
    ~CDibSection() override;

    bool AllocateBits() override;
    void FreeBits() override;

    // Create + AllocateBits in one: a 40-byte-header, BI_RGB, bottom-up
    // section of the given size, zero-filled. Null when either step fails.
    static std::shared_ptr<CDibSection> New(int32_t width, int32_t height, uint16_t bitCount = 24);

    // Fills a 24- or 32-bit section from a cairo ARGB32/RGB24 image of the
    // same size whose rows run top-down `stride` bytes apart: blue, green and
    // red are copied as they are (alpha is dropped for 24 bits, kept for 32).
    bool CopyFromArgb32(const uint8_t* data, size_t stride);

private:
    size_t m_mappedSize = 0;
};

// How captures travel between the parts of the program.
using CDibSectionPtr = std::shared_ptr<CDibSection>;
