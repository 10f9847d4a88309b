#pragma once
#include "bitmap/DibFormat.h"
#include "common/Types.h"

#include <cstddef>
#include <cstdint>

typedef struct _cairo cairo_t;

// A device-independent bitmap: a header block (BITMAPINFOHEADER or
// BITMAPV5HEADER, colour table, embedded profile) and a pixel array, both on
// the heap. Rows are bottom-up: row 0 of the array is the bottom line.
// Creating one is two calls, Create and then AllocateBits; both answer false
// on failure and leave the object without the part that failed.
class CDib {
public:
    CDib() = default;
    virtual ~CDib();
    CDib(const CDib&) = delete;
    CDib& operator=(const CDib&) = delete;

    // headerSize is 40 or 124; profileSize counts only with a 124-byte header.
    virtual bool Create(uint32_t headerSize, int32_t width, int32_t height, uint16_t bitCount,
                        uint32_t colorCount = 0, uint32_t compression = BI_RGB, uint32_t profileSize = 0);
    virtual void FreeHeader();
    virtual bool AllocateBits();
    virtual void FreeBits();

    BITMAPINFOHEADER* Header() const { return reinterpret_cast<BITMAPINFOHEADER*>(m_header); }
    // The header as a V5 header; null unless it is one.
    BITMAPV5HEADER* HeaderV5() const;
    RGBQUAD* ColorTable() const;
    uint32_t ColorCount() const { return m_header ? Header()->biClrUsed : 0; }
    // The embedded ICC profile of a V5 header; null when there is none.
    const uint8_t* Profile() const;
    uint32_t ProfileSize() const;
    uint8_t* Bits() const { return m_bits; }
    bool IsValid() const { return m_header && m_bits; }

    int32_t Width() const { return m_header ? Header()->biWidth : 0; }
    // |biHeight|
    int32_t Height() const;
    uint16_t BitCount() const { return m_header ? Header()->biBitCount : 0; }
    size_t Stride() const { return m_header ? DibStride(Header()->biWidth, BitCount()) : 0; }
    // biSizeImage when not BI_RGB, else stride x |height|; 0 without a header.
    size_t ImageSize() const;
    // Header, colour table and embedded profile together.
    size_t HeaderBlockSize() const;

    // The row of line y counted from the top.
    uint8_t* RowFromTop(int32_t y) const { return m_bits + static_cast<size_t>(Height() - 1 - y) * Stride(); }

    void Clear();
    // 32 bits only: blue, green and red of every pixel in `rect` (top-down,
    // clipped to the image) whose alpha is not 255 become value x alpha / 255.
    void Premultiply(const CRect& rect);

    // The whole image 1:1 at (0, 0), with the good (smoothing) filter.
    bool Draw(cairo_t* cr) const;
    // `src` (top-down pixels of the image) stretched onto `dest`. False without
    // header or bits or when cairo fails; true without drawing when either
    // rectangle is empty.
    bool Draw(cairo_t* cr, const CRect& dest, const CRect& src) const;

protected:
    // Writes the header fields, the V5 colour space and the grey palette into
    // a zero-filled block of HeaderBlockBytes(...) bytes.
    static void FillHeaderBlock(uint8_t* block, uint32_t headerSize, int32_t width, int32_t height,
                                uint16_t bitCount, uint32_t entries, uint32_t compression, uint32_t profileSize);
    // Checks the arguments of Create and works out the colour-table entries
    // and the size of the header block; false when they make no bitmap.
    static bool PlanHeaderBlock(uint32_t headerSize, int32_t width, int32_t height, uint16_t bitCount,
                                uint32_t colorCount, uint32_t compression, uint32_t& profileSize,
                                uint32_t& entries, size_t& blockBytes);

    uint8_t* m_header = nullptr;
    uint8_t* m_bits = nullptr;
};
