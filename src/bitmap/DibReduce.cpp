#include "bitmap/DibReduce.h"

#include <algorithm>
#include <vector>

CDibSectionPtr ReduceDib(const CDib& dib, const CRect& area, int32_t factor)
{
    const int bytes = dib.BitCount() / 8;
    const CRect a{std::max(area.left, 0), std::max(area.top, 0), std::min(area.right, dib.Width()),
                  std::min(area.bottom, dib.Height())};
    if (!dib.IsValid() || (bytes != 3 && bytes != 4) || a.IsEmpty() || factor < 1)
        return nullptr;
    const int32_t width = (a.Width() + factor - 1) / factor;
    const int32_t height = (a.Height() + factor - 1) / factor;
    CDibSectionPtr reduced = CDibSection::New(width, height, 24);
    if (!reduced)
        return nullptr;
    std::vector<uint32_t> sums(size_t(width) * 3);
    for (int32_t y = 0; y < height; ++y) {
        std::fill(sums.begin(), sums.end(), 0);
        const int32_t top = a.top + y * factor;
        const int32_t rows = std::min(factor, a.bottom - top);
        for (int32_t sy = top; sy < top + rows; ++sy) {
            const uint8_t* src = dib.RowFromTop(sy) + size_t(a.left) * bytes;
            uint32_t* sum = sums.data();
            for (int32_t x = 0; x < a.Width(); sum += 3) {
                const int32_t end = std::min(a.Width(), x + factor);
                for (; x < end; ++x, src += bytes) {
                    sum[0] += src[0];
                    sum[1] += src[1];
                    sum[2] += src[2];
                }
            }
        }
        uint8_t* out = reduced->RowFromTop(y);
        for (int32_t x = 0; x < width; ++x) {
            const uint32_t count = uint32_t(rows) * uint32_t(std::min(factor, a.Width() - x * factor));
            for (int c = 0; c < 3; ++c)
                out[x * 3 + c] = uint8_t((sums[size_t(x) * 3 + c] + count / 2) / count);
        }
    }
    return reduced;
}
