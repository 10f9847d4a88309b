// JPEG through libjpeg-turbo, which takes the BGR rows of the image as they are.
#include "imaging/ImgEncoder.h"
#include "imaging/ImgSource.h"

#include <jpeglib.h>

#include <algorithm>
#include <cmath>
#include <csetjmp>

namespace {

struct JpegErrorMgr {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char text[JMSG_LENGTH_MAX];
};

void ErrorExit(j_common_ptr cinfo)
{
    auto* err = reinterpret_cast<JpegErrorMgr*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->text);
    std::longjmp(err->jump, 1);
}

void IgnoreMessage(j_common_ptr) {}

// Every method that calls into the library first sets the jump target with
// setjmp: the library's errors come back there and are thrown from this
// frame, never through the library's own frames.
class CJpegEncoder : public CImgEncoder {
public:
    CJpegEncoder()
    {
        m_cinfo.err = jpeg_std_error(&m_err.pub);
        m_err.pub.error_exit = ErrorExit;
        m_err.pub.output_message = IgnoreMessage;
        if (setjmp(m_err.jump))
            Fail();
        jpeg_create_compress(&m_cinfo);
        m_created = true;
    }
    ~CJpegEncoder() override
    {
        if (m_created)
            jpeg_destroy_compress(&m_cinfo);
    }

    void Initialize(FILE* file) override
    {
        if (setjmp(m_err.jump))
            Fail();
        jpeg_stdio_dest(&m_cinfo, file);
    }

    void SetQuality(float quality) override
    {
        m_quality = std::clamp(static_cast<int>(std::lround(quality * 100)), 1, 100);
    }

    void SetSize(int32_t width, int32_t height) override
    {
        if (width <= 0 || height <= 0 || width > JPEG_MAX_DIMENSION || height > JPEG_MAX_DIMENSION)
            throw CEncoderError("Maximum supported image dimension is " + std::to_string(JPEG_MAX_DIMENSION) +
                                " pixels");
        m_cinfo.image_width = JDIMENSION(width);
        m_cinfo.image_height = JDIMENSION(height);
    }

    void SetResolution(double dpiX, double dpiY) override
    {
        m_dpiX = dpiX;
        m_dpiY = dpiY;
    }

    bool SetPixelFormat(ImgFormat format) override
    {
        switch (format) {
        case ImgFormat::BGR24: m_cinfo.in_color_space = JCS_EXT_BGR, m_cinfo.input_components = 3; break;
        case ImgFormat::MONO8: m_cinfo.in_color_space = JCS_GRAYSCALE, m_cinfo.input_components = 1; break;
        case ImgFormat::CMYK32: m_cinfo.in_color_space = JCS_CMYK, m_cinfo.input_components = 4; break;
        default: return false;
        }
        if (setjmp(m_err.jump))
            Fail();
        jpeg_set_defaults(&m_cinfo);
        jpeg_set_quality(&m_cinfo, m_quality, TRUE);
        if (m_dpiX > 0 && m_dpiY > 0) {
            m_cinfo.density_unit = 1;  // dots per inch
            m_cinfo.X_density = Density(m_dpiX);
            m_cinfo.Y_density = Density(m_dpiY);
        }
        return true;
    }

    void SetColorProfile(const std::vector<uint8_t>& icc) override
    {
        Start();
        if (setjmp(m_err.jump))
            Fail();
        jpeg_write_icc_profile(&m_cinfo, icc.data(), static_cast<unsigned>(icc.size()));
    }

    void WriteSource(const CImgSource& source) override
    {
        Start();
        constexpr int kBatch = 16;
        JSAMPROW rows[kBatch];
        if (setjmp(m_err.jump))
            Fail();
        while (m_cinfo.next_scanline < m_cinfo.image_height) {
            const JDIMENSION first = m_cinfo.next_scanline;
            const JDIMENSION count = std::min<JDIMENSION>(kBatch, m_cinfo.image_height - first);
            for (JDIMENSION i = 0; i < count; ++i)
                rows[i] = const_cast<JSAMPROW>(source.Row(int32_t(first + i)));
            jpeg_write_scanlines(&m_cinfo, rows, count);
        }
    }

    void CommitFrame() override
    {
        if (setjmp(m_err.jump))
            Fail();
        jpeg_finish_compress(&m_cinfo);
    }

private:
    void Start()
    {
        if (m_started)
            return;
        if (setjmp(m_err.jump))
            Fail();
        jpeg_start_compress(&m_cinfo, TRUE);
        m_started = true;
    }

    static UINT16 Density(double dpi) { return UINT16(std::clamp(std::lround(dpi), 1L, 65535L)); }

    [[noreturn]] void Fail() { throw CEncoderError(m_err.text); }

    jpeg_compress_struct m_cinfo{};
    JpegErrorMgr m_err{};
    bool m_created = false;
    bool m_started = false;
    int m_quality = 100;
    double m_dpiX = 0, m_dpiY = 0;
};

}  // namespace

std::unique_ptr<CImgEncoder> CreateJpegEncoder() { return std::make_unique<CJpegEncoder>(); }
