#pragma once
#include "imaging/ImgFormat.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

class CImgSource;

// A failure inside an encoding library, with the library's own text; the
// writer turns it into the message of the step that failed.
class CEncoderError : public std::runtime_error {
public:
    explicit CEncoderError(const std::string& text, int code = 0) : std::runtime_error(text), m_code(code) {}
    int Code() const { return m_code; }

private:
    int m_code;
};

enum class ImgContainer { Jpeg, Png, Tiff, Bmp };

// Settings the program leaves to the encoders, chosen for speed at a size
// close to that of the libraries' slow defaults (see bench/ImagingBench.cpp).
struct CEncoderTuning {
    static constexpr int kAuto = -1;
    int pngLevel = 2;               // zlib level
    int pngFilters = kAuto;         // PNG_FILTER_* mask; kAuto: NONE or SUB, by trial
    int pngStrategy = kAuto;        // zlib strategy; kAuto: libpng's choice
    int tiffCompression = 8;        // COMPRESSION_ADOBE_DEFLATE
    int tiffLevel = 1;
    int tiffPredictor = kAuto;      // 0 or 1; kAuto: by trial
};

// One encoder writing one frame into an open file. The writer calls the
// steps in this order; each raises CEncoderError on failure.
class CImgEncoder {
public:
    virtual ~CImgEncoder() = default;
    virtual void Initialize(FILE* file) = 0;
    virtual void CreateFrame() {}
    virtual void SetQuality(float quality) {}
    virtual void InitializeFrame() {}
    virtual void SetSize(int32_t width, int32_t height) = 0;
    virtual void SetResolution(double dpiX, double dpiY) = 0;
    // False when the encoder cannot write this layout.
    virtual bool SetPixelFormat(ImgFormat format) = 0;
    virtual void SetColorProfile(const std::vector<uint8_t>& icc) = 0;
    virtual void WriteSource(const CImgSource& source) = 0;
    virtual void CommitFrame() {}
    virtual void Commit() {}
};

std::unique_ptr<CImgEncoder> CreateJpegEncoder();
std::unique_ptr<CImgEncoder> CreatePngEncoder(const CEncoderTuning& tuning);
std::unique_ptr<CImgEncoder> CreateTiffEncoder(const CEncoderTuning& tuning);
std::unique_ptr<CImgEncoder> CreateBmpEncoder();
