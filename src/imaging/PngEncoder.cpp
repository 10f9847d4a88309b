// PNG through libpng, which takes the BGR rows of the image through png_set_bgr.
#include "imaging/FilterTrial.h"
#include "imaging/ImgEncoder.h"
#include "imaging/ImgSource.h"
#include "imaging/PngBands.h"

#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstring>

namespace {

// As with libjpeg, each method sets the jump target before calling into
// libpng, and the error is thrown from that frame.
class CPngEncoder : public CImgEncoder {
public:
    explicit CPngEncoder(const CEncoderTuning& tuning) : m_tuning(tuning)
    {
        m_png = png_create_write_struct(PNG_LIBPNG_VER_STRING, this, ErrorFn, WarningFn);
        if (!m_png)
            throw CEncoderError("png_create_write_struct failed");
        m_info = png_create_info_struct(m_png);
        if (!m_info)
            throw CEncoderError("png_create_info_struct failed");
    }
    ~CPngEncoder() override { png_destroy_write_struct(&m_png, m_info ? &m_info : nullptr); }

    void Initialize(FILE* file) override
    {
        if (setjmp(png_jmpbuf(m_png)))
            Fail();
        png_init_io(m_png, file);
    }

    void InitializeFrame() override
    {
        if (setjmp(png_jmpbuf(m_png)))
            Fail();
        png_set_compression_level(m_png, m_tuning.pngLevel);
        if (m_tuning.pngStrategy != CEncoderTuning::kAuto)
            png_set_compression_strategy(m_png, m_tuning.pngStrategy);
    }

    void SetSize(int32_t width, int32_t height) override
    {
        if (width <= 0 || height <= 0 || uint32_t(width) > png_get_user_width_max(m_png) ||
            uint32_t(height) > png_get_user_height_max(m_png))
            throw CEncoderError("Image width or height exceeds user limit in IHDR");
        m_width = uint32_t(width);
        m_height = uint32_t(height);
    }

    void SetResolution(double dpiX, double dpiY) override
    {
        if (setjmp(png_jmpbuf(m_png)))
            Fail();
        png_set_pHYs(m_png, m_info, PixelsPerMetre(dpiX), PixelsPerMetre(dpiY), PNG_RESOLUTION_METER);
    }

    bool SetPixelFormat(ImgFormat format) override
    {
        switch (format) {
        case ImgFormat::BGR24: m_colourType = PNG_COLOR_TYPE_RGB, m_bgr = true; break;
        case ImgFormat::BGRA32: m_colourType = PNG_COLOR_TYPE_RGB_ALPHA, m_bgr = true; break;
        case ImgFormat::MONO8: m_colourType = PNG_COLOR_TYPE_GRAY; break;
        case ImgFormat::MONO1: m_colourType = PNG_COLOR_TYPE_GRAY, m_depth = 1; break;
        default: return false;
        }
        if (setjmp(png_jmpbuf(m_png)))
            Fail();
        png_set_IHDR(m_png, m_info, m_width, m_height, m_depth, m_colourType, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
        return true;
    }

    void SetColorProfile(const std::vector<uint8_t>& icc) override
    {
        if (setjmp(png_jmpbuf(m_png)))
            Fail();
        png_set_iCCP(m_png, m_info, "ICC profile", PNG_COMPRESSION_TYPE_BASE, icc.data(), png_uint_32(icc.size()));
    }

    void WriteSource(const CImgSource& source) override
    {
        m_filters = m_tuning.pngFilters;
        if (m_filters == CEncoderTuning::kAuto)
            m_filters = DifferencingPays(source, m_tuning.pngLevel) ? PNG_FILTER_SUB : PNG_FILTER_NONE;
        if (setjmp(png_jmpbuf(m_png)))
            Fail();
        png_set_filter(m_png, PNG_FILTER_TYPE_BASE, m_filters);
        png_write_info(m_png, m_info);
        const size_t bytes = source.RowBytes() * m_height;
        if (const int threads = PngBandThreads(bytes); threads > 1 && CanCompressInBands()) {
            WriteInBands(source, threads);
            return;
        }
        if (m_bgr)
            png_set_bgr(m_png);
        for (uint32_t y = 0; y < m_height; ++y)
            png_write_row(m_png, source.Row(int32_t(y)));
    }

    void CommitFrame() override
    {
        if (setjmp(png_jmpbuf(m_png)))
            Fail();
        // libpng does not know of image data written as chunks of our own, so
        // it would refuse its own end; the end is one empty chunk.
        if (m_inBands)
            png_write_chunk(m_png, reinterpret_cast<png_const_bytep>("IEND"), nullptr, 0);
        else
            png_write_end(m_png, m_info);
    }

private:
    // Large 8-bit images with one filter for every row are compressed by
    // several threads at once; libpng compresses on one.
    bool CanCompressInBands() const
    {
        return m_depth == 8 && (m_filters == PNG_FILTER_NONE || m_filters == PNG_FILTER_SUB) &&
               (m_colourType == PNG_COLOR_TYPE_RGB || m_colourType == PNG_COLOR_TYPE_RGB_ALPHA ||
                m_colourType == PNG_COLOR_TYPE_GRAY);
    }

    void WriteInBands(const CImgSource& source, int threads)
    {
        CPngBandsRequest request;
        request.bytesPerPixel = m_colourType == PNG_COLOR_TYPE_RGB ? 3 : m_colourType == PNG_COLOR_TYPE_RGB_ALPHA ? 4 : 1;
        request.swapRedBlue = m_bgr;
        request.sub = m_filters == PNG_FILTER_SUB;
        request.level = m_tuning.pngLevel;
        // As libpng chooses: filtered rows compress better with Z_FILTERED.
        request.strategy = m_tuning.pngStrategy != CEncoderTuning::kAuto ? m_tuning.pngStrategy
                           : request.sub                                ? Z_FILTERED
                                                                        : Z_DEFAULT_STRATEGY;
        request.threads = threads;
        m_inBands = true;
        CompressPngBands(source, request, [this](const uint8_t* data, size_t size) { WriteIdat(data, size); });
    }

    // One piece of the image data, in IDAT chunks of at most a megabyte.
    void WriteIdat(const uint8_t* data, size_t size)
    {
        if (setjmp(png_jmpbuf(m_png)))
            Fail();
        constexpr size_t kChunk = size_t{1} << 20;
        for (size_t done = 0; done < size; done += kChunk)
            png_write_chunk(m_png, reinterpret_cast<png_const_bytep>("IDAT"), data + done, std::min(kChunk, size - done));
    }

    static png_uint_32 PixelsPerMetre(double dpi) { return png_uint_32(std::lround(dpi / 0.0254)); }

    static void ErrorFn(png_structp png, png_const_charp message)
    {
        auto* self = static_cast<CPngEncoder*>(png_get_error_ptr(png));
        std::strncpy(self->m_text, message ? message : "libpng error", sizeof self->m_text - 1);
        png_longjmp(png, 1);
    }
    static void WarningFn(png_structp, png_const_charp) {}

    [[noreturn]] void Fail() { throw CEncoderError(m_text); }

    CEncoderTuning m_tuning;
    png_structp m_png = nullptr;
    png_infop m_info = nullptr;
    uint32_t m_width = 0, m_height = 0;
    int m_colourType = PNG_COLOR_TYPE_RGB, m_depth = 8;
    int m_filters = PNG_FILTER_NONE;
    bool m_bgr = false;
    bool m_inBands = false;
    char m_text[256] = {};
};

}  // namespace

std::unique_ptr<CImgEncoder> CreatePngEncoder(const CEncoderTuning& tuning)
{
    return std::make_unique<CPngEncoder>(tuning);
}
