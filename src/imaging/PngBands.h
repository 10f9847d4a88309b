#pragma once
#include <cstdint>
#include <functional>
#include <vector>

class CImgSource;

// How the rows of a PNG are compressed in bands, one thread per band.
struct CPngBandsRequest {
    size_t bytesPerPixel = 3;  // 1, 3 or 4 bytes of 8 bits each
    bool swapRedBlue = false;  // the rows hold B, G, R (and A): PNG wants R first
    bool sub = false;          // PNG's SUB filter on every row, else NONE
    int level = 2;             // zlib level
    int strategy = 0;          // zlib strategy
    int threads = 1;
};

// Compresses the image's rows into the zlib stream of a PNG's IDAT chunks,
// handing it out in pieces, in order, through `write`. The rows are split
// into one band per thread; each band is compressed on its own, with the end
// of the band before it as its dictionary, and ends on a byte boundary, so the
// pieces joined are one stream, as a single-threaded encoder would make with
// a flush between the bands (a file a fraction of a percent larger). Throws
// CEncoderError when zlib fails, and what `write` throws.
void CompressPngBands(const CImgSource& source, const CPngBandsRequest& request,
                      const std::function<void(const uint8_t* data, size_t size)>& write);

// The threads worth using for an image of `bytes` bytes of rows: one below
// a few megabytes, where starting threads costs more than it saves.
int PngBandThreads(size_t bytes);
