#include "bitmap/DibRows.h"

#include "bitmap/Dib.h"

#include <bit>

namespace {

struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    uint32_t max = 0;

    explicit Channel(uint32_t m) : mask(m)
    {
        if (m) {
            shift = std::countr_zero(m);
            max = m >> shift;
        }
    }
    uint32_t Read(uint32_t v) const { return max ? ((v & mask) >> shift) * 255 / max : 0; }
};

// The three masks of a BI_BITFIELDS DIB: the colour table entries, or the
// masks of a V5 header when the table holds none.
bool BitFieldMasks(const CDib& dib, uint32_t masks[3])
{
    const auto* table = reinterpret_cast<const uint32_t*>(dib.ColorTable());
    if (table && dib.ColorCount() >= 3 && (table[0] | table[1] | table[2])) {
        masks[0] = table[0], masks[1] = table[1], masks[2] = table[2];
        return true;
    }
    if (const BITMAPV5HEADER* v5 = dib.HeaderV5()) {
        masks[0] = v5->bV5RedMask, masks[1] = v5->bV5GreenMask, masks[2] = v5->bV5BlueMask;
        return masks[0] | masks[1] | masks[2];
    }
    return false;
}

uint32_t Opaque(uint8_t r, uint8_t g, uint8_t b) { return 0xFF000000u | uint32_t(r) << 16 | uint32_t(g) << 8 | b; }

void ReadIndexed(const CDib& dib, const uint8_t* row, int32_t x, int32_t count, uint32_t* out)
{
    const unsigned bits = dib.BitCount();
    const RGBQUAD* table = dib.ColorTable();
    const uint32_t entries = dib.ColorCount();
    const unsigned perByte = 8 / bits;
    const unsigned mask = (1u << bits) - 1;
    for (int32_t i = 0; i < count; ++i) {
        const uint32_t px = uint32_t(x + i);
        const unsigned shift = 8 - bits * (px % perByte + 1);
        const unsigned index = (row[px / perByte] >> shift) & mask;
        out[i] = index < entries ? Opaque(table[index].rgbRed, table[index].rgbGreen, table[index].rgbBlue)
                                 : 0xFF000000u;
    }
}

}  // namespace

bool CanReadDibRows(const CDib& dib)
{
    if (!dib.IsValid())
        return false;
    const BITMAPINFOHEADER* h = dib.Header();
    uint32_t masks[3];
    switch (h->biBitCount) {
    case 1: case 2: case 4: case 8: return h->biCompression == BI_RGB;
    case 24: return h->biCompression == BI_RGB;
    case 16:
    case 32: return h->biCompression == BI_RGB || (h->biCompression == BI_BITFIELDS && BitFieldMasks(dib, masks));
    default: return false;
    }
}

bool ReadDibRowXrgb(const CDib& dib, int32_t y, int32_t x, int32_t count, uint32_t* out)
{
    if (!CanReadDibRows(dib) || y < 0 || y >= dib.Height() || x < 0 || count < 0 || x + count > dib.Width())
        return false;
    const uint8_t* row = dib.RowFromTop(y);
    const BITMAPINFOHEADER* h = dib.Header();
    switch (h->biBitCount) {
    case 24: {
        const uint8_t* p = row + size_t(x) * 3;
        for (int32_t i = 0; i < count; ++i, p += 3)
            out[i] = Opaque(p[2], p[1], p[0]);
        return true;
    }
    case 16:
    case 32: {
        uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F};
        if (h->biCompression == BI_BITFIELDS)
            BitFieldMasks(dib, masks);
        else if (h->biBitCount == 32) {
            const auto* p = reinterpret_cast<const uint32_t*>(row) + x;
            for (int32_t i = 0; i < count; ++i)
                out[i] = p[i] | 0xFF000000u;
            return true;
        }
        const Channel r(masks[0]), g(masks[1]), b(masks[2]);
        for (int32_t i = 0; i < count; ++i) {
            const uint32_t v = h->biBitCount == 16 ? reinterpret_cast<const uint16_t*>(row)[x + i]
                                                   : reinterpret_cast<const uint32_t*>(row)[x + i];
            out[i] = Opaque(uint8_t(r.Read(v)), uint8_t(g.Read(v)), uint8_t(b.Read(v)));
        }
        return true;
    }
    default:
        ReadIndexed(dib, row, x, count, out);
        return true;
    }
}

void Argb32RowToBgr24(const uint32_t* src, int32_t count, uint8_t* dst)
{
    for (int32_t i = 0; i < count; ++i, dst += 3) {
        const uint32_t v = src[i];
        dst[0] = uint8_t(v);
        dst[1] = uint8_t(v >> 8);
        dst[2] = uint8_t(v >> 16);
    }
}
