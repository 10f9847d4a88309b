// The scroll view with its real web view: exact browser size, scroll bars,
// the splitter band driven with real pointer events (xdotool), and the paint
// around the browser.
#include "ScrollViewWindow.h"

#include "common/MulDiv.h"

#include <cairo.h>
#include <gtkmm/grid.h>
#include <gtkmm/scrollbar.h>
#include <glibmm/spawn.h>

#include <string>
#include <vector>

namespace {

void Xdo(std::vector<std::string> args)
{
    args.insert(args.begin(), "xdotool");
    int status = 0;
    Glib::spawn_sync("", args, Glib::SPAWN_SEARCH_PATH, {}, nullptr, nullptr, &status);
    ASSERT_EQ(status, 0);
}

class ScrollView : public testing::Test {
protected:
    explicit ScrollView(CSize browser = {1500, 1100}) : win(browser, {640, 480}) {}

    void SetUp() override
    {
        win.view->onRefreshSizeFields = [this] { ++sizeRefreshes; };
        win.view->onOverlayUpdate = [this] { ++overlayUpdates; };
        win.view->onOverlayReposition = [this] { ++overlayRepositions; };
        ASSERT_TRUE(win.WaitShown());
        ASSERT_TRUE(WaitDrawn(win.frame));
    }

    Gtk::Scrollbar& Bar(Gtk::Orientation orientation) { return ScrollBarOf(*win.view, orientation); }

    // What the scroll bar's arrows, trough, thumb and wheel send.
    void Request(Gtk::Orientation orientation, GtkScrollType type, double value = 0)
    {
        EXPECT_TRUE(SendScrollRequest(*win.view, orientation, type, value));
    }

    CScrollBarInfo H() const { return win.view->ScrollBar(Gtk::ORIENTATION_HORIZONTAL); }

    ScrollViewWindow win;
    int sizeRefreshes = 0;
    int overlayUpdates = 0;
    int overlayRepositions = 0;
};

TEST_F(ScrollView, HoldsTheBrowserAtItsExactSizeWhateverTheWindow)
{
    const Gtk::Allocation a = win.WebViewAllocation();
    EXPECT_EQ(a.get_x(), 0);
    EXPECT_EQ(a.get_y(), 0);
    EXPECT_EQ(a.get_width(), 1500);
    EXPECT_EQ(a.get_height(), 1100);
    EXPECT_LT(win.view->ClientSize().cx, 640);
    EXPECT_EQ(win.view->BrowserRect(), (CRect{0, 0, 1500, 1100}));
}

TEST_F(ScrollView, ScrollBarsRunPastTheBrowserByNineTenthsOfTheClient)
{
    const CSize client = win.view->ClientSize();
    EXPECT_EQ(H(), (CScrollBarInfo{0, 1499 + MulDiv(client.cx, 9, 10), client.cx, 0}));
    EXPECT_EQ(win.view->ScrollBar(Gtk::ORIENTATION_VERTICAL),
              (CScrollBarInfo{0, 1099 + MulDiv(client.cy, 9, 10), client.cy, 0}));
    EXPECT_EQ(Bar(Gtk::ORIENTATION_HORIZONTAL).get_adjustment()->get_upper(), 1500 + MulDiv(client.cx, 9, 10));
}

TEST_F(ScrollView, BarRequestsMoveTheBrowserAndStoreTheOffsets)
{
    Request(Gtk::ORIENTATION_HORIZONTAL, GTK_SCROLL_STEP_FORWARD);
    EXPECT_EQ(win.setting.scrollX, 1);
    Request(Gtk::ORIENTATION_HORIZONTAL, GTK_SCROLL_JUMP, 300);
    EXPECT_EQ(win.setting.scrollX, 300);
    EXPECT_EQ(win.WebViewAllocation().get_x(), -300);
    EXPECT_EQ(win.WebViewAllocation().get_width(), 1500);
    EXPECT_GE(overlayUpdates, 2);

    Request(Gtk::ORIENTATION_VERTICAL, GTK_SCROLL_PAGE_FORWARD);
    const int32_t page = win.view->ClientSize().cy;
    EXPECT_EQ(win.setting.scrollY, page);
    EXPECT_EQ(win.WebViewAllocation().get_y(), -page);
    EXPECT_EQ(win.view->ScrollBar(Gtk::ORIENTATION_VERTICAL).pos, page);

    Request(Gtk::ORIENTATION_HORIZONTAL, GTK_SCROLL_STEP_BACKWARD);
    EXPECT_EQ(win.setting.scrollX, 299);
    Request(Gtk::ORIENTATION_HORIZONTAL, GTK_SCROLL_START);
    EXPECT_EQ(win.setting.scrollX, 299);
}

TEST_F(ScrollView, PageDownNearTheEndStopsAtTheLastPage)
{
    const int32_t last = LastScrollPos(H());
    Request(Gtk::ORIENTATION_HORIZONTAL, GTK_SCROLL_JUMP, last - 10);
    ASSERT_EQ(win.setting.scrollX, last - 10);
    Request(Gtk::ORIENTATION_HORIZONTAL, GTK_SCROLL_PAGE_FORWARD);
    EXPECT_EQ(win.setting.scrollX, last);
    const int updates = overlayUpdates;
    Request(Gtk::ORIENTATION_HORIZONTAL, GTK_SCROLL_STEP_FORWARD);
    EXPECT_EQ(win.setting.scrollX, last);
    EXPECT_EQ(overlayUpdates, updates);
    EXPECT_EQ(win.WebViewAllocation().get_x(), -last);
}

TEST_F(ScrollView, ClientResizeKeepsTheBrowserWhereItIs)
{
    Request(Gtk::ORIENTATION_HORIZONTAL, GTK_SCROLL_JUMP, LastScrollPos(H()));
    const int32_t scrolled = win.setting.scrollX;
    const int repositions = overlayRepositions;
    win.frame.resize(900, 700);
    ASSERT_TRUE(RunUntil([&] { return win.view->ClientSize().cx > 800; }));
    EXPECT_GT(overlayRepositions, repositions);
    // The bar keeps its position within the larger last page; the browser and
    // the stored offset stay.
    EXPECT_EQ(H().pos, LastScrollPos(H()));
    EXPECT_LT(H().pos, scrolled);
    EXPECT_EQ(win.setting.scrollX, scrolled);
    EXPECT_EQ(win.WebViewAllocation().get_x(), -scrolled);
}

TEST_F(ScrollView, ApplyBrowserSizeResizesInPlace)
{
    Request(Gtk::ORIENTATION_HORIZONTAL, GTK_SCROLL_JUMP, 40);
    const int updates = overlayUpdates;
    win.setting.width = 2000;
    win.setting.height = 300;
    win.view->ApplyBrowserSize();
    const Gtk::Allocation a = win.WebViewAllocation();
    EXPECT_EQ(a.get_x(), -40);
    EXPECT_EQ(a.get_width(), 2000);
    EXPECT_EQ(a.get_height(), 300);
    EXPECT_EQ(H().max, 1999 + MulDiv(win.view->ClientSize().cx, 9, 10));
    EXPECT_EQ(overlayUpdates, updates + 1);
    EXPECT_EQ(sizeRefreshes, 0);
}

TEST_F(ScrollView, TrimmedContentSizeAddsTheTrims)
{
    win.setting.trim = {10, 20, 30, 40};
    win.view->SetTrimmedContentSize(400, 300);
    EXPECT_EQ(win.setting.width, 440);
    EXPECT_EQ(win.setting.height, 360);
    EXPECT_EQ(sizeRefreshes, 1);
    EXPECT_EQ(win.WebViewAllocation().get_width(), 440);
    EXPECT_EQ(win.WebViewAllocation().get_height(), 360);
}

TEST(ScrollViewStart, StoredOffsetsPlaceTheBrowser)
{
    CSetting setting;
    setting.scrollX = 200;
    setting.scrollY = 100;
    CQuorvaScrollView view(setting);
    EXPECT_EQ(view.BrowserRect(), (CRect{-200, -100, 824, 668}));
}

class ScrollViewSplitter : public ScrollView {
protected:
    ScrollViewSplitter() : ScrollView({300, 200}) {}

    void SetUp() override
    {
        ScrollView::SetUp();
        win.view->ClientArea().signal_event().connect([this](GdkEvent* e) {
            if (e->type == GDK_BUTTON_RELEASE)
                ++releases;
            return false;
        });
        int x = 0, y = 0;
        win.view->ClientArea().get_window()->get_origin(x, y);
        origin = {x, y};
    }

    // Presses at client point `from`, moves to `to` and releases.
    void Drag(CPoint from, CPoint to)
    {
        // Windows of tests running beside this one may lie on top.
        win.frame.get_window()->raise();
        gdk_display_sync(win.frame.get_display()->gobj());
        const int before = releases;
        Xdo({"mousemove", "--sync", std::to_string(origin.x + from.x), std::to_string(origin.y + from.y),
             "mousedown", "1", "mousemove", "--sync", std::to_string(origin.x + to.x),
             std::to_string(origin.y + to.y), "mouseup", "1"});
        ASSERT_TRUE(RunUntil([&] { return releases > before; }));
        ASSERT_TRUE(WaitDrawn(win.frame));
    }

    CPoint origin;
    int releases = 0;
};

TEST_F(ScrollViewSplitter, SixPixelsRightOfTheEdgeDragsTheWidth)
{
    Drag({306, 100}, {346, 125});
    EXPECT_EQ(win.setting.width, 340);
    EXPECT_EQ(win.setting.height, 200);
    EXPECT_EQ(win.WebViewAllocation().get_width(), 340);
    EXPECT_GE(sizeRefreshes, 1);
    EXPECT_GE(overlayUpdates, 1);
    EXPECT_EQ(win.view->DragZone(), kZoneNone);
    EXPECT_EQ(H().max, 339 + MulDiv(win.view->ClientSize().cx, 9, 10));
}

TEST_F(ScrollViewSplitter, SevenPixelsRightOfTheEdgeDoesNothing)
{
    Drag({307, 100}, {357, 125});
    EXPECT_EQ(win.setting.width, 300);
    EXPECT_EQ(win.setting.height, 200);
    EXPECT_EQ(sizeRefreshes, 0);
}

TEST_F(ScrollViewSplitter, BottomBandDragsTheHeight)
{
    Drag({100, 203}, {60, 233});
    EXPECT_EQ(win.setting.width, 300);
    EXPECT_EQ(win.setting.height, 230);
    EXPECT_EQ(win.WebViewAllocation().get_height(), 230);
}

TEST_F(ScrollViewSplitter, CornerDraggedFarUpLeftStopsAtOneByOne)
{
    Drag({303, 203}, {-origin.x, -origin.y});
    EXPECT_EQ(win.setting.width, 1);
    EXPECT_EQ(win.setting.height, 1);
    EXPECT_EQ(win.WebViewAllocation().get_width(), 1);
    EXPECT_EQ(win.WebViewAllocation().get_height(), 1);
}

TEST_F(ScrollViewSplitter, PaintsTheRaisedBandAndTheChecker)
{
    const CSize client = win.view->ClientSize();
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, client.cx, client.cy);
    cairo_t* cr = cairo_create(surface);
    gtk_widget_draw(win.view->ClientArea().gobj(), cr);
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    const auto pixel = [&](int x, int y) {
        const unsigned char* row = cairo_image_surface_get_data(surface) + y * cairo_image_surface_get_stride(surface);
        return reinterpret_cast<const uint32_t*>(row)[x] & 0xFFFFFF;
    };
    // Right band: columns 300 highlight, 301-304 face, 305 shadow.
    EXPECT_EQ(pixel(300, 50), kBandHighlight);
    EXPECT_EQ(pixel(302, 50), kBandFace);
    EXPECT_EQ(pixel(305, 50), kBandShadow);
    // Bottom band, and its face running through the crossing.
    EXPECT_EQ(pixel(50, 200), kBandHighlight);
    EXPECT_EQ(pixel(50, 203), kBandFace);
    EXPECT_EQ(pixel(50, 205), kBandShadow);
    EXPECT_EQ(pixel(302, 202), kBandFace);
    EXPECT_EQ(pixel(305, 210), kBandShadow);
    // The checker beyond, aligned to the client.
    for (const CPoint p : {CPoint{306, 0}, CPoint{310, 50}, CPoint{400, 300}, CPoint{50, 206}, CPoint{123, 321}})
        EXPECT_EQ(pixel(p.x, p.y), CheckerColor(p.x, p.y)) << p.x << "," << p.y;
    cairo_surface_destroy(surface);
}

}  // namespace
