#include "bitmap/DibSection.h"

#include "bitmap/DibRows.h"

#include <sys/mman.h>

#include <cstdint>
#include <cstring>

CDibSection::~CDibSection()
{
    CDibSection::FreeBits();
}

namespace {

constexpr size_t kHugePage = size_t{2} << 20;

// An anonymous mapping of `size` bytes. From a few huge pages up it starts
// on a huge-page boundary and asks for transparent huge pages: a capture of
// hundreds of megabytes then takes a few hundred page faults instead of tens
// of thousands, which on a fresh bitmap cost more than the conversion itself.
// The kernel falls back to small pages by itself when it has no huge ones.
void* MapZeroFilled(size_t size)
{
    if (size < 4 * kHugePage) {
        void* p = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        return p == MAP_FAILED ? nullptr : p;
    }
    const size_t reserved = size + kHugePage;
    void* p = mmap(nullptr, reserved, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED)
        return nullptr;
    const uintptr_t begin = reinterpret_cast<uintptr_t>(p);
    const uintptr_t aligned = (begin + kHugePage - 1) & ~(kHugePage - 1);
    // The ends before and after the aligned range go back at once.
    if (aligned > begin)
        munmap(p, aligned - begin);
    if (const size_t after = begin + reserved - (aligned + size))
        munmap(reinterpret_cast<void*>(aligned + size), after);
    madvise(reinterpret_cast<void*>(aligned), size, MADV_HUGEPAGE);
    return reinterpret_cast<void*>(aligned);
}

}  // namespace

bool CDibSection::AllocateBits()
{
    FreeBits();
    const size_t size = ImageSize();
    if (size == 0)
        return false;
    // An anonymous mapping comes zero-filled and costs nothing until written:
    // a capture fills it exactly once.
    void* p = MapZeroFilled(size);
    if (!p)
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
