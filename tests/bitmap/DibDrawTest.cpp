#include "bitmap/DibSection.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <cstdlib>

namespace {

constexpr uint32_t kSentinel = 0xFF123456;

class DibDrawTest : public testing::Test {
protected:
    void MakeTarget(int width, int height)
    {
        surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
        cr = cairo_create(surface);
        cairo_set_source_rgb(cr, 0x12 / 255.0, 0x34 / 255.0, 0x56 / 255.0);
        cairo_paint(cr);
    }
    void TearDown() override
    {
        if (cr)
            cairo_destroy(cr);
        if (surface)
            cairo_surface_destroy(surface);
    }
    uint32_t Pixel(int x, int y)
    {
        cairo_surface_flush(surface);
        const uint8_t* data = cairo_image_surface_get_data(surface);
        return reinterpret_cast<const uint32_t*>(data + y * cairo_image_surface_get_stride(surface))[x];
    }
    static void SetBgr(CDib& dib, int x, int y, uint32_t rgb)
    {
        uint8_t* p = dib.RowFromTop(y) + x * dib.BitCount() / 8;
        p[0] = uint8_t(rgb), p[1] = uint8_t(rgb >> 8), p[2] = uint8_t(rgb >> 16);
    }
    // 3 x 2: red green blue over white black grey.
    static CDibSectionPtr SixColours()
    {
        CDibSectionPtr dib = CDibSection::New(3, 2);
        const uint32_t colours[2][3] = {{0xFF0000, 0x00FF00, 0x0000FF}, {0xFFFFFF, 0x000000, 0x808080}};
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x)
                SetBgr(*dib, x, y, colours[y][x]);
        return dib;
    }
    static bool Near(uint32_t a, uint32_t b, int tolerance = 1)
    {
        for (int shift = 0; shift < 32; shift += 8)
            if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > tolerance)
                return false;
        return true;
    }

    cairo_surface_t* surface = nullptr;
    cairo_t* cr = nullptr;
};

TEST_F(DibDrawTest, EmptyRectanglesDrawNothingAndSucceed)
{
    MakeTarget(4, 4);
    CDibSectionPtr dib = SixColours();
    EXPECT_TRUE(dib->Draw(cr, CRect{0, 0, 0, 4}, CRect{0, 0, 3, 2}));
    EXPECT_TRUE(dib->Draw(cr, CRect{0, 0, 4, 4}, CRect{1, 1, 1, 2}));
    EXPECT_TRUE(dib->Draw(cr, CRect{0, 3, 4, 2}, CRect{0, 0, 3, 2}));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(Pixel(x, y), kSentinel);
}

TEST_F(DibDrawTest, FailsWithoutBits)
{
    MakeTarget(4, 4);
    CDib dib;
    ASSERT_TRUE(dib.Create(kInfoHeaderSize, 3, 2, 24));
    EXPECT_FALSE(dib.Draw(cr));
    EXPECT_FALSE(dib.Draw(cr, CRect{0, 0, 3, 2}, CRect{0, 0, 3, 2}));
}

TEST_F(DibDrawTest, WholeImageOneToOneIsUpright)
{
    MakeTarget(4, 3);
    ASSERT_TRUE(SixColours()->Draw(cr));
    EXPECT_EQ(Pixel(0, 0), 0xFFFF0000u);
    EXPECT_EQ(Pixel(1, 0), 0xFF00FF00u);
    EXPECT_EQ(Pixel(2, 0), 0xFF0000FFu);
    EXPECT_EQ(Pixel(0, 1), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(1, 1), 0xFF000000u);
    EXPECT_EQ(Pixel(2, 1), 0xFF808080u);
    EXPECT_EQ(Pixel(3, 0), kSentinel);
    EXPECT_EQ(Pixel(0, 2), kSentinel);
}

TEST_F(DibDrawTest, SourceRectangleIsCountedFromTheTop)
{
    MakeTarget(8, 8);
    ASSERT_TRUE(SixColours()->Draw(cr, CRect{5, 5, 7, 6}, CRect{1, 1, 3, 2}));
    EXPECT_EQ(Pixel(5, 5), 0xFF000000u);
    EXPECT_EQ(Pixel(6, 5), 0xFF808080u);
    EXPECT_EQ(Pixel(4, 5), kSentinel);
    EXPECT_EQ(Pixel(7, 5), kSentinel);
    EXPECT_EQ(Pixel(5, 4), kSentinel);
    EXPECT_EQ(Pixel(5, 6), kSentinel);
}

TEST_F(DibDrawTest, StretchStaysInsideTheDestination)
{
    MakeTarget(220, 220);
    ASSERT_TRUE(SixColours()->Draw(cr, CRect{10, 10, 310, 210}, CRect{0, 0, 3, 2}));
    EXPECT_EQ(Pixel(50, 50), 0xFFFF0000u);
    EXPECT_EQ(Pixel(60, 160), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(160, 60), 0xFF00FF00u);
    EXPECT_EQ(Pixel(5, 100), kSentinel);
    EXPECT_EQ(Pixel(100, 215), kSentinel);
    // The edges are padded, not faded into transparency.
    EXPECT_EQ(Pixel(10, 10), 0xFFFF0000u);
    EXPECT_EQ(Pixel(10, 209), 0xFFFFFFFFu);
}

TEST_F(DibDrawTest, SourceBeyondTheImageIsClipped)
{
    MakeTarget(10, 10);
    // Source twice as wide as the image, 1:1: only the image's part is drawn.
    ASSERT_TRUE(SixColours()->Draw(cr, CRect{0, 0, 6, 2}, CRect{0, 0, 6, 2}));
    EXPECT_EQ(Pixel(2, 0), 0xFF0000FFu);
    EXPECT_EQ(Pixel(3, 0), kSentinel);
}

TEST_F(DibDrawTest, ThirtyTwoBitsCopyColoursAndIgnoreAlpha)
{
    MakeTarget(2, 1);
    CDibSectionPtr dib = CDibSection::New(1, 1, 32);
    uint8_t* p = dib->RowFromTop(0);
    p[0] = 30, p[1] = 20, p[2] = 10, p[3] = 0;
    ASSERT_TRUE(dib->Draw(cr));
    EXPECT_EQ(Pixel(0, 0), 0xFF0A141Eu);
}

TEST_F(DibDrawTest, LargeImageDrawnInBandsHasNoSeams)
{
    // 6000 x 1000 x 3 bytes is above the size converted in one piece.
    CDibSectionPtr dib = CDibSection::New(6000, 1000);
    ASSERT_NE(dib, nullptr);
    for (int y = 0; y < 1000; ++y) {
        uint8_t* row = dib->RowFromTop(y);
        const bool line = y >= 500 && y < 510;
        for (int x = 0; x < 6000; ++x) {
            row[3 * x] = line ? 0 : 200;
            row[3 * x + 1] = line ? 0 : 150;
            row[3 * x + 2] = line ? 255 : 100;
        }
    }
    MakeTarget(600, 100);
    ASSERT_TRUE(dib->Draw(cr, CRect{0, 0, 600, 100}, CRect{0, 0, 6000, 1000}));
    for (int y = 0; y < 100; ++y) {
        if (y >= 49 && y <= 51)
            continue;
        for (int x : {0, 300, 599})
            ASSERT_TRUE(Near(Pixel(x, y), 0xFF6496C8u)) << x << "," << y << " " << std::hex << Pixel(x, y);
    }
    EXPECT_TRUE(Near(Pixel(300, 50), 0xFFFF0000u, 2)) << std::hex << Pixel(300, 50);
}

TEST_F(DibDrawTest, BandsMatchADrawingInOnePiece)
{
    // Sharp detail on every row, so a band that lacked its neighbours' rows
    // would filter differently from the 32-bit copy, which is drawn in one piece.
    CDibSectionPtr dib = CDibSection::New(6000, 1000);
    CDibSectionPtr dib32 = CDibSection::New(6000, 1000, 32);
    for (int y = 0; y < 1000; ++y)
        for (int x = 0; x < 20; ++x) {
            const uint32_t colour = (y * 37 + x * 11) % 2 ? 0xFFFFFF : uint32_t(y % 256) << 16;
            SetBgr(*dib, x, y, colour);
            SetBgr(*dib32, x, y, colour);
        }
    for (const CRect& dest : {CRect{0, 0, 613, 77}, CRect{0, 0, 6000, 1300}}) {
        MakeTarget(3, dest.bottom);
        ASSERT_TRUE(dib->Draw(cr, dest, CRect{0, 0, 6000, 1000}));
        cairo_surface_t* whole = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 3, dest.bottom);
        cairo_t* wholeCr = cairo_create(whole);
        ASSERT_TRUE(dib32->Draw(wholeCr, dest, CRect{0, 0, 6000, 1000}));
        cairo_destroy(wholeCr);
        cairo_surface_flush(whole);
        // Sampling positions may differ in the last fixed-point bit, which moves
        // a black-to-white edge by a level or two; a missing row moves it by 255.
        int differences = 0;
        for (int y = 0; y < dest.bottom; ++y)
            for (int x = 0; x < 3; ++x) {
                const auto* row = cairo_image_surface_get_data(whole) + y * cairo_image_surface_get_stride(whole);
                differences += !Near(Pixel(x, y), reinterpret_cast<const uint32_t*>(row)[x], 8);
            }
        EXPECT_EQ(differences, 0) << dest.bottom << " rows";
        cairo_surface_destroy(whole);
        TearDown();
        cr = nullptr, surface = nullptr;
    }
}

TEST_F(DibDrawTest, BandsKeepEveryRowAtOneToOne)
{
    CDibSectionPtr dib = CDibSection::New(6000, 1000);
    for (int y = 0; y < 1000; ++y)
        SetBgr(*dib, 10, y, uint32_t(y % 251) << 8 | uint32_t(y / 251));
    MakeTarget(20, 1000);
    ASSERT_TRUE(dib->Draw(cr, CRect{0, 0, 20, 1000}, CRect{0, 0, 20, 1000}));
    for (int y = 0; y < 1000; ++y)
        ASSERT_EQ(Pixel(10, y), 0xFF000000u | uint32_t(y % 251) << 8 | uint32_t(y / 251)) << y;
}

}  // namespace
