#include "browser/CapturePixels.h"

#include "ParamName.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

// An ARGB image whose pixel (x, y) is 0xAARRGGBB with a varying alpha, so a
// kept alpha byte or a swapped channel shows.
struct TestImage {
    TestImage(int32_t w, int32_t h) : width(w), height(h), words(static_cast<size_t>(w + 3) * h)
    {
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x)
                words[static_cast<size_t>(y) * (w + 3) + x] = Color(x, y);
    }
    static uint32_t Color(int32_t x, int32_t y)
    {
        return (uint32_t((x * 7 + y) & 255) << 24) | (uint32_t(x & 255) << 16) | (uint32_t(y & 255) << 8) |
               uint32_t((x + 3 * y) & 255);
    }
    CArgbImage View() const
    {
        return {reinterpret_cast<const uint8_t*>(words.data()), static_cast<size_t>(width + 3) * 4, width, height};
    }
    int32_t width, height;
    std::vector<uint32_t> words;
};

size_t Stride24(int32_t width)
{
    return (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
}

void ExpectConverted(const TestImage& image, const CRect& rect, const std::vector<uint8_t>& dst)
{
    const size_t stride = Stride24(rect.Width());
    for (int32_t y = 0; y < rect.Height(); ++y) {
        const uint8_t* row = dst.data() + static_cast<size_t>(rect.Height() - 1 - y) * stride;
        for (int32_t x = 0; x < rect.Width(); ++x) {
            const uint32_t c = TestImage::Color(rect.left + x, rect.top + y);
            ASSERT_EQ(row[3 * x], c & 255) << x << "," << y;
            ASSERT_EQ(row[3 * x + 1], (c >> 8) & 255) << x << "," << y;
            ASSERT_EQ(row[3 * x + 2], (c >> 16) & 255) << x << "," << y;
        }
        for (size_t pad = size_t(rect.Width()) * 3; pad < stride; ++pad)
            ASSERT_EQ(row[pad], 0) << "padding of row " << y;
    }
}

}  // namespace

TEST(CaptureRect, BrowserShrunkByTheTrims)
{
    EXPECT_EQ(CaptureRect({1024, 768}, {}), (CRect{0, 0, 1024, 768}));
    EXPECT_EQ(CaptureRect({1024, 768}, {10, 20, 30, 40}), (CRect{10, 20, 994, 728}));
    EXPECT_TRUE(CaptureRect({100, 50}, {60, 0, 40, 0}).IsEmpty());
    EXPECT_TRUE(CaptureRect({100, 50}, {0, 25, 0, 26}).IsEmpty());
    EXPECT_FALSE(CaptureRect({100, 50}, {99, 49, 0, 0}).IsEmpty());
    EXPECT_TRUE(CaptureRect({0, 50}, {}).IsEmpty());
    EXPECT_TRUE(CaptureRect({-20, 50}, {}).IsEmpty());
    // Negative trims never reach beyond the browser.
    EXPECT_EQ(CaptureRect({100, 50}, {-20000, -1, -5, INT32_MIN}), (CRect{0, 0, 100, 50}));
    EXPECT_EQ(CaptureRect({100, 50}, {INT32_MIN, 10, INT32_MAX, 0}), (CRect{0, 10, 0, 50}));
}

class ConvertWidths : public testing::TestWithParam<int32_t> {};

// Widths around the 4- and 16-pixel blocks of the row loop, and odd strides.
TEST_P(ConvertWidths, EveryPixelBottomUpWithZeroPadding)
{
    const int32_t width = GetParam();
    const TestImage image(width + 5, 9);
    const CRect rect{2, 3, 2 + width, 9};
    std::vector<uint8_t> dst(Stride24(width) * rect.Height(), 0xEE);
    ConvertArgbToBgr24BottomUp(image.View(), rect, dst.data(), Stride24(width));
    ExpectConverted(image, rect, dst);
}

INSTANTIATE_TEST_SUITE_P(Widths, ConvertWidths, testing::Values(1, 2, 3, 4, 5, 15, 16, 17, 31, 33, 64, 101),
    [](const testing::TestParamInfo<int>& info) { return "Width" + std::to_string(info.param); });

TEST(Convert, ThreadsSplitTheRowsWithoutGapsOrOverlap)
{
    const TestImage image(1030, 1100);
    const CRect rect{1, 2, 1027, 1099};
    for (int threads : {1, 2, 3, 4}) {
        std::vector<uint8_t> dst(Stride24(rect.Width()) * rect.Height(), 0xEE);
        ConvertArgbToBgr24BottomUp(image.View(), rect, dst.data(), Stride24(rect.Width()), threads);
        ExpectConverted(image, rect, dst);
    }
}

TEST(Convert, OnePixel)
{
    const TestImage image(3, 3);
    std::vector<uint8_t> dst(4, 0xEE);
    ConvertArgbToBgr24BottomUp(image.View(), {1, 2, 2, 3}, dst.data(), 4);
    const uint32_t c = TestImage::Color(1, 2);
    EXPECT_EQ(dst, (std::vector<uint8_t>{uint8_t(c), uint8_t(c >> 8), uint8_t(c >> 16), 0}));
}

namespace {

// Each kept row must hold its BGR bytes where its ARGB words began; the rows
// and columns outside the rectangle stay as they were.
void ExpectConvertedInPlace(const TestImage& original, const TestImage& converted, const CRect& rect)
{
    const size_t stride = static_cast<size_t>(original.width + 3) * 4;
    const auto* before = reinterpret_cast<const uint8_t*>(original.words.data());
    const auto* after = reinterpret_cast<const uint8_t*>(converted.words.data());
    for (int32_t y = 0; y < original.height; ++y) {
        const bool kept = y >= rect.top && y < rect.bottom;
        const size_t start = static_cast<size_t>(rect.left) * 4;
        const size_t end = start + static_cast<size_t>(rect.Width()) * 3;
        const size_t padded = start + Stride24(rect.Width());
        for (size_t i = 0; i < stride; ++i) {
            const size_t at = static_cast<size_t>(y) * stride + i;
            if (kept && i >= start && i < end) {
                const size_t x = rect.left + (i - start) / 3;
                const uint32_t c = TestImage::Color(static_cast<int32_t>(x), y);
                ASSERT_EQ(after[at], (c >> (8 * ((i - start) % 3))) & 255) << x << "," << y;
            } else if (kept && i >= end && i < padded) {
                ASSERT_EQ(after[at], 0) << "padding of row " << y;
            } else if (!kept || i < start) {
                ASSERT_EQ(after[at], before[at]) << "outside the rectangle at " << i << "," << y;
            }
        }
    }
}

}  // namespace

TEST_P(ConvertWidths, InPlaceRowsStartWhereTheirPixelsDid)
{
    const int32_t width = GetParam();
    const TestImage original(width + 5, 9);
    TestImage image = original;
    const CRect rect{2, 3, 2 + width, 8};
    ConvertArgbToBgr24InPlace(reinterpret_cast<uint8_t*>(image.words.data()), static_cast<size_t>(image.width + 3) * 4,
                              rect);
    ExpectConvertedInPlace(original, image, rect);
}

TEST(Convert, InPlaceThreadsSplitTheRows)
{
    const TestImage original(1030, 1100);
    const CRect rect{1, 2, 1027, 1099};
    for (int threads : {2, 3}) {
        TestImage image = original;
        ConvertArgbToBgr24InPlace(reinterpret_cast<uint8_t*>(image.words.data()),
                                  static_cast<size_t>(image.width + 3) * 4, rect, threads);
        ExpectConvertedInPlace(original, image, rect);
    }
}
