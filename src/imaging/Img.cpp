#include "imaging/Img.h"

#include "bitmap/DibRows.h"
#include "bitmap/DibSection.h"
#include "errors/Exception.h"

#include <algorithm>
#include <cstring>
#include <new>

std::shared_ptr<CImg> CImg::New(ImgFormat type, int32_t width, int32_t height)
{
    if (ImgFormatBits(type) == 0 || width <= 0 || height <= 0)
        return nullptr;
    std::shared_ptr<CImg> img(new CImg);
    img->m_type = type;
    img->m_width = width;
    img->m_height = height;
    img->m_buffer.reset(new (std::nothrow) uint8_t[img->Stride() * size_t(height)]);
    if (!img->m_buffer)
        return nullptr;
    img->m_top = img->m_buffer.get();
    img->m_step = static_cast<ptrdiff_t>(img->Stride());
    // The padding is written to .bmp files: it must not carry stale memory.
    const size_t padding = img->Stride() - img->RowBytes();
    for (int32_t y = 0; padding && y < height; ++y)
        std::memset(img->MutableRow(y) + img->RowBytes(), 0, padding);
    return img;
}

std::shared_ptr<CImg> CImg::View(ImgFormat type, std::shared_ptr<const CDib> dib)
{
    if (!dib || !dib->IsValid() || ImgFormatBits(type) != dib->BitCount())
        return nullptr;
    std::shared_ptr<CImg> img(new CImg);
    img->m_type = type;
    img->m_width = dib->Width();
    img->m_height = dib->Height();
    img->m_top = dib->RowFromTop(0);
    img->m_step = -static_cast<ptrdiff_t>(dib->Stride());
    img->m_source = std::move(dib);
    return img;
}

std::shared_ptr<CImg> CImg::Over(ImgFormat type, int32_t width, int32_t height, const uint8_t* top, ptrdiff_t step,
                                 std::shared_ptr<const void> owner)
{
    if (ImgFormatBits(type) == 0 || width <= 0 || height <= 0 || !top)
        return nullptr;
    std::shared_ptr<CImg> img(new CImg);
    img->m_type = type;
    img->m_width = width;
    img->m_height = height;
    img->m_top = top;
    img->m_step = step;
    img->m_owner = std::move(owner);
    return img;
}

namespace {

[[noreturn]] void Unsupported() { throw my::CException(59021); }

std::shared_ptr<CImg> Checked(std::shared_ptr<CImg> img)
{
    if (!img)
        throw my::CException(59021);
    return img;
}

bool IsGreyTable(const CDib& dib, bool& identity)
{
    const RGBQUAD* table = dib.ColorTable();
    if (!table)
        return false;
    identity = dib.ColorCount() == 256;
    for (uint32_t k = 0; k < dib.ColorCount(); ++k) {
        if (table[k].rgbBlue != table[k].rgbGreen || table[k].rgbGreen != table[k].rgbRed)
            return false;
        identity = identity && table[k].rgbRed == k;
    }
    return true;
}

bool IsColour(const RGBQUAD& q, uint8_t v) { return q.rgbBlue == v && q.rgbGreen == v && q.rgbRed == v; }

bool HasPlainBgra(const CDib& dib)
{
    if (dib.Header()->biCompression == BI_RGB)
        return true;
    const auto* masks = reinterpret_cast<const uint32_t*>(dib.ColorTable());
    return masks && masks[0] == 0xFF0000 && masks[1] == 0xFF00 && masks[2] == 0xFF;
}

std::shared_ptr<CImg> CopyBgra(const CDib& dib)
{
    auto img = Checked(CImg::New(ImgFormat::BGRA32, dib.Width(), dib.Height()));
    for (int32_t y = 0; y < img->Height(); ++y) {
        uint8_t* row = img->MutableRow(y);
        std::memcpy(row, dib.RowFromTop(y), img->Stride());
        for (int32_t x = 0; x < img->Width(); ++x)
            row[4 * x + 3] = 255;
    }
    return img;
}

// A grey table that is not the identity: the grey levels are looked up.
std::shared_ptr<CImg> CopyGrey(const CDib& dib)
{
    auto img = Checked(CImg::New(ImgFormat::MONO8, dib.Width(), dib.Height()));
    const RGBQUAD* table = dib.ColorTable();
    const uint32_t entries = dib.ColorCount();
    for (int32_t y = 0; y < img->Height(); ++y) {
        const uint8_t* src = dib.RowFromTop(y);
        uint8_t* dst = img->MutableRow(y);
        for (int32_t x = 0; x < img->Width(); ++x)
            dst[x] = src[x] < entries ? table[src[x]].rgbRed : 0;
    }
    return img;
}

// White for 0 and black for 1: the bits are inverted.
std::shared_ptr<CImg> CopyInvertedMono(const CDib& dib)
{
    auto img = Checked(CImg::New(ImgFormat::MONO1, dib.Width(), dib.Height()));
    for (int32_t y = 0; y < img->Height(); ++y) {
        const uint8_t* src = dib.RowFromTop(y);
        uint8_t* dst = img->MutableRow(y);
        for (size_t i = 0; i < img->Stride(); ++i)
            dst[i] = uint8_t(~src[i]);
    }
    return img;
}

// Any other layout is drawn into a 24-bit DIB of the same size.
std::shared_ptr<CImg> Convert(const CDib& dib)
{
    CDibSectionPtr bgr = CDibSection::New(dib.Width(), dib.Height(), 24);
    if (!bgr)
        throw my::CException(58943);
    std::unique_ptr<uint32_t[]> line(new (std::nothrow) uint32_t[size_t(dib.Width())]);
    if (!line)
        throw my::CException(58943);
    for (int32_t y = 0; y < dib.Height(); ++y) {
        if (!ReadDibRowXrgb(dib, y, 0, dib.Width(), line.get()))
            throw my::CException(58945);
        Argb32RowToBgr24(line.get(), dib.Width(), bgr->RowFromTop(y));
    }
    return Checked(CImg::View(ImgFormat::BGR24, bgr));
}

std::shared_ptr<CImg> ImageFor(const std::shared_ptr<const CDib>& dib)
{
    const BITMAPINFOHEADER* h = dib->Header();
    bool identity = false;
    switch (h->biBitCount) {
    case 24:
        return Checked(CImg::View(ImgFormat::BGR24, dib));
    case 32:
        return HasPlainBgra(*dib) ? CopyBgra(*dib) : Convert(*dib);
    case 8:
        if (h->biCompression == BI_RGB && IsGreyTable(*dib, identity))
            return identity ? Checked(CImg::View(ImgFormat::MONO8, dib)) : CopyGrey(*dib);
        return Convert(*dib);
    case 1:
        if (dib->ColorCount() == 2) {
            const RGBQUAD* t = dib->ColorTable();
            if (IsColour(t[0], 0) && IsColour(t[1], 255))
                return Checked(CImg::View(ImgFormat::MONO1, dib));
            if (IsColour(t[0], 255) && IsColour(t[1], 0))
                return CopyInvertedMono(*dib);
        }
        return Convert(*dib);
    default:
        return Convert(*dib);
    }
}

}  // namespace

std::shared_ptr<CImg> MakeImgFromDib(std::shared_ptr<const CDib> dib)
{
    if (!dib || !dib->IsValid())
        Unsupported();
    const BITMAPINFOHEADER* h = dib->Header();
    if (h->biSize != kInfoHeaderSize && h->biSize != kV5HeaderSize)
        Unsupported();
    std::shared_ptr<CImg> img = ImageFor(dib);
    // A negative density is no density.
    img->dpiX = std::max(h->biXPelsPerMeter, 0) * 25.4 / 1000;
    img->dpiY = std::max(h->biYPelsPerMeter, 0) * 25.4 / 1000;
    if (const uint8_t* profile = dib->Profile())
        img->profile = std::make_shared<const std::vector<uint8_t>>(profile, profile + dib->ProfileSize());
    return img;
}
