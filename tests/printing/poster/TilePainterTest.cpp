#include "bitmap/DibSection.h"
#include "printing/poster/TilePainter.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <cstdlib>

namespace {

constexpr uint32_t kGrey = 0xFF808080;

// 2 x 2: red green over blue white.
CDibSectionPtr FourColours()
{
    CDibSectionPtr dib = CDibSection::New(2, 2);
    const uint32_t colours[2][2] = {{0xFF0000, 0x00FF00}, {0x0000FF, 0xFFFFFF}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x) {
            uint8_t* p = dib->RowFromTop(y) + x * 3;
            p[0] = uint8_t(colours[y][x]), p[1] = uint8_t(colours[y][x] >> 8), p[2] = uint8_t(colours[y][x] >> 16);
        }
    return dib;
}

class TilePainterTest : public testing::Test {
protected:
    void SetUp() override
    {
        surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 100, 100);
        cr = cairo_create(surface);
        cairo_set_source_rgb(cr, 0.5, 0.5, 0.5);
        cairo_paint(cr);
    }
    void TearDown() override
    {
        cairo_destroy(cr);
        cairo_surface_destroy(surface);
    }
    uint32_t Pixel(int x, int y)
    {
        cairo_surface_flush(surface);
        const uint8_t* row = cairo_image_surface_get_data(surface) + y * cairo_image_surface_get_stride(surface);
        return reinterpret_cast<const uint32_t*>(row)[x] | 0xFF000000;
    }

    // The smoothing filter blends neighbours a little even near a pixel's centre.
    bool Near(int x, int y, uint32_t rgb)
    {
        const uint32_t p = Pixel(x, y);
        for (int shift = 0; shift < 24; shift += 8)
            if (std::abs(int((p >> shift) & 0xFF) - int((rgb >> shift) & 0xFF)) > 24)
                return false;
        return true;
    }

    cairo_surface_t* surface = nullptr;
    cairo_t* cr = nullptr;
};

}  // namespace

TEST_F(TilePainterTest, StretchesTheSourceOntoTheDestinationInsideTheClip)
{
    // Source pixels of 20 x 20 at (10, 10); the clip cuts the right column at x = 40.
    ASSERT_TRUE(PaintTile(cr, *FourColours(), {0, 0, 2, 2}, {10, 10, 50, 50}, {0, 0, 40, 100}));
    EXPECT_TRUE(Near(20, 20, 0xFF0000));
    EXPECT_TRUE(Near(39, 20, 0x00FF00));
    EXPECT_TRUE(Near(20, 40, 0x0000FF));
    EXPECT_EQ(Pixel(41, 20), kGrey);  // clipped
    EXPECT_EQ(Pixel(5, 5), kGrey);
    EXPECT_EQ(Pixel(15, 55), kGrey);
}

TEST_F(TilePainterTest, WorksInTheCallersUnits)
{
    // Half-size units: the same picture as drawing at (10, 10)-(50, 50).
    cairo_scale(cr, 0.5, 0.5);
    ASSERT_TRUE(PaintTile(cr, *FourColours(), {0, 0, 2, 2}, {20, 20, 100, 100}, {0, 0, 80, 200}));
    EXPECT_TRUE(Near(20, 20, 0xFF0000));
    EXPECT_TRUE(Near(39, 40, 0xFFFFFF));
    EXPECT_EQ(Pixel(41, 40), kGrey);
}

TEST_F(TilePainterTest, ASourceCutByTheBitmapEdgeKeepsItsScale)
{
    // A tile of 4 x 2 pixels of which only the left half exists: 10 dots per pixel.
    ASSERT_TRUE(PaintTile(cr, *FourColours(), {0, 0, 4, 2}, {0, 0, 40, 20}, {0, 0, 100, 100}));
    EXPECT_TRUE(Near(15, 5, 0x00FF00));
    EXPECT_TRUE(Near(19, 5, 0x00FF00));
    EXPECT_EQ(Pixel(21, 5), kGrey);
}

TEST_F(TilePainterTest, EmptyRectanglesDrawNothing)
{
    EXPECT_TRUE(PaintTile(cr, *FourColours(), {0, 0, 2, 2}, {10, 10, 50, 50}, {}));
    EXPECT_TRUE(PaintTile(cr, *FourColours(), {2, 2, 4, 4}, {10, 10, 50, 50}, {0, 0, 100, 100}));
    EXPECT_EQ(Pixel(30, 30), kGrey);
    CDibSection invalid;
    EXPECT_FALSE(PaintTile(cr, invalid, {0, 0, 2, 2}, {10, 10, 50, 50}, {0, 0, 100, 100}));
}

TEST(TilePainterVector, EmbedsTheTileAtTheBitmapsOwnResolution)
{
    cairo_surface_t* recording = cairo_recording_surface_create(CAIRO_CONTENT_COLOR, nullptr);
    cairo_t* cr = cairo_create(recording);
    CairoSurfacePtr embedded;
    EXPECT_TRUE(PaintTile(cr, *FourColours(), {1, 0, 3, 2}, {0, 0, 400, 400}, {0, 0, 400, 400}, &embedded));
    ASSERT_TRUE(embedded);
    EXPECT_EQ(cairo_image_surface_get_width(embedded.get()), 1);
    EXPECT_EQ(cairo_image_surface_get_height(embedded.get()), 2);
    cairo_destroy(cr);
    cairo_surface_destroy(recording);
}
