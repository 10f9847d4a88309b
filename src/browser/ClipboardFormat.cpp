#include "browser/ClipboardFormat.h"

#include "bitmap/Dib.h"
#include "bitmap/DibRows.h"

#include <glib.h>
#include <png.h>

#include <cstring>
#include <new>
#include <utility>
#include <limits>

bool CanPutOnClipboard(const CDib& dib)
{
    if (!dib.IsValid())
        return false;
    const uint32_t size = dib.Header()->biSize;
    return size == kInfoHeaderSize || size == kV5HeaderSize;
}

std::vector<uint8_t> PackedDibFile(const CDib& dib)
{
    if (!CanPutOnClipboard(dib))
        return {};
    const size_t headerBlock = dib.HeaderBlockSize();
    const size_t image = dib.ImageSize();
    const size_t total = sizeof(BITMAPFILEHEADER) + headerBlock + image;
    if (total > std::numeric_limits<uint32_t>::max())
        return {};
    std::vector<uint8_t> bytes(total);
    const BITMAPFILEHEADER file = MakeBitmapFileHeader(headerBlock, image);
    std::memcpy(bytes.data(), &file, sizeof file);
    std::memcpy(bytes.data() + sizeof file, dib.Header(), headerBlock);
    std::memcpy(bytes.data() + sizeof file + headerBlock, dib.Bits(), image);
    return bytes;
}

namespace {

void AppendPngData(png_structp png, png_bytep data, png_size_t length)
{
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    bool stored = true;
    try {
        out->insert(out->end(), data, data + length);
    } catch (const std::bad_alloc&) {
        stored = false;
    }
    // Leaves through libpng's own error path, outside the handler.
    if (!stored)
        png_error(png, "out of memory");
}

void FlushPngData(png_structp) {}

// Rows of a 24-bit BI_RGB bitmap are written as they are (BGR); any other
// layout goes through one converted row in `scratch` (width words) and `row`
// (3 x width bytes). No C++ object lives between setjmp and the last
// libpng call.
bool WritePngRows(png_structp png, png_infop info, const CDib& dib, uint32_t* scratch, uint8_t* row)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    const int32_t width = dib.Width();
    const int32_t height = dib.Height();
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, 1);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
    png_write_info(png, info);
    png_set_bgr(png);
    const bool direct = dib.BitCount() == 24 && dib.Header()->biCompression == BI_RGB;
    for (int32_t y = 0; y < height; ++y) {
        if (direct) {
            png_write_row(png, dib.RowFromTop(y));
            continue;
        }
        if (!ReadDibRowXrgb(dib, y, 0, width, scratch))
            return false;
        Argb32RowToBgr24(scratch, width, row);
        png_write_row(png, row);
    }
    png_write_end(png, info);
    return true;
}

}  // namespace

std::vector<uint8_t> EncodeDibPng(const CDib& dib)
{
    if (!dib.IsValid() || dib.Width() <= 0 || dib.Height() <= 0 || !CanReadDibRows(dib))
        return {};
    std::vector<uint32_t> scratch;
    std::vector<uint8_t> row;
    if (dib.BitCount() != 24) {
        scratch.resize(dib.Width());
        row.resize(static_cast<size_t>(dib.Width()) * 3);
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return {};
    }
    std::vector<uint8_t> out;
    png_set_write_fn(png, &out, AppendPngData, FlushPngData);
    const bool written = WritePngRows(png, info, dib, scratch.data(), row.data());
    png_destroy_write_struct(&png, &info);
    if (!written)
        return {};
    return out;
}

std::string FirstLineTrimmed(const std::string& text)
{
    gchar* validText = g_utf8_make_valid(text.c_str(), static_cast<gssize>(text.size()));
    const std::string valid(validText);
    g_free(validText);
    const char* begin = valid.c_str();
    const char* end = begin + std::strcspn(begin, "\n");
    const auto blank = [](gunichar c) { return c == '\r' || g_unichar_isspace(c); };
    while (begin < end && blank(g_utf8_get_char(begin)))
        begin = g_utf8_next_char(begin);
    while (end > begin) {
        const char* last = g_utf8_prev_char(end);
        if (!blank(g_utf8_get_char(last)))
            break;
        end = last;
    }
    return std::string(begin, end);
}

const std::vector<uint8_t>& CClipboardImage::Bytes(const std::string& type)
{
    static const std::vector<uint8_t> none;
    if (!m_dib)
        return none;
    if (type == kClipboardBmpType) {
        if (!std::exchange(m_bmpMade, true))
            m_bmp = PackedDibFile(*m_dib);
        return m_bmp;
    }
    if (type == kClipboardPngType) {
        if (!std::exchange(m_pngMade, true))
            m_png = EncodeDibPng(*m_dib);
        return m_png;
    }
    return none;
}
