#pragma once
#include "bitmap/DibSection.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// A 24-bit capture whose pixel (x, y), counted from the top, is colour(x, y)
// as 0xRRGGBB; the pels per metre go into the header.
CDibSectionPtr MakeCapture(int width, int height, const std::function<uint32_t(int, int)>& colour,
                           int32_t ppmX = 0, int32_t ppmY = 0);

// Every pixel of an image file, decoded by GdkPixbuf, as 0xRRGGBB rows from the top.
struct CDecoded {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
    uint32_t At(int x, int y) const { return pixels[size_t(y) * width + x]; }
};
bool DecodeImageFile(const std::string& path, CDecoded& out);

// A fresh folder under the system's temporary folder, removed with all its
// files at the end of the test.
class CTempFolder {
public:
    CTempFolder();
    ~CTempFolder();
    const std::string& Path() const { return m_path; }
    std::string File(const std::string& name) const { return m_path + "/" + name; }
    // The names in the folder, sorted.
    std::vector<std::string> Names() const;

private:
    std::string m_path;
};

std::string ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::string& data);
