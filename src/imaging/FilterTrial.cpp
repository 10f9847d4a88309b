#include "imaging/FilterTrial.h"

#include "imaging/ImgSource.h"

#include <zlib.h>

#include <algorithm>
#include <vector>

namespace {

constexpr int kBands = 8;
constexpr int kRowsPerBand = 16;

uLong CompressedSize(const std::vector<uint8_t>& data, int level)
{
    std::vector<uint8_t> out(compressBound(uLong(data.size())));
    uLongf size = uLongf(out.size());
    if (compress2(out.data(), &size, data.data(), uLong(data.size()), level) != Z_OK)
        return uLong(data.size());
    return size;
}

}  // namespace

bool DifferencingPays(const CImgSource& source, int zlibLevel)
{
    const CImg* image = source.Image();
    if (!image || image->Bits() < 8)
        return false;
    const size_t bpp = size_t(image->Bits()) / 8;
    const size_t rowBytes = source.RowBytes();
    const int32_t height = source.Height();
    const int bands = std::min(kBands, std::max(1, height / kRowsPerBand));
    std::vector<uint8_t> plain, differenced;
    for (int b = 0; b < bands; ++b) {
        const int32_t first = int32_t(int64_t(height) * (2 * b + 1) / (2 * bands));
        const int32_t last = std::min(height, first + kRowsPerBand);
        for (int32_t y = first; y < last; ++y) {
            const uint8_t* row = source.Row(y);
            plain.insert(plain.end(), row, row + rowBytes);
            for (size_t i = 0; i < rowBytes; ++i)
                differenced.push_back(uint8_t(row[i] - (i >= bpp ? row[i - bpp] : 0)));
        }
    }
    return CompressedSize(differenced, zlibLevel) < CompressedSize(plain, zlibLevel);
}
