// BMP: the file header and a BITMAPINFOHEADER, then the rows bottom-up as a
// DIB holds them; a capture's rows go out in one write, straight from its memory.
#include "bitmap/DibFormat.h"
#include "imaging/ImgEncoder.h"
#include "imaging/ImgSource.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

class CBmpEncoder : public CImgEncoder {
public:
    void Initialize(FILE* file) override { m_file = file; }

    void SetSize(int32_t width, int32_t height) override
    {
        m_width = width;
        m_height = height;
    }

    void SetResolution(double dpiX, double dpiY) override
    {
        m_ppmX = int32_t(std::lround(dpiX / 0.0254));
        m_ppmY = int32_t(std::lround(dpiY / 0.0254));
    }

    bool SetPixelFormat(ImgFormat format) override
    {
        switch (format) {
        case ImgFormat::BGR24: case ImgFormat::BGRA32: m_entries = 0; break;
        case ImgFormat::MONO8: m_entries = 256; break;
        case ImgFormat::MONO1: m_entries = 2; break;
        default: return false;
        }
        m_bits = uint16_t(ImgFormatBits(format));
        const uint64_t bytes = uint64_t(DibStride(m_width, m_bits)) * uint64_t(m_height) + 14 + 40 + 4 * m_entries;
        if (bytes > std::numeric_limits<uint32_t>::max())
            throw CEncoderError("The image is too large for a BMP file");
        return true;
    }

    void SetColorProfile(const std::vector<uint8_t>&) override {}

    void WriteSource(const CImgSource& source) override
    {
        const size_t stride = DibStride(m_width, m_bits);
        const size_t imageSize = stride * size_t(m_height);
        const BITMAPFILEHEADER file = MakeBitmapFileHeader(40 + 4 * m_entries, imageSize);
        BITMAPINFOHEADER info{};
        info.biSize = 40;
        info.biWidth = m_width;
        info.biHeight = m_height;
        info.biPlanes = 1;
        info.biBitCount = m_bits;
        info.biCompression = BI_RGB;
        info.biSizeImage = uint32_t(imageSize);
        info.biXPelsPerMeter = m_ppmX;
        info.biYPelsPerMeter = m_ppmY;
        info.biClrUsed = info.biClrImportant = m_entries;
        Write(&file, sizeof file);
        Write(&info, sizeof info);
        for (uint32_t k = 0; k < m_entries; ++k) {
            const uint8_t v = uint8_t(m_entries == 2 ? k * 255 : k);
            const RGBQUAD entry{v, v, v, 0};
            Write(&entry, sizeof entry);
        }
        const CImg* image = source.Image();
        if (image->IsBottomUpBlock()) {
            Write(image->Row(m_height - 1), imageSize);
            return;
        }
        for (int32_t y = m_height - 1; y >= 0; --y)
            Write(image->Row(y), stride);
    }

private:
    void Write(const void* data, size_t size)
    {
        if (std::fwrite(data, 1, size, m_file) != size)
            throw CEncoderError(std::strerror(errno), errno);
    }

    FILE* m_file = nullptr;
    int32_t m_width = 0, m_height = 0;
    int32_t m_ppmX = 0, m_ppmY = 0;
    uint16_t m_bits = 24;
    uint32_t m_entries = 0;
};

}  // namespace

std::unique_ptr<CImgEncoder> CreateBmpEncoder() { return std::make_unique<CBmpEncoder>(); }
