#include "imaging/PngBands.h"

#include "common/Parallel.h"
#include "imaging/ImgEncoder.h"
#include "imaging/ImgSource.h"

#include <zlib.h>

#include <algorithm>
#include <exception>

namespace {

constexpr size_t kWindow = 32768;  // deflate's dictionary, the most a band can refer back

// One row as PNG stores it: the filter type byte, then the samples in PNG's
// order, differenced with the pixel to the left for SUB.
void FilterRow(const uint8_t* row, size_t rowBytes, const CPngBandsRequest& request, uint8_t* out)
{
    const size_t bpp = request.bytesPerPixel;
    out[0] = request.sub ? 1 : 0;
    uint8_t* samples = out + 1;
    if (request.swapRedBlue && bpp >= 3) {
        for (size_t i = 0; i + bpp <= rowBytes; i += bpp) {
            samples[i] = row[i + 2];
            samples[i + 1] = row[i + 1];
            samples[i + 2] = row[i];
            if (bpp == 4)
                samples[i + 3] = row[i + 3];
        }
    } else {
        std::copy(row, row + rowBytes, samples);
    }
    if (request.sub)
        for (size_t i = rowBytes; i-- > bpp;)
            samples[i] = uint8_t(samples[i] - samples[i - bpp]);
}

struct CBand {
    int32_t first = 0, last = 0;  // rows
    bool final = false;
    std::vector<uint8_t> out;
    uLong adler = 1;
    size_t length = 0;  // filtered bytes fed in
    std::exception_ptr error;
};

void CompressBand(const CImgSource& source, const CPngBandsRequest& request, CBand& band)
{
    const size_t rowBytes = source.RowBytes();
    std::vector<uint8_t> filtered(rowBytes + 1);
    z_stream z{};
    if (deflateInit2(&z, request.level, Z_DEFLATED, -15, 8, request.strategy) != Z_OK)
        throw CEncoderError("deflateInit2 failed");
    struct Ender {
        z_stream* z;
        ~Ender() { deflateEnd(z); }
    } ender{&z};

    // The rows just before the band, filtered as they are written, are the
    // dictionary: the band may refer back into them like one stream would.
    if (band.first > 0) {
        const int32_t rows = int32_t(std::min<size_t>(size_t(band.first), kWindow / (rowBytes + 1) + 1));
        std::vector<uint8_t> dictionary;
        dictionary.reserve(size_t(rows) * (rowBytes + 1));
        for (int32_t y = band.first - rows; y < band.first; ++y) {
            FilterRow(source.Row(y), rowBytes, request, filtered.data());
            dictionary.insert(dictionary.end(), filtered.begin(), filtered.end());
        }
        const size_t keep = std::min(dictionary.size(), kWindow);
        if (deflateSetDictionary(&z, dictionary.data() + dictionary.size() - keep, uInt(keep)) != Z_OK)
            throw CEncoderError("deflateSetDictionary failed");
    }

    // Grown as needed: a plain page compresses to a hundredth of its size.
    band.out.resize(size_t{1} << 20);
    const auto deflateAll = [&](int flush) {
        do {
            if (z.total_out == band.out.size())
                band.out.resize(band.out.size() * 2);
            z.next_out = band.out.data() + z.total_out;
            z.avail_out = uInt(std::min<size_t>(band.out.size() - z.total_out, 1u << 30));
            const int result = deflate(&z, flush);
            if (result == Z_STREAM_ERROR)
                throw CEncoderError("deflate failed");
            if (flush == Z_FINISH ? result == Z_STREAM_END : (z.avail_in == 0 && z.avail_out != 0))
                break;
        } while (true);
    };
    for (int32_t y = band.first; y < band.last; ++y) {
        FilterRow(source.Row(y), rowBytes, request, filtered.data());
        band.adler = adler32_z(band.adler, filtered.data(), filtered.size());
        band.length += filtered.size();
        z.next_in = filtered.data();
        z.avail_in = uInt(filtered.size());
        deflateAll(Z_NO_FLUSH);
    }
    // A band that is not the last ends on a byte boundary, so the next one's
    // bytes follow straight on.
    deflateAll(band.final ? Z_FINISH : Z_SYNC_FLUSH);
    band.out.resize(z.total_out);
}

// The two bytes before the deflate data: a 32 KB window, the level class.
void ZlibHeader(int level, uint8_t header[2])
{
    const int levelClass = level < 0 || level == 6 ? 2 : level <= 1 ? 0 : level < 6 ? 1 : 3;
    header[0] = 0x78;
    header[1] = uint8_t(levelClass << 6);
    header[1] = uint8_t(header[1] + (31 - (header[0] * 256 + header[1]) % 31) % 31);
}

}  // namespace

int PngBandThreads(size_t bytes)
{
    constexpr size_t kMinBytesPerThread = size_t{4} << 20;
    return int(std::clamp<size_t>(bytes / kMinBytesPerThread, 1, size_t(ParallelThreads())));
}

void CompressPngBands(const CImgSource& source, const CPngBandsRequest& request,
                      const std::function<void(const uint8_t* data, size_t size)>& write)
{
    const int32_t height = source.Height();
    const int count = std::clamp(request.threads, 1, std::max(1, height));
    std::vector<CBand> bands(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        bands[size_t(i)].first = int32_t(int64_t(height) * i / count);
        bands[size_t(i)].last = int32_t(int64_t(height) * (i + 1) / count);
    }
    bands.back().final = true;

    RunInParallel(count, [&](int i) {
        try {
            CompressBand(source, request, bands[size_t(i)]);
        } catch (...) {
            bands[size_t(i)].error = std::current_exception();
        }
    });
    for (const CBand& band : bands)
        if (band.error)
            std::rethrow_exception(band.error);

    uint8_t header[2];
    ZlibHeader(request.level, header);
    write(header, 2);
    uLong adler = bands[0].adler;
    for (size_t i = 0; i < bands.size(); ++i) {
        if (i > 0)
            adler = adler32_combine(adler, bands[i].adler, z_off_t(bands[i].length));
        write(bands[i].out.data(), bands[i].out.size());
    }
    const uint8_t trailer[4] = {uint8_t(adler >> 24), uint8_t(adler >> 16), uint8_t(adler >> 8), uint8_t(adler)};
    write(trailer, 4);
}
