#include "bitmap/PackedDib.h"

#include <cstring>

CPackedDib::~CPackedDib()
{
    CPackedDib::FreeHeader();
}

bool CPackedDib::Create(uint32_t headerSize, int32_t width, int32_t height, uint16_t bitCount, uint32_t colorCount,
                        uint32_t compression, uint32_t profileSize)
{
    if (compression != BI_RGB)
        return false;
    FreeHeader();
    uint32_t entries = 0;
    size_t blockBytes = 0;
    if (!PlanHeaderBlock(headerSize, width, height, bitCount, colorCount, compression, profileSize, entries,
                         blockBytes))
        return false;
    const size_t imageBytes = DibStride(width, bitCount) * static_cast<size_t>(height < 0 ? -height : height);
    if (!m_memory.Alloc(blockBytes + imageBytes))
        return false;
    m_header = static_cast<uint8_t*>(m_memory.Lock());
    std::memset(m_header, 0, blockBytes);
    FillHeaderBlock(m_header, headerSize, width, height, bitCount, entries, compression, profileSize);
    m_bits = m_header + blockBytes;
    return true;
}

void CPackedDib::FreeHeader()
{
    if (m_header)
        m_memory.Unlock();
    m_memory.Free();
    m_header = nullptr;
    m_bits = nullptr;
}
