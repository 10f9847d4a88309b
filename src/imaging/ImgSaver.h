#pragma once
#include "imaging/Img.h"
#include "imaging/ImgEncoder.h"
#include "common/Terminable.h"

#include <optional>
#include <string>

class CAtomicFile;

namespace wic {

// Writes one image as a JPEG, PNG, TIFF or BMP file. The file appears under
// its name only once it is complete (see CAtomicFile).
class CImgSaver : public CCanTerminate {
public:
    // Bit 0: do not embed the image's colour profile.
    static constexpr uint32_t kNoColorProfile = 1;

    ImgContainer container = ImgContainer::Jpeg;
    uint32_t flags = 0;
    // The pixel layout of the file; none means the image's own. The pixels
    // are never converted, so another layout is refused with 59099.
    std::optional<ImgFormat> targetFormat;
    // 0..1; 1.0 is the encoder's highest quality (libjpeg quality 100).
    float jpegQuality = 1.0f;
    CEncoderTuning tuning;

    // Raises the message of the step that failed, with the library's text;
    // 58986 with the path when the file cannot be created, 58725 when the
    // cancel source says stop.
    virtual void Save(const CImg& image, const std::string& path);
    // The same into a file made by the caller (standard output), committed here.
    void SaveTo(const CImg& image, CAtomicFile& file);
};

}  // namespace wic
