#include "imaging/ImgFormat.h"

namespace {

struct FormatInfo {
    const char* name;
    int bits;
    ImgColorSpace space;
};

constexpr FormatInfo kFormats[] = {
    {"BGRA32", 32, ImgColorSpace::Rgb}, {"BGR24", 24, ImgColorSpace::Rgb},  {"CMYKA40", 40, ImgColorSpace::Cmyk},
    {"CMYK32", 32, ImgColorSpace::Cmyk}, {"MONO8", 8, ImgColorSpace::Grey}, {"MONO1", 1, ImgColorSpace::Grey},
};

const FormatInfo* Info(ImgFormat format)
{
    const int index = static_cast<int>(format);
    return index >= 0 && index < int(std::size(kFormats)) ? &kFormats[index] : nullptr;
}

}  // namespace

int ImgFormatBits(ImgFormat format)
{
    const FormatInfo* info = Info(format);
    return info ? info->bits : 0;
}

std::string ImgFormatName(ImgFormat format)
{
    const FormatInfo* info = Info(format);
    return info ? info->name : "ImgFormat::(" + std::to_string(static_cast<int>(format)) + ")";
}

ImgColorSpace ImgFormatColorSpace(ImgFormat format)
{
    const FormatInfo* info = Info(format);
    return info ? info->space : ImgColorSpace::None;
}
