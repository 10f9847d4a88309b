// TIFF through libtiff, written strip by strip through the file's descriptor.
// TIFF keeps colour samples in RGB order, so each strip's rows are reordered
// into one strip buffer on the way. libtiff goes back to write each strip's
// place in the file: a pipe or FIFO, which cannot go back, gets the file
// made in memory first.
#include "imaging/FilterTrial.h"
#include "imaging/ImgEncoder.h"
#include "imaging/ImgSource.h"

#include <tiffio.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

namespace {

constexpr size_t kStripBytes = 256 << 10;

class CTiffEncoder : public CImgEncoder {
public:
    explicit CTiffEncoder(const CEncoderTuning& tuning) : m_tuning(tuning) {}
    ~CTiffEncoder() override
    {
        if (m_tif)
            TIFFCleanup(m_tif);
    }

    void Initialize(FILE* file) override
    {
        m_fd = fileno(file);
        m_inMemory = ::lseek(m_fd, 0, SEEK_CUR) < 0 && errno == ESPIPE;
        TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
        TIFFOpenOptionsSetErrorHandlerExtR(options, ErrorHandler, this);
        TIFFOpenOptionsSetWarningHandlerExtR(options, WarningHandler, this);
        m_tif = TIFFClientOpenExt("image", "w", this, ReadProc, WriteProc, SeekProc, CloseProc, SizeProc, MapProc,
                                  UnmapProc, options);
        TIFFOpenOptionsFree(options);
        Check(m_tif != nullptr);
    }

    void SetSize(int32_t width, int32_t height) override
    {
        m_width = width;
        m_height = height;
        Check(TIFFSetField(m_tif, TIFFTAG_IMAGEWIDTH, uint32_t(width)) &&
              TIFFSetField(m_tif, TIFFTAG_IMAGELENGTH, uint32_t(height)));
    }

    void SetResolution(double dpiX, double dpiY) override
    {
        Check(TIFFSetField(m_tif, TIFFTAG_XRESOLUTION, dpiX) && TIFFSetField(m_tif, TIFFTAG_YRESOLUTION, dpiY) &&
              TIFFSetField(m_tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH));
    }

    bool SetPixelFormat(ImgFormat format) override
    {
        uint16_t samples = 0, photometric = PHOTOMETRIC_RGB, bits = 8;
        bool alpha = false;
        switch (format) {
        case ImgFormat::BGR24: samples = 3, m_swapRB = true; break;
        case ImgFormat::BGRA32: samples = 4, alpha = true, m_swapRB = true; break;
        case ImgFormat::CMYK32: samples = 4, photometric = PHOTOMETRIC_SEPARATED; break;
        case ImgFormat::CMYKA40: samples = 5, photometric = PHOTOMETRIC_SEPARATED, alpha = true; break;
        case ImgFormat::MONO8: samples = 1, photometric = PHOTOMETRIC_MINISBLACK; break;
        case ImgFormat::MONO1: samples = 1, photometric = PHOTOMETRIC_MINISBLACK, bits = 1; break;
        default: return false;
        }
        m_samples = samples;
        m_rowBytes = (size_t(ImgFormatBits(format)) * size_t(m_width) + 7) / 8;
        m_rowsPerStrip = uint32_t(std::clamp<size_t>(kStripBytes / m_rowBytes, 1, size_t(m_height)));
        bool ok = TIFFSetField(m_tif, TIFFTAG_SAMPLESPERPIXEL, samples) &&
                  TIFFSetField(m_tif, TIFFTAG_BITSPERSAMPLE, bits) &&
                  TIFFSetField(m_tif, TIFFTAG_PHOTOMETRIC, photometric) &&
                  TIFFSetField(m_tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG) &&
                  TIFFSetField(m_tif, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT) &&
                  TIFFSetField(m_tif, TIFFTAG_ROWSPERSTRIP, m_rowsPerStrip) &&
                  TIFFSetField(m_tif, TIFFTAG_COMPRESSION, uint16_t(m_tuning.tiffCompression));
        if (ok && photometric == PHOTOMETRIC_SEPARATED)
            ok = TIFFSetField(m_tif, TIFFTAG_INKSET, INKSET_CMYK);
        if (ok && alpha) {
            const uint16_t extra[] = {EXTRASAMPLE_UNASSALPHA};
            ok = TIFFSetField(m_tif, TIFFTAG_EXTRASAMPLES, 1, extra);
        }
        m_predictable = m_tuning.tiffCompression != COMPRESSION_NONE && bits == 8;
        if (ok && (m_tuning.tiffCompression == COMPRESSION_ADOBE_DEFLATE ||
                   m_tuning.tiffCompression == COMPRESSION_DEFLATE))
            ok = TIFFSetField(m_tif, TIFFTAG_ZIPQUALITY, m_tuning.tiffLevel);
        Check(ok);
        return true;
    }

    void SetColorProfile(const std::vector<uint8_t>& icc) override
    {
        Check(TIFFSetField(m_tif, TIFFTAG_ICCPROFILE, uint32_t(icc.size()), icc.data()));
    }

    void WriteSource(const CImgSource& source) override
    {
        const bool predict = m_predictable && (m_tuning.tiffPredictor == CEncoderTuning::kAuto
                                                   ? DifferencingPays(source, m_tuning.tiffLevel)
                                                   : m_tuning.tiffPredictor != 0);
        if (predict)
            Check(TIFFSetField(m_tif, TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL));
        const size_t stripBytes = m_rowBytes * m_rowsPerStrip;
        std::unique_ptr<uint8_t[]> strip(new (std::nothrow) uint8_t[stripBytes]);
        if (!strip)
            throw CEncoderError(std::strerror(ENOMEM), ENOMEM);
        uint32_t index = 0;
        for (int32_t top = 0; top < m_height; top += int32_t(m_rowsPerStrip), ++index) {
            const int32_t rows = std::min<int32_t>(int32_t(m_rowsPerStrip), m_height - top);
            for (int32_t r = 0; r < rows; ++r)
                CopyRow(source.Row(top + r), strip.get() + m_rowBytes * size_t(r));
            Check(TIFFWriteEncodedStrip(m_tif, index, strip.get(), tmsize_t(m_rowBytes * size_t(rows))) >= 0);
        }
    }

    void CommitFrame() override { Check(TIFFFlush(m_tif) != 0); }

    void Commit() override
    {
        TIFFCleanup(m_tif);
        m_tif = nullptr;
        if (m_inMemory && WriteAll(this, m_memory.data(), tmsize_t(m_memory.size())) < 0)
            Check(false);
    }

private:
    void CopyRow(const uint8_t* src, uint8_t* dst) const
    {
        if (!m_swapRB) {
            std::memcpy(dst, src, m_rowBytes);
            return;
        }
        const size_t step = m_samples;
        for (int32_t x = 0; x < m_width; ++x, src += step, dst += step) {
            dst[0] = src[2], dst[1] = src[1], dst[2] = src[0];
            if (step == 4)
                dst[3] = src[3];
        }
    }

    void Check(bool ok)
    {
        if (ok)
            return;
        const std::string text = m_text.empty() ? std::string("libtiff error") : m_text;
        throw CEncoderError(text, m_errno);
    }

    static int ErrorHandler(TIFF*, void* data, const char* module, const char* fmt, va_list ap)
    {
        auto* self = static_cast<CTiffEncoder*>(data);
        char text[512];
        std::vsnprintf(text, sizeof text, fmt, ap);
        self->m_text = text;
        return 1;
    }
    static int WarningHandler(TIFF*, void*, const char*, const char*, va_list) { return 1; }

    static tmsize_t ReadProc(thandle_t h, void* buffer, tmsize_t size)
    {
        auto* self = static_cast<CTiffEncoder*>(h);
        if (!self->m_inMemory)
            return ::read(self->m_fd, buffer, size_t(size));
        const size_t from = std::min(self->m_at, self->m_memory.size());
        const size_t n = std::min(size_t(size), self->m_memory.size() - from);
        std::memcpy(buffer, self->m_memory.data() + from, n);
        self->m_at = from + n;
        return tmsize_t(n);
    }
    static tmsize_t WriteProc(thandle_t h, void* buffer, tmsize_t size)
    {
        auto* self = static_cast<CTiffEncoder*>(h);
        if (!self->m_inMemory)
            return WriteAll(self, buffer, size);
        try {
            if (self->m_memory.size() < self->m_at + size_t(size))
                self->m_memory.resize(self->m_at + size_t(size));
        } catch (const std::bad_alloc&) {
            self->m_errno = ENOMEM;
            self->m_text = std::strerror(ENOMEM);
            return -1;
        }
        std::memcpy(self->m_memory.data() + self->m_at, buffer, size_t(size));
        self->m_at += size_t(size);
        return size;
    }
    static tmsize_t WriteAll(CTiffEncoder* self, const void* buffer, tmsize_t size)
    {
        const auto* p = static_cast<const uint8_t*>(buffer);
        tmsize_t done = 0;
        while (done < size) {
            const ssize_t n = ::write(self->m_fd, p + done, size_t(size - done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                self->m_errno = errno;
                self->m_text = std::strerror(errno);
                return -1;
            }
            done += n;
        }
        return done;
    }
    static toff_t SeekProc(thandle_t h, toff_t offset, int whence)
    {
        auto* self = static_cast<CTiffEncoder*>(h);
        if (!self->m_inMemory)
            return toff_t(::lseek(self->m_fd, off_t(offset), whence));
        const size_t base = whence == SEEK_CUR ? self->m_at : whence == SEEK_END ? self->m_memory.size() : 0;
        self->m_at = base + size_t(offset);
        return toff_t(self->m_at);
    }
    static int CloseProc(thandle_t) { return 0; }
    static toff_t SizeProc(thandle_t h)
    {
        auto* self = static_cast<CTiffEncoder*>(h);
        if (self->m_inMemory)
            return toff_t(self->m_memory.size());
        struct stat st {};
        return ::fstat(self->m_fd, &st) == 0 ? toff_t(st.st_size) : 0;
    }
    static int MapProc(thandle_t, void**, toff_t*) { return 0; }
    static void UnmapProc(thandle_t, void*, toff_t) {}

    CEncoderTuning m_tuning;
    TIFF* m_tif = nullptr;
    int m_fd = -1;
    // The file made in memory for a descriptor that cannot seek.
    bool m_inMemory = false;
    std::vector<uint8_t> m_memory;
    size_t m_at = 0;
    int32_t m_width = 0, m_height = 0;
    size_t m_rowBytes = 0;
    uint32_t m_rowsPerStrip = 1;
    uint16_t m_samples = 3;
    bool m_swapRB = false;
    bool m_predictable = false;
    std::string m_text;
    int m_errno = 0;
};

}  // namespace

std::unique_ptr<CImgEncoder> CreateTiffEncoder(const CEncoderTuning& tuning)
{
    return std::make_unique<CTiffEncoder>(tuning);
}
