#include "imaging/ImgSaver.h"

#include "errors/Exception.h"
#include "common/AtomicFile.h"
#include "common/PhaseLog.h"
#include "imaging/ImgSource.h"

#include <functional>

namespace wic {

namespace {

// Runs one step of the encoder; its failure becomes message `msgId` with
// the library's own text as the insert.
void Step(uint32_t msgId, const std::function<void()>& step)
{
    try {
        step();
    } catch (const CEncoderError& e) {
        throw my::CException(msgId, SysErr{e.Code(), e.what()});
    } catch (const std::bad_alloc&) {
        throw my::CException(msgId, SysErr::FromErrno(ENOMEM));
    }
}

std::unique_ptr<CImgEncoder> CreateEncoder(ImgContainer container, const CEncoderTuning& tuning)
{
    switch (container) {
    case ImgContainer::Jpeg: return CreateJpegEncoder();
    case ImgContainer::Png: return CreatePngEncoder(tuning);
    case ImgContainer::Tiff: return CreateTiffEncoder(tuning);
    case ImgContainer::Bmp: return CreateBmpEncoder();
    }
    throw CEncoderError("Unknown container format");
}

bool ProfileMatches(const std::vector<uint8_t>& icc, ImgFormat format)
{
    // The colour space signature of an ICC profile sits at bytes 16-19.
    if (icc.size() < 128)
        return false;
    const std::string space(reinterpret_cast<const char*>(icc.data()) + 16, 4);
    switch (ImgFormatColorSpace(format)) {
    case ImgColorSpace::Rgb: return space == "RGB ";
    case ImgColorSpace::Grey: return space == "GRAY";
    case ImgColorSpace::Cmyk: return space == "CMYK";
    default: return false;
    }
}

}  // namespace

void CImgSaver::Save(const CImg& image, const std::string& path)
{
    CAtomicFile file(path);
    SaveTo(image, file);
}

void CImgSaver::SaveTo(const CImg& image, CAtomicFile& file)
{
    FILE* stream = file.Stream();

    std::unique_ptr<CImgEncoder> encoder;
    Step(59091, [&] { encoder = CreateEncoder(container, tuning); });
    Step(59092, [&] { encoder->Initialize(stream); });
    if (IsTerminated())
        throw my::CException(58725);
    Step(59094, [&] { encoder->CreateFrame(); });
    if (container == ImgContainer::Jpeg)
        encoder->SetQuality(jpegQuality);
    Step(59095, [&] { encoder->InitializeFrame(); });
    Step(59096, [&] { encoder->SetSize(image.Width(), image.Height()); });
    if (image.dpiX != 0 && image.dpiY != 0)
        Step(59097, [&] { encoder->SetResolution(image.dpiX, image.dpiY); });

    const ImgFormat format = targetFormat.value_or(image.Type());
    bool accepted = false;
    if (format == image.Type())
        Step(59098, [&] { accepted = encoder->SetPixelFormat(format); });
    if (!accepted)
        throw my::CException(59099);

    if (!(flags & kNoColorProfile) && image.profile && ProfileMatches(*image.profile, format))
        Step(59100, [&] { encoder->SetColorProfile(*image.profile); });

    const CImgSource source(&image);
    Step(59102, [&] { encoder->WriteSource(source); });
    Step(59104, [&] { encoder->CommitFrame(); });
    Step(59105, [&] { encoder->Commit(); });
    encoder.reset();
    MarkPhase("encoding");
    file.Commit();
    MarkPhase("file written");
}

}  // namespace wic
