#include "bitmap/DibSection.h"

#include "bitmap/DibRows.h"

#include <sys/mman.h>

#include <cstring>

CDibSection::~CDibSection()
{
    CDibSection::FreeBits();
}

bool CDibSection::AllocateBits()
{
    FreeBits();
    const size_t size = ImageSize();
    if (size == 0)
        return false;
    // An anonymous mapping comes zero-filled and costs nothing until written:
    // a capture fills it exactly once.
    void* p = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED)
        return false;
    m_bits = static_cast<uint8_t*>(p);
    m_mappedSize = size;
    return true;
}

void CDibSection::FreeBits()
{
    if (m_bits)
        munmap(m_bits, m_mappedSize);
    m_bits = nullptr;
    m_mappedSize = 0;
}

std::shared_ptr<CDibSection> CDibSection::New(int32_t width, int32_t height, uint16_t bitCount)
{
    auto dib = std::make_shared<CDibSection>();
    if (!dib->Create(kInfoHeaderSize, width, height, bitCount) || !dib->AllocateBits())
        return nullptr;
    return dib;
}

bool CDibSection::CopyFromArgb32(const uint8_t* data, size_t stride)
{
    if (!IsValid() || !data || Header()->biCompression != BI_RGB)
        return false;
    const int32_t width = Width(), height = Height();
    if (stride < size_t(width) * 4)
        return false;
    if (BitCount() == 24) {
        for (int32_t y = 0; y < height; ++y)
            Argb32RowToBgr24(reinterpret_cast<const uint32_t*>(data + size_t(y) * stride), width, RowFromTop(y));
        return true;
    }
    if (BitCount() == 32) {
        for (int32_t y = 0; y < height; ++y)
            std::memcpy(RowFromTop(y), data + size_t(y) * stride, size_t(width) * 4);
        return true;
    }
    return false;
}
