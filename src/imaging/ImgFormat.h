#pragma once
#include <string>

// Pixel layouts of an image to be written ("ImgFormat"), in their order.
enum class ImgFormat : int { BGRA32 = 0, BGR24 = 1, CMYKA40 = 2, CMYK32 = 3, MONO8 = 4, MONO1 = 5 };

// Bits per pixel; 0 for a value outside the enumeration.
int ImgFormatBits(ImgFormat format);

// "BGR24" and so on; "ImgFormat::(7)" for a value outside the enumeration.
std::string ImgFormatName(ImgFormat format);

enum class ImgColorSpace { None, Rgb, Grey, Cmyk };
ImgColorSpace ImgFormatColorSpace(ImgFormat format);
