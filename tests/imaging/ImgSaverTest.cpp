#include "ImagingTestUtil.h"
#include "imaging/ImgSaver.h"
#include "imaging/ImgSource.h"
#include "imaging/PngBands.h"

#include <gtest/gtest.h>
#include <jpeglib.h>
#include <png.h>
#include <tiffio.h>
#include <zlib.h>

#include <cmath>
#include <cstring>
#include <tuple>

namespace {

struct Format {
    ImgContainer container;
    const char* extension;
};

const Format kFormats[] = {{ImgContainer::Jpeg, "jpg"}, {ImgContainer::Png, "png"}, {ImgContainer::Tiff, "tif"},
                           {ImgContainer::Bmp, "bmp"}};

// Every pixel different, rows told apart by brightness; the hue stays the
// same, so JPEG's halved chroma resolution costs nothing.
uint32_t Colour(int x, int y)
{
    const uint32_t v = uint32_t(30 + 15 * x + 20 * y);
    return (v + 12) << 16 | v << 8 | (v - 20);
}

std::string Save(const CImg& img, const std::string& path, ImgContainer container)
{
    wic::CImgSaver saver;
    saver.container = container;
    saver.Save(img, path);
    return path;
}

std::string RoundTripName(const testing::TestParamInfo<std::tuple<Format, std::pair<int, int>>>& info)
{
    const Format format = std::get<0>(info.param);
    const std::pair<int, int> size = std::get<1>(info.param);
    return std::string(format.extension) + "_" + std::to_string(size.first) + "x" + std::to_string(size.second);
}

class RoundTripTest : public testing::TestWithParam<std::tuple<Format, std::pair<int, int>>> {
protected:
    CTempFolder folder;
};

TEST_P(RoundTripTest, PixelsComeBackUpright)
{
    const auto [format, size] = GetParam();
    const auto [width, height] = size;
    CDibSectionPtr dib = MakeCapture(width, height, Colour);
    const std::string path = Save(*MakeImgFromDib(dib), folder.File(std::string("map.") + format.extension),
                                  format.container);
    CDecoded decoded;
    ASSERT_TRUE(DecodeImageFile(path, decoded));
    ASSERT_EQ(decoded.width, width);
    ASSERT_EQ(decoded.height, height);
    const int tolerance = format.container == ImgContainer::Jpeg ? 4 : 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int shift : {0, 8, 16}) {
                const int got = int(decoded.At(x, y) >> shift & 0xFF);
                const int want = int(Colour(x, y) >> shift & 0xFF);
                ASSERT_LE(std::abs(got - want), tolerance) << x << "," << y << " shift " << shift;
            }
    EXPECT_EQ(folder.Names(), std::vector<std::string>{std::string("map.") + format.extension}) << "no temporary left";
}

INSTANTIATE_TEST_SUITE_P(Formats, RoundTripTest,
                         testing::Combine(testing::ValuesIn(kFormats),
                                          testing::Values(std::pair{1, 1}, std::pair{5, 3}, std::pair{7, 6})),
                         RoundTripName);

TEST(ImgSaverTest, PngRowsCarryNoPadding)
{
    CTempFolder folder;
    const std::string path = Save(*MakeImgFromDib(MakeCapture(5, 3, Colour)), folder.File("a.png"), ImgContainer::Png);
    FILE* f = std::fopen(path.c_str(), "rb");
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_init_io(png, f);
    png_read_info(png, info);
    EXPECT_EQ(png_get_rowbytes(png, info), 15u);
    EXPECT_EQ(png_get_color_type(png, info), PNG_COLOR_TYPE_RGB);
    EXPECT_EQ(png_get_bit_depth(png, info), 8);
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(f);
}

TEST(ImgSaverTest, TiffAndBmpRowSizes)
{
    CTempFolder folder;
    std::shared_ptr<CImg> img = MakeImgFromDib(MakeCapture(5, 3, Colour));
    TIFF* tif = TIFFOpen(Save(*img, folder.File("a.tif"), ImgContainer::Tiff).c_str(), "r");
    ASSERT_NE(tif, nullptr);
    EXPECT_EQ(TIFFScanlineSize(tif), 15);
    uint16_t samples = 0, photometric = 0;
    TIFFGetField(tif, TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric);
    EXPECT_EQ(samples, 3);
    EXPECT_EQ(photometric, PHOTOMETRIC_RGB);
    TIFFClose(tif);

    // A BMP keeps 4-byte rows by its own rules: headers + 3 rows of 16 bytes.
    const std::string bmp = ReadWholeFile(Save(*img, folder.File("a.bmp"), ImgContainer::Bmp));
    EXPECT_EQ(bmp.size(), 14u + 40 + 3 * 16);
    EXPECT_EQ(bmp.substr(0, 2), "BM");
}

struct JpegInfo {
    int densityUnit = -1, xDensity = 0, yDensity = 0;
    bool allOnes = true;
    int tables = 0;
};

JpegInfo ReadJpegInfo(const std::string& path)
{
    JpegInfo info;
    FILE* f = std::fopen(path.c_str(), "rb");
    jpeg_decompress_struct cinfo{};
    jpeg_error_mgr err{};
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_decompress(&cinfo);
    jpeg_stdio_src(&cinfo, f);
    jpeg_read_header(&cinfo, TRUE);
    info.densityUnit = cinfo.density_unit;
    info.xDensity = cinfo.X_density;
    info.yDensity = cinfo.Y_density;
    for (JQUANT_TBL* table : cinfo.quant_tbl_ptrs) {
        if (!table)
            continue;
        ++info.tables;
        for (UINT16 q : table->quantval)
            info.allOnes = info.allOnes && q == 1;
    }
    jpeg_destroy_decompress(&cinfo);
    std::fclose(f);
    return info;
}

TEST(ImgSaverTest, JpegHasTheTablesOfQuality100)
{
    CTempFolder folder;
    const std::string path = Save(*MakeImgFromDib(MakeCapture(16, 16, Colour)), folder.File("q.jpg"), ImgContainer::Jpeg);
    const JpegInfo info = ReadJpegInfo(path);
    EXPECT_EQ(info.tables, 2);
    EXPECT_TRUE(info.allOnes);
    EXPECT_EQ(info.densityUnit, 0) << "no resolution: the library's 1:1 aspect";

    wic::CImgSaver lower;
    lower.jpegQuality = 0.5f;
    lower.Save(*MakeImgFromDib(MakeCapture(16, 16, Colour)), folder.File("q50.jpg"));
    EXPECT_FALSE(ReadJpegInfo(folder.File("q50.jpg")).allOnes);
}

class ResolutionTest : public testing::Test {
protected:
    void SetUp() override { img = MakeImgFromDib(MakeCapture(4, 2, Colour, 3780, 7560)); }
    CTempFolder folder;
    std::shared_ptr<CImg> img;
};

TEST_F(ResolutionTest, JpegDensity)
{
    const JpegInfo info = ReadJpegInfo(Save(*img, folder.File("r.jpg"), ImgContainer::Jpeg));
    EXPECT_EQ(info.densityUnit, 1);
    EXPECT_EQ(info.xDensity, 96);
    EXPECT_EQ(info.yDensity, 192);
}

TEST_F(ResolutionTest, PngPhys)
{
    FILE* f = std::fopen(Save(*img, folder.File("r.png"), ImgContainer::Png).c_str(), "rb");
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_init_io(png, f);
    png_read_info(png, info);
    png_uint_32 x = 0, y = 0;
    int unit = -1;
    ASSERT_TRUE(png_get_pHYs(png, info, &x, &y, &unit));
    EXPECT_EQ(x, 3780u);
    EXPECT_EQ(y, 7560u);
    EXPECT_EQ(unit, PNG_RESOLUTION_METER);
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(f);
}

TEST_F(ResolutionTest, TiffTags)
{
    TIFF* tif = TIFFOpen(Save(*img, folder.File("r.tif"), ImgContainer::Tiff).c_str(), "r");
    float x = 0, y = 0;
    uint16_t unit = 0;
    ASSERT_TRUE(TIFFGetField(tif, TIFFTAG_XRESOLUTION, &x));
    ASSERT_TRUE(TIFFGetField(tif, TIFFTAG_YRESOLUTION, &y));
    TIFFGetField(tif, TIFFTAG_RESOLUTIONUNIT, &unit);
    EXPECT_NEAR(x, 96.012, 1e-3);
    EXPECT_NEAR(y, 192.024, 1e-3);
    EXPECT_EQ(unit, RESUNIT_INCH);
    TIFFClose(tif);
}

TEST_F(ResolutionTest, BmpPelsPerMetre)
{
    const std::string bmp = ReadWholeFile(Save(*img, folder.File("r.bmp"), ImgContainer::Bmp));
    BITMAPINFOHEADER header{};
    std::memcpy(&header, bmp.data() + 14, sizeof header);
    EXPECT_EQ(header.biXPelsPerMeter, 3780);
    EXPECT_EQ(header.biYPelsPerMeter, 7560);
    EXPECT_EQ(header.biHeight, 2) << "bottom-up";
}

TEST_F(ResolutionTest, OnlyBothValuesAreWritten)
{
    img->dpiY = 0;
    FILE* f = std::fopen(Save(*img, folder.File("half.png"), ImgContainer::Png).c_str(), "rb");
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_init_io(png, f);
    png_read_info(png, info);
    EXPECT_FALSE(png_get_valid(png, info, PNG_INFO_pHYs));
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(f);
}

TEST(ImgSaverTest, OtherLayoutsRoundTrip)
{
    CTempFolder folder;
    auto grey = std::make_shared<CDib>();
    ASSERT_TRUE(grey->Create(kInfoHeaderSize, 3, 2, 8, 256));
    ASSERT_TRUE(grey->AllocateBits());
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            grey->RowFromTop(y)[x] = uint8_t(40 * x + 100 * y);
    std::shared_ptr<CImg> img = MakeImgFromDib(grey);
    for (const Format& format : kFormats) {
        const std::string path = Save(*img, folder.File(std::string("grey.") + format.extension), format.container);
        CDecoded decoded;
        ASSERT_TRUE(DecodeImageFile(path, decoded)) << format.extension;
        const int tolerance = format.container == ImgContainer::Jpeg ? 3 : 0;
        EXPECT_LE(std::abs(int(decoded.At(2, 1) & 0xFF) - 180), tolerance) << format.extension;
        EXPECT_LE(std::abs(int(decoded.At(0, 0) >> 16) - 0), tolerance) << format.extension;
    }

    CDibSectionPtr bgra = CDibSection::New(2, 2, 32);
    bgra->RowFromTop(1)[4 + 2] = 200;  // red, alpha 0 in the DIB
    img = MakeImgFromDib(bgra);
    for (ImgContainer container : {ImgContainer::Png, ImgContainer::Tiff, ImgContainer::Bmp}) {
        const std::string path = Save(*img, folder.File("bgra"), container);
        CDecoded decoded;
        ASSERT_TRUE(DecodeImageFile(path, decoded));
        EXPECT_EQ(decoded.At(1, 1), 0xC80000u);
    }
}

}  // namespace

namespace {

// What the bands inflate to, or empty when the stream is not valid zlib (the
// check value at its end included).
std::vector<uint8_t> InflatedBands(const CImg& img, CPngBandsRequest request, size_t expected)
{
    std::vector<uint8_t> stream;
    CompressPngBands(CImgSource(&img), request,
                     [&](const uint8_t* data, size_t size) { stream.insert(stream.end(), data, data + size); });
    std::vector<uint8_t> plain(expected + 1);
    uLongf size = uLongf(plain.size());
    if (uncompress(plain.data(), &size, stream.data(), uLong(stream.size())) != Z_OK)
        return {};
    plain.resize(size);
    return plain;
}

}  // namespace

TEST(ImgSaverTest, RowsCompressedInBandsMakeOneStream)
{
    // Noise enough that every band refers back into the one before it.
    uint32_t seed = 12345;
    const auto noise = [&seed](int x, int y) { return (seed = seed * 1664525u + 1013904223u) >> 8 & ((x + y) % 7 ? 0x0F0F0F : 0xFFFFFF); };
    const std::shared_ptr<CImg> img = MakeImgFromDib(MakeCapture(301, 257, noise));
    const size_t filtered = (301 * 3 + 1) * 257;
    for (bool sub : {false, true}) {
        CPngBandsRequest request;
        request.swapRedBlue = true;
        request.sub = sub;
        const std::vector<uint8_t> single = InflatedBands(*img, request, filtered);
        ASSERT_EQ(single.size(), filtered);
        for (int threads : {3, 7}) {
            request.threads = threads;
            EXPECT_EQ(InflatedBands(*img, request, filtered), single) << threads << " threads, sub " << sub;
        }
    }
}

TEST(ImgSaverTest, LargePngDecodesToThePixels)
{
    // Large enough for the encoder to use its bands on a machine with two cores.
    const int width = 2400, height = 1800;
    CTempFolder folder;
    const std::string path = Save(*MakeImgFromDib(MakeCapture(width, height, Colour)), folder.File("large.png"),
                                  ImgContainer::Png);
    CDecoded decoded;
    ASSERT_TRUE(DecodeImageFile(path, decoded));
    ASSERT_EQ(decoded.width, width);
    ASSERT_EQ(decoded.height, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            ASSERT_EQ(decoded.At(x, y), Colour(x, y) & 0xFFFFFF) << x << "," << y;
}
