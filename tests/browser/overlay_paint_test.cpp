#include "browser/OverlayBackBuffer.h"
#include "browser/OverlayHandleImages.h"
#include "browser/OverlayScene.h"
#include "settings/Setting.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <cstring>

namespace {

// The trimmed margins: black at alpha 0x40 (a quarter), premultiplied ARGB as
// cairo stores it.
constexpr uint32_t kShade = 0x40000000;

uint32_t PixelAt(cairo_surface_t* surface, int x, int y)
{
    cairo_surface_flush(surface);
    const unsigned char* row = cairo_image_surface_get_data(surface) + y * cairo_image_surface_get_stride(surface);
    uint32_t value;
    std::memcpy(&value, row + 4 * x, 4);
    return value;
}

bool IsPremultiplied(uint32_t argb)
{
    const uint32_t a = argb >> 24;
    return ((argb >> 16) & 0xFF) <= a && ((argb >> 8) & 0xFF) <= a && (argb & 0xFF) <= a;
}

const int kOwner = 0;

}  // namespace

TEST(OverlayHandleImages, FourTabsOfTheRightShapeComeFromTheResources)
{
    const struct { int index; int id; CSize size; } expected[] = {
        {kHandleTop, 167, {95, 14}},
        {kHandleRight, 168, {14, 95}},
        {kHandleBottom, 169, {95, 14}},
        {kHandleLeft, 166, {14, 95}},
    };
    for (const auto& e : expected) {
        EXPECT_EQ(OverlayHandleImages::ImageIdOf(e.index), e.id);
        const CImagePtr image = OverlayHandleImages::LoadImage(e.id);
        ASSERT_TRUE(image) << e.id;
        EXPECT_EQ(ImageSize(image), e.size);
        EXPECT_EQ(cairo_image_surface_get_format(image.get()), CAIRO_FORMAT_ARGB32);
        // Translucent black body with a white label: both kinds of pixel occur.
        int translucent = 0, white = 0;
        for (int y = 0; y < e.size.cy; ++y)
            for (int x = 0; x < e.size.cx; ++x) {
                const uint32_t p = PixelAt(image.get(), x, y);
                EXPECT_TRUE(IsPremultiplied(p));
                const uint32_t a = p >> 24;
                if (a > 0 && a < 255 && (p & 0xFFFFFF) == 0)
                    ++translucent;
                if (a == 255 && (p & 0xFFFFFF) == 0xFFFFFF)
                    ++white;
            }
        EXPECT_GT(translucent, 500);
        EXPECT_GT(white, 5);
    }
    EXPECT_FALSE(OverlayHandleImages::LoadImage(170));
    EXPECT_FALSE(OverlayHandleImages::LoadPngResource("images/missing.png"));
}

TEST(OverlayHandleImages, TheTabsLongEdgeLiesOnTheTrimLine)
{
    // The row or column that touches the trim line is covered end to end.
    const CImagePtr top = OverlayHandleImages::LoadImage(167);
    const CImagePtr right = OverlayHandleImages::LoadImage(168);
    const CImagePtr bottom = OverlayHandleImages::LoadImage(169);
    const CImagePtr left = OverlayHandleImages::LoadImage(166);
    EXPECT_NE(PixelAt(top.get(), 0, 0) >> 24, 0u);
    EXPECT_EQ(PixelAt(top.get(), 0, 13) >> 24, 0u);
    EXPECT_NE(PixelAt(right.get(), 13, 0) >> 24, 0u);
    EXPECT_EQ(PixelAt(right.get(), 0, 0) >> 24, 0u);
    EXPECT_NE(PixelAt(bottom.get(), 94, 13) >> 24, 0u);
    EXPECT_EQ(PixelAt(bottom.get(), 94, 0) >> 24, 0u);
    EXPECT_NE(PixelAt(left.get(), 0, 94) >> 24, 0u);
    EXPECT_EQ(PixelAt(left.get(), 13, 94) >> 24, 0u);
}

class OverlayPaint : public testing::Test {
protected:
    void SetUp() override
    {
        setting.width = 250;
        setting.height = 150;
        setting.trim = {20, 10, 30, 40};
        ASSERT_TRUE(buffer.Ensure(300, 200));
    }
    COverlayGeometry Geometry() const { return COverlayGeometry({0, 0, 300, 200}, setting); }
    uint32_t At(int x, int y) { return PixelAt(buffer.Surface(), x, y); }

    CSetting setting;
    COverlayBackBuffer buffer;
    COverlayScene scene{&kOwner};
};

TEST_F(OverlayPaint, StripsAreTranslucentBlackAndNothingElseIsShaded)
{
    scene.Paint(buffer.Surface(), Geometry());
    EXPECT_EQ(At(5, 50), kShade);    // left strip
    EXPECT_EQ(At(230, 50), kShade);  // right strip
    EXPECT_EQ(At(100, 5), kShade);   // top strip
    EXPECT_EQ(At(5, 5), kShade);     // corner: shaded once, not twice
    EXPECT_EQ(At(100, 130), kShade); // bottom strip
    EXPECT_EQ(At(249, 149), kShade);
    EXPECT_EQ(At(40, 30), 0u);       // kept area
    EXPECT_EQ(At(250, 50), 0u);      // right of the browser
    EXPECT_EQ(At(100, 150), 0u);     // below the browser
    EXPECT_EQ(At(299, 199), 0u);
}

TEST_F(OverlayPaint, HandlesAreDrawnWithTheirImagesPixelForPixel)
{
    scene.Paint(buffer.Surface(), Geometry());
    const auto& handles = scene.GetHandles();
    ASSERT_EQ(handles.size(), 4u);
    // The strips are filled after the handles; compare where they do not reach.
    const CRect kept = Geometry().Kept();
    for (const auto& handle : handles) {
        const CRect r = handle->Rect();
        ASSERT_FALSE(r.IsEmpty()) << handle->Id();
        const CRect shown = IntersectRects(r, kept);
        ASSERT_FALSE(shown.IsEmpty());
        for (int y = shown.top; y < shown.bottom; y += 3)
            for (int x = shown.left; x < shown.right; x += 3)
                ASSERT_EQ(At(x, y), PixelAt(handle->Image().get(), x - r.left, y - r.top))
                    << "handle " << handle->Id() << " at " << x << "," << y;
    }
    // The top handle hangs from the top trim line into the kept area.
    EXPECT_EQ(handles[kHandleTop]->Rect().top, 10);
    EXPECT_EQ(handles[kHandleLeft]->Rect().left, 20);
    EXPECT_EQ(handles[kHandleRight]->Rect().right, 220);
    EXPECT_EQ(handles[kHandleBottom]->Rect().bottom, 110);
}

TEST_F(OverlayPaint, EveryPixelIsPremultiplied)
{
    scene.Paint(buffer.Surface(), Geometry());
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 300; ++x)
            ASSERT_TRUE(IsPremultiplied(At(x, y))) << x << "," << y;
}

TEST_F(OverlayPaint, ARepaintClearsWhatWasThereBefore)
{
    scene.Paint(buffer.Surface(), Geometry());
    setting.trim = {};
    scene.Paint(buffer.Surface(), Geometry());
    EXPECT_EQ(At(5, 20), 0u);
    EXPECT_EQ(At(50, 5), 0u);
    // Handles of a browser without trims sit on its edges.
    EXPECT_NE(At(0, 75) >> 24, 0u);
    EXPECT_NE(At(125, 0) >> 24, 0u);
}

TEST_F(OverlayPaint, HitTestingFollowsTheHandlesAndSkipsCollapsedOnes)
{
    scene.Layout(Geometry());
    const CRect top = scene.GetHandles()[kHandleTop]->Rect();
    EXPECT_EQ(scene.HitHandle(top.left, top.top), kHandleTop);
    EXPECT_EQ(scene.HitHandle(top.right, top.top), -1);
    EXPECT_EQ(scene.HitHandle(40, 30), -1);

    setting.width = 50;
    setting.height = 20;
    setting.trim = {};
    scene.Layout(Geometry());
    for (int y = 0; y < 200; y += 2)
        for (int x = 0; x < 300; x += 2)
            ASSERT_EQ(scene.HitHandle(x, y), -1) << x << "," << y;
}

TEST_F(OverlayPaint, InputTakesStripsAndHandlesOnly)
{
    const COverlayGeometry g = Geometry();
    scene.Layout(g);
    const auto rects = scene.InputRects(g);
    auto covered = [&](int x, int y) {
        for (const CRect& r : rects)
            if (x >= r.left && x < r.right && y >= r.top && y < r.bottom)
                return true;
        return false;
    };
    EXPECT_TRUE(covered(5, 50));
    EXPECT_TRUE(covered(100, 5));
    const CRect left = scene.GetHandles()[kHandleLeft]->Rect();
    EXPECT_TRUE(covered(left.left + 2, left.top + 2));
    EXPECT_FALSE(covered(100, 50));
    EXPECT_FALSE(covered(260, 50));
    EXPECT_FALSE(covered(100, 170));
}

TEST(OverlayImageWidget, WithoutAnImageItKeepsItsSizeAndStillShows)
{
    Gdiplus::CImageWidget widget(&kOwner, 3, nullptr, {14, 95});
    EXPECT_EQ(widget.Size(), (CSize{14, 95}));
    EXPECT_TRUE(widget.SetRect({2, 2, 16, 97}));
    EXPECT_FALSE(widget.SetRect({2, 2, 16, 97}));
    COverlayBackBuffer buffer;
    ASSERT_TRUE(buffer.Ensure(20, 100));
    cairo_t* cr = cairo_create(buffer.Surface());
    widget.Draw(cr);
    EXPECT_EQ(cairo_status(cr), CAIRO_STATUS_SUCCESS);
    cairo_destroy(cr);
    EXPECT_NE(PixelAt(buffer.Surface(), 8, 50) >> 24, 0u);
    EXPECT_EQ(PixelAt(buffer.Surface(), 1, 50), 0u);
}

TEST(OverlayImageWidget, ADetachedWidgetIsNeverHit)
{
    Gdiplus::CImageWidget widget(nullptr, 0, nullptr, {95, 14});
    widget.SetRect({0, 0, 95, 14});
    EXPECT_FALSE(widget.HitTest(5, 5));
    widget.SetOwner(&kOwner);
    EXPECT_TRUE(widget.HitTest(5, 5));
    EXPECT_FALSE(widget.HitTest(95, 5));
}

TEST(OverlayBackBuffer, ReusedWhileTheSizeStaysTheSame)
{
    COverlayBackBuffer buffer;
    ASSERT_TRUE(buffer.Ensure(64, 32));
    cairo_surface_t* first = buffer.Surface();
    ASSERT_TRUE(buffer.Ensure(64, 32));
    EXPECT_EQ(buffer.Surface(), first);
    ASSERT_TRUE(buffer.Ensure(64, 33));
    EXPECT_EQ(buffer.Height(), 33);
    EXPECT_EQ(buffer.Width(), 64);
}

TEST(OverlayBackBuffer, ASizeThatCannotBeMadeLeavesNoBuffer)
{
    COverlayBackBuffer buffer;
    ASSERT_TRUE(buffer.Ensure(10, 10));
    EXPECT_FALSE(buffer.Ensure(0, 10));
    EXPECT_EQ(buffer.Surface(), nullptr);
    EXPECT_FALSE(buffer.Ensure(100000, 10));
    EXPECT_EQ(buffer.Surface(), nullptr);
    EXPECT_TRUE(buffer.Ensure(10, 10));
}
