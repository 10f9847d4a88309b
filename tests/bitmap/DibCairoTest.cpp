#include "bitmap/DibCairo.h"
#include "bitmap/DibSection.h"

#include <cairo.h>
#include <gtest/gtest.h>

namespace {

uint32_t SurfacePixel(cairo_surface_t* s, int x, int y)
{
    cairo_surface_flush(s);
    return reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(s) +
                                             y * cairo_image_surface_get_stride(s))[x];
}

TEST(DibCairoTest, ThirtyTwoBitSurfaceSharesTheDibsMemory)
{
    CDibSectionPtr dib = CDibSection::New(2, 3, 32);
    CairoSurfacePtr surface = ToCairoSurface(*dib);
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(cairo_image_surface_get_format(surface.get()), CAIRO_FORMAT_ARGB32);
    EXPECT_EQ(cairo_image_surface_get_height(surface.get()), 3);
    cairo_t* cr = cairo_create(surface.get());
    cairo_set_source_rgba(cr, 0, 0, 1, 1);
    cairo_rectangle(cr, 0, 0, 1, 1);  // top-left pixel of the upright image
    cairo_fill(cr);
    cairo_destroy(cr);
    cairo_surface_flush(surface.get());
    const uint8_t* p = dib->RowFromTop(0);
    EXPECT_EQ(p[0], 255);
    EXPECT_EQ(p[3], 255);
    EXPECT_EQ(dib->RowFromTop(2)[0], 0) << "the bottom line is untouched";
    EXPECT_EQ(dib->Bits() + 2 * 8, p) << "the memory itself, not a copy";
}

TEST(DibCairoTest, SharedSurfaceKeepsItsDibAlive)
{
    std::weak_ptr<CDib> weak;
    CairoSurfacePtr surface;
    {
        std::shared_ptr<CDib> dib = CDibSection::New(1, 1, 32);
        weak = dib;
        surface = ToCairoSurface(dib);
    }
    EXPECT_FALSE(weak.expired());
    surface.reset();
    EXPECT_TRUE(weak.expired());
}

TEST(DibCairoTest, OtherFormatsAreCopiedUpright)
{
    CDibSectionPtr dib = CDibSection::New(1, 2, 24);
    dib->RowFromTop(0)[2] = 0xFF;  // red on top
    CairoSurfacePtr surface = ToCairoSurface(*dib);
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(cairo_image_surface_get_format(surface.get()), CAIRO_FORMAT_RGB24);
    EXPECT_EQ(SurfacePixel(surface.get(), 0, 0) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(SurfacePixel(surface.get(), 0, 1) & 0xFFFFFF, 0u);

    CDib empty;
    EXPECT_EQ(ToCairoSurface(empty), nullptr);
}

}  // namespace
