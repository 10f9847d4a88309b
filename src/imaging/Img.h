#pragma once
#include "imaging/ImgFormat.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class CDib;

// An image ready to be written: its pixel layout, size, rows top-down, the
// resolution in dots per inch (0 when it has none) and the ICC profile that
// came with it. The rows either live in a buffer of the image's own or are
// the rows of the DIB it was made from, read bottom-up: a capture is written
// without being copied. The DIB is kept alive and must not change meanwhile.
class CImg {
public:
    // An image with its own buffer of stride x height bytes, not cleared.
    // Null when out of memory or for an unknown layout or empty size.
    static std::shared_ptr<CImg> New(ImgFormat type, int32_t width, int32_t height);
    // An image over the DIB's own rows; its layout must match `type`.
    static std::shared_ptr<CImg> View(ImgFormat type, std::shared_ptr<const CDib> dib);
    // An image over rows that live elsewhere, top-down: row y at top +
    // step x y. `owner` keeps that memory alive as long as the image lives.
    static std::shared_ptr<CImg> Over(ImgFormat type, int32_t width, int32_t height, const uint8_t* top,
                                      ptrdiff_t step, std::shared_ptr<const void> owner);

    ImgFormat Type() const { return m_type; }
    int32_t Width() const { return m_width; }
    int32_t Height() const { return m_height; }
    int Bits() const { return ImgFormatBits(m_type); }
    // Bytes of pixels in a row: (bits x width + 7) / 8.
    size_t RowBytes() const { return (size_t(Bits()) * size_t(m_width) + 7) / 8; }
    // RowBytes rounded up to a multiple of 4.
    size_t Stride() const { return (RowBytes() + 3) & ~size_t{3}; }

    const uint8_t* Row(int32_t y) const { return m_top + m_step * y; }
    uint8_t* MutableRow(int32_t y) { return m_buffer ? m_buffer.get() + Stride() * size_t(y) : nullptr; }
    // True when the rows lie bottom-up, one stride apart, in one block that
    // starts at Row(Height() - 1): the row order of a .bmp file.
    bool IsBottomUpBlock() const { return m_step == -static_cast<ptrdiff_t>(Stride()); }

    double dpiX = 0, dpiY = 0;
    std::shared_ptr<const std::vector<uint8_t>> profile;

private:
    CImg() = default;

    ImgFormat m_type = ImgFormat::BGR24;
    int32_t m_width = 0, m_height = 0;
    std::unique_ptr<uint8_t[]> m_buffer;
    std::shared_ptr<const CDib> m_source;
    std::shared_ptr<const void> m_owner;
    const uint8_t* m_top = nullptr;
    ptrdiff_t m_step = 0;
};

// The image for a DIB with a 40- or 124-byte header: 24 bits as BGR24, 32 as
// BGRA32 with every alpha set to 255, 8 bits with a grey colour table as
// MONO8, 1 bit with a black-and-white table as MONO1, everything else
// converted to 24 bits. Resolution from the pels per metre, the profile from
// a V5 header. Raises 59021 for a DIB it cannot take, 58943 when the
// converted copy cannot be made and 58945 when converting fails.
std::shared_ptr<CImg> MakeImgFromDib(std::shared_ptr<const CDib> dib);
