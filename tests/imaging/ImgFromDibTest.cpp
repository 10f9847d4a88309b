#include "ImagingTestUtil.h"
#include "errors/Exception.h"
#include "errors/StringTable.h"
#include "imaging/FilterTrial.h"
#include "imaging/Img.h"
#include "imaging/ImgSaver.h"
#include "imaging/ImgSource.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

uint32_t MsgIdOf(const std::function<void()>& body)
{
    try {
        body();
    } catch (const my::CException& e) {
        return e.MsgId();
    }
    return 0;
}

TEST(ImgFromDibTest, CaptureIsViewedTopDownWithoutACopy)
{
    CDibSectionPtr dib = MakeCapture(5, 3, [](int x, int y) { return uint32_t(y * 16 + x); });
    std::shared_ptr<CImg> img = MakeImgFromDib(dib);
    EXPECT_EQ(img->Type(), ImgFormat::BGR24);
    EXPECT_EQ(img->Width(), 5);
    EXPECT_EQ(img->Height(), 3);
    EXPECT_EQ(img->RowBytes(), 15u);
    EXPECT_EQ(img->Stride(), 16u);
    EXPECT_EQ(img->Row(0), dib->RowFromTop(0));
    EXPECT_EQ(img->Row(2), dib->Bits()) << "the bottom row of the DIB is the image's last";
    EXPECT_TRUE(img->IsBottomUpBlock());
    EXPECT_EQ(img->dpiX, 0);
    EXPECT_EQ(img->profile, nullptr);

    std::weak_ptr<CDibSection> weak = dib;
    dib.reset();
    EXPECT_FALSE(weak.expired()) << "the image keeps its DIB";
}

TEST(ImgFromDibTest, OnePixelHasFourByteRows)
{
    std::shared_ptr<CImg> img = MakeImgFromDib(MakeCapture(1, 1, [](int, int) { return 0x123456u; }));
    EXPECT_EQ(img->Stride(), 4u);
    EXPECT_EQ(img->Row(0)[2], 0x12);
}

TEST(ImgFromDibTest, ResolutionComesFromPelsPerMetre)
{
    std::shared_ptr<CImg> img = MakeImgFromDib(MakeCapture(2, 2, [](int, int) { return 0u; }, 3780, 7560));
    EXPECT_NEAR(img->dpiX, 96.012, 1e-9);
    EXPECT_NEAR(img->dpiY, 192.024, 1e-9);
}

TEST(ImgFromDibTest, RefusesWhatItCannotTake)
{
    SetLanguage(UiLanguage::Japanese);
    EXPECT_EQ(MsgIdOf([] { MakeImgFromDib(nullptr); }), 59021u);
    auto noBits = std::make_shared<CDib>();
    ASSERT_TRUE(noBits->Create(kInfoHeaderSize, 2, 2, 24));
    EXPECT_EQ(MsgIdOf([&] { MakeImgFromDib(noBits); }), 59021u);
    CDibSectionPtr v4 = CDibSection::New(2, 2);
    v4->Header()->biSize = 108;
    EXPECT_EQ(MsgIdOf([&] { MakeImgFromDib(v4); }), 59021u);
    try {
        MakeImgFromDib(v4);
        FAIL() << "a header of 108 bytes was accepted";
    } catch (const my::CException& e) {
        EXPECT_EQ(e.Err().text, "未対応の画像フォーマットが指定されました");
    }
}

TEST(ImgFromDibTest, ThirtyTwoBitsGetOpaqueAlphaInACopy)
{
    CDibSectionPtr dib = CDibSection::New(2, 1, 32);
    uint8_t* p = dib->RowFromTop(0);
    p[0] = 1, p[1] = 2, p[2] = 3, p[3] = 0, p[7] = 128;
    std::shared_ptr<CImg> img = MakeImgFromDib(dib);
    EXPECT_EQ(img->Type(), ImgFormat::BGRA32);
    EXPECT_NE(img->Row(0), dib->RowFromTop(0));
    EXPECT_EQ(img->Row(0)[0], 1);
    EXPECT_EQ(img->Row(0)[3], 255);
    EXPECT_EQ(img->Row(0)[7], 255);
    EXPECT_EQ(p[3], 0) << "the DIB itself is left alone";
}

TEST(ImgFromDibTest, GreyPalettesBecomeMono8)
{
    auto identity = std::make_shared<CDib>();
    ASSERT_TRUE(identity->Create(kInfoHeaderSize, 3, 1, 8, 256));
    ASSERT_TRUE(identity->AllocateBits());
    identity->RowFromTop(0)[1] = 77;
    std::shared_ptr<CImg> img = MakeImgFromDib(identity);
    EXPECT_EQ(img->Type(), ImgFormat::MONO8);
    EXPECT_EQ(img->Row(0)[1], 77);

    // An inverted grey table: the grey levels are looked up, not the indexes.
    auto inverted = std::make_shared<CDib>();
    ASSERT_TRUE(inverted->Create(kInfoHeaderSize, 3, 1, 8, 256));
    ASSERT_TRUE(inverted->AllocateBits());
    for (int k = 0; k < 256; ++k)
        inverted->ColorTable()[k] = RGBQUAD{uint8_t(255 - k), uint8_t(255 - k), uint8_t(255 - k), 0};
    inverted->RowFromTop(0)[0] = 10;
    img = MakeImgFromDib(inverted);
    EXPECT_EQ(img->Type(), ImgFormat::MONO8);
    EXPECT_EQ(img->Row(0)[0], 245);
    EXPECT_EQ(img->Row(0)[3], 0) << "padding is cleared";
}

TEST(ImgFromDibTest, ColourPalettesAndOtherDepthsAreDrawnInto24Bits)
{
    auto nibble = std::make_shared<CDib>();
    ASSERT_TRUE(nibble->Create(kInfoHeaderSize, 2, 2, 4));
    ASSERT_TRUE(nibble->AllocateBits());
    nibble->Clear();
    nibble->ColorTable()[3] = RGBQUAD{0x30, 0x20, 0x10, 0};
    nibble->RowFromTop(1)[0] = 0x03;  // bottom line, second pixel
    std::shared_ptr<CImg> img = MakeImgFromDib(nibble);
    EXPECT_EQ(img->Type(), ImgFormat::BGR24);
    const uint8_t expected[] = {0x30, 0x20, 0x10};
    EXPECT_EQ(std::memcmp(img->Row(1) + 3, expected, 3), 0);
    EXPECT_EQ(img->Row(0)[3], 0);

    auto colour8 = std::make_shared<CDib>();
    ASSERT_TRUE(colour8->Create(kInfoHeaderSize, 1, 1, 8, 2));
    ASSERT_TRUE(colour8->AllocateBits());
    colour8->ColorTable()[1] = RGBQUAD{0, 0, 200, 0};
    colour8->RowFromTop(0)[0] = 1;
    img = MakeImgFromDib(colour8);
    EXPECT_EQ(img->Type(), ImgFormat::BGR24);
    EXPECT_EQ(img->Row(0)[2], 200);
}

TEST(ImgFromDibTest, MonochromeKeepsBlackAsZero)
{
    auto make = [](RGBQUAD zero, RGBQUAD one) {
        auto dib = std::make_shared<CDib>();
        dib->Create(kInfoHeaderSize, 8, 1, 1);
        dib->AllocateBits();
        dib->ColorTable()[0] = zero;
        dib->ColorTable()[1] = one;
        dib->RowFromTop(0)[0] = 0xF0;
        return dib;
    };
    std::shared_ptr<CImg> img = MakeImgFromDib(make({0, 0, 0, 0}, {255, 255, 255, 0}));
    EXPECT_EQ(img->Type(), ImgFormat::MONO1);
    EXPECT_EQ(img->Row(0)[0], 0xF0);
    img = MakeImgFromDib(make({255, 255, 255, 0}, {0, 0, 0, 0}));
    EXPECT_EQ(img->Type(), ImgFormat::MONO1);
    EXPECT_EQ(img->Row(0)[0], 0x0F);
    img = MakeImgFromDib(make({0, 0, 255, 0}, {255, 0, 0, 0}));
    EXPECT_EQ(img->Type(), ImgFormat::BGR24);
}

TEST(ImgFromDibTest, V5ProfileTravelsWithTheImage)
{
    auto dib = std::make_shared<CDib>();
    ASSERT_TRUE(dib->Create(kV5HeaderSize, 1, 1, 24, 0, BI_RGB, 4));
    ASSERT_TRUE(dib->AllocateBits());
    std::memcpy(const_cast<uint8_t*>(dib->Profile()), "ICCx", 4);
    std::shared_ptr<CImg> img = MakeImgFromDib(dib);
    ASSERT_NE(img->profile, nullptr);
    EXPECT_EQ(std::string(img->profile->begin(), img->profile->end()), "ICCx");
}

TEST(ImgFormatTest, NamesAndBits)
{
    EXPECT_EQ(ImgFormatName(ImgFormat::BGRA32), "BGRA32");
    EXPECT_EQ(ImgFormatName(ImgFormat::MONO1), "MONO1");
    EXPECT_EQ(ImgFormatName(static_cast<ImgFormat>(7)), "ImgFormat::(7)");
    EXPECT_EQ(ImgFormatName(static_cast<ImgFormat>(-1)), "ImgFormat::(-1)");
    EXPECT_EQ(ImgFormatBits(ImgFormat::CMYKA40), 40);
    EXPECT_EQ(ImgFormatBits(static_cast<ImgFormat>(6)), 0);
}

TEST(ImgSourceTest, CopyPixelsChecksItsBuffer)
{
    std::shared_ptr<CImg> img = MakeImgFromDib(MakeCapture(5, 3, [](int x, int y) { return uint32_t(y << 8 | x); }));
    const CImgSource source(img.get());
    ImgFormat format{};
    EXPECT_EQ(source.GetPixelFormat(format), CImgSource::Status::Ok);
    EXPECT_EQ(format, ImgFormat::BGR24);

    std::vector<uint8_t> buffer(15 * 3);
    EXPECT_EQ(source.CopyPixels(nullptr, 15, buffer.size(), buffer.data()), CImgSource::Status::Ok);
    EXPECT_EQ(buffer[15 * 2 + 1], 2) << "row 2, pixel 0, green";
    EXPECT_EQ(source.CopyPixels(nullptr, 15, buffer.size() - 1, buffer.data()), CImgSource::Status::InvalidArg);

    const CRect part{1, 1, 3, 3};
    std::vector<uint8_t> small(6 + 8);
    EXPECT_EQ(source.CopyPixels(&part, 8, small.size(), small.data()), CImgSource::Status::Ok);
    EXPECT_EQ(small[0], 1) << "pixel (1, 1), blue";
    EXPECT_EQ(small[8 + 1], 2) << "pixel (1, 2), green";
    const CRect outside{3, 0, 6, 1};
    EXPECT_EQ(source.CopyPixels(&outside, 9, 9, small.data()), CImgSource::Status::InvalidArg);

    const CImgSource none(nullptr);
    EXPECT_EQ(none.CopyPixels(nullptr, 15, buffer.size(), buffer.data()), CImgSource::Status::NoImage);
}

size_t PngSize(const CImg& img, int filters, const CTempFolder& folder)
{
    wic::CImgSaver saver;
    saver.container = ImgContainer::Png;
    saver.tuning.pngFilters = filters;
    saver.Save(img, folder.File("trial.png"));
    return ReadWholeFile(folder.File("trial.png")).size();
}

// The trial looks at a few bands of rows; its answer must match what
// compressing the whole image either way gives.
TEST(FilterTrialTest, PredictsTheSmallerFile)
{
    CTempFolder folder;
    std::shared_ptr<CImg> relief = MakeImgFromDib(MakeCapture(600, 400, [](int x, int y) {
        const uint32_t v = uint32_t(150 + 60 * std::sin(x / 37.0) * std::cos(y / 53.0));
        return v << 16 | (v - 5) << 8 | (v - 20);
    }));
    uint32_t seed = 1;
    std::shared_ptr<CImg> speckled = MakeImgFromDib(MakeCapture(600, 400, [&](int, int) {
        static const uint32_t colours[] = {0xF2EFE9, 0xAAD3DF, 0xCDEBC5, 0xFFFFFF, 0x333333};
        seed = seed * 1103515245 + 12345;
        return colours[(seed >> 16) % 5];
    }));
    for (const auto& [img, differenced] : {std::pair{relief, true}, std::pair{speckled, false}}) {
        EXPECT_EQ(DifferencingPays(CImgSource(img.get()), 2), differenced);
        const size_t none = PngSize(*img, 0x08, folder), sub = PngSize(*img, 0x10, folder);
        EXPECT_EQ(sub < none, differenced) << "NONE " << none << " SUB " << sub;
        EXPECT_EQ(PngSize(*img, CEncoderTuning::kAuto, folder), std::min(none, sub));
    }
}

}  // namespace

// A capture converted where WebKit rendered it: 24-bit rows, top-down, in rows
// of 32-bit pixels. Every writer reads only the pixels and a zeroed padding.
TEST(ImgFromDibTest, ImageOverWiderRowsIsWrittenLikeTheCapture)
{
    const int width = 7, height = 4;
    const size_t stride = width * 4;
    const auto colour = [](int x, int y) { return uint32_t(0x102030 * (x + 1) + 0x0F0501 * y) & 0xFFFFFF; };
    auto rows = std::make_shared<std::vector<uint8_t>>(stride * height, 0xAB);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c)
                (*rows)[y * stride + 3 * x + c] = uint8_t(colour(x, y) >> (8 * c));
        (*rows)[y * stride + 3 * width + 0] = 0;  // padding up to 24 bytes
        (*rows)[y * stride + 3 * width + 1] = 0;
        (*rows)[y * stride + 3 * width + 2] = 0;
    }
    std::shared_ptr<CImg> over = CImg::Over(ImgFormat::BGR24, width, height, rows->data(), ptrdiff_t(stride), rows);
    ASSERT_NE(over, nullptr);
    rows.reset();  // the image keeps its rows alive
    EXPECT_FALSE(over->IsBottomUpBlock());
    const std::shared_ptr<CImg> capture = MakeImgFromDib(MakeCapture(width, height, colour));
    CTempFolder folder;
    for (ImgContainer container : {ImgContainer::Bmp, ImgContainer::Png, ImgContainer::Tiff, ImgContainer::Jpeg}) {
        wic::CImgSaver saver;
        saver.container = container;
        saver.Save(*over, folder.File("over"));
        saver.Save(*capture, folder.File("capture"));
        EXPECT_EQ(ReadWholeFile(folder.File("over")), ReadWholeFile(folder.File("capture")))
            << "container " << int(container);
    }
    EXPECT_EQ(CImg::Over(ImgFormat::BGR24, width, 0, over->Row(0), ptrdiff_t(stride), nullptr), nullptr);
}
