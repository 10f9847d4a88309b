// What the user sees of the scroll view after scrolling: the thumb drawn where
// the bar's value is, and the page drawn over the whole client, read back from
// the screen. Scrolling is driven with real pointer events (xdotool) and with
// the requests the bars send.
#include "ScrollViewWindow.h"

#include <gdk/gdk.h>
#include <gtkmm/grid.h>
#include <gtkmm/scrollbar.h>
#include <glibmm/spawn.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace {

void Xdo(std::vector<std::string> args)
{
    args.insert(args.begin(), "xdotool");
    int status = 0;
    Glib::spawn_sync("", args, Glib::SPAWN_SEARCH_PATH, {}, nullptr, nullptr, &status);
    ASSERT_EQ(status, 0);
}

const char* Name(Gtk::Orientation orientation)
{
    return orientation == Gtk::ORIENTATION_HORIZONTAL ? "horizontal" : "vertical";
}

class ScrollViewScreen : public testing::Test {
protected:
    ScrollViewScreen() : win({1500, 1100}, {640, 480}) {}

    // The client changes size while the window is laid out again, which gives
    // the bars new ranges after they may already have been placed in that pass.
    void SetUp() override
    {
        ASSERT_TRUE(win.WaitShown());
        win.frame.resize(700, 520);
        ASSERT_TRUE(RunUntil([&] { return win.view->ClientSize().cx > 660; }));
        ASSERT_TRUE(WaitDrawn(win.frame));
    }

    Gtk::Scrollbar& Bar(Gtk::Orientation orientation) { return ScrollBarOf(*win.view, orientation); }

    void Request(Gtk::Orientation orientation, GtkScrollType type, double value = 0)
    {
        EXPECT_TRUE(SendScrollRequest(*win.view, orientation, type, value));
    }

    int32_t Offset(Gtk::Orientation orientation) const
    {
        return orientation == Gtk::ORIENTATION_HORIZONTAL ? win.setting.scrollX : win.setting.scrollY;
    }

    // The thumb's start and end along the bar, once the bar has been laid out.
    std::pair<int, int> Slider(Gtk::Orientation orientation)
    {
        EXPECT_TRUE(WaitDrawn(Bar(orientation)));
        int start = 0, end = 0;
        gtk_range_get_slider_range(GTK_RANGE(Bar(orientation).gobj()), &start, &end);
        return {start, end};
    }

    // Where the thumb's start belongs for the bar's value and the thumb's length.
    double SliderStartForValue(Gtk::Orientation orientation, int length)
    {
        Gtk::Scrollbar& bar = Bar(orientation);
        const auto adjustment = bar.get_adjustment();
        const double span = adjustment->get_upper() - adjustment->get_lower() - adjustment->get_page_size();
        const double fraction = (adjustment->get_value() - adjustment->get_lower()) / span;
        GdkRectangle trough{};
        gtk_range_get_range_rect(GTK_RANGE(bar.gobj()), &trough);
        const bool horizontal = orientation == Gtk::ORIENTATION_HORIZONTAL;
        return (horizontal ? trough.x : trough.y) + fraction * ((horizontal ? trough.width : trough.height) - length);
    }

    void ExpectThumbAtValue(Gtk::Orientation orientation)
    {
        const auto [start, end] = Slider(orientation);
        EXPECT_NEAR(start, SliderStartForValue(orientation, end - start), 2.0) << Name(orientation);
    }

    // A point of the bar in root coordinates, `along` (0..1) its length.
    std::pair<int, int> RootPointOfBar(Gtk::Orientation orientation, double along)
    {
        Gtk::Scrollbar& bar = Bar(orientation);
        int x = 0, y = 0;
        bar.get_window()->get_origin(x, y);
        const Gtk::Allocation a = bar.get_allocation();
        x += a.get_x();
        y += a.get_y();
        if (orientation == Gtk::ORIENTATION_HORIZONTAL)
            return {x + static_cast<int>(a.get_width() * along), y + a.get_height() / 2};
        return {x + a.get_width() / 2, y + static_cast<int>(a.get_height() * along)};
    }

    // Runs xdotool with the window on top and waits until the bar has moved.
    void Pointer(Gtk::Orientation orientation, const std::vector<std::string>& args)
    {
        win.frame.get_window()->raise();
        gdk_display_sync(win.frame.get_display()->gobj());
        const double before = Bar(orientation).get_adjustment()->get_value();
        Xdo(args);
        ASSERT_TRUE(RunUntil([&] { return Bar(orientation).get_adjustment()->get_value() != before; }));
        ASSERT_TRUE(WaitDrawn(Bar(orientation)));
    }

    // Whether the client on screen shows capture-grid.html at the stored
    // offsets, checked on every row and every seventh column within the browser.
    bool ScreenShowsPage()
    {
        const CSize client = win.view->ClientSize();
        const int32_t width = std::min(client.cx, win.setting.width - win.setting.scrollX);
        const int32_t height = std::min(client.cy, win.setting.height - win.setting.scrollY);
        if (width <= 0 || height <= 0)
            return false;
        GdkPixbuf* shot = gdk_pixbuf_get_from_window(win.view->ClientArea().get_window()->gobj(), 0, 0, width, height);
        if (!shot)
            return false;
        const guchar* pixels = gdk_pixbuf_get_pixels(shot);
        const int stride = gdk_pixbuf_get_rowstride(shot);
        const int channels = gdk_pixbuf_get_n_channels(shot);
        bool shown = true;
        for (int32_t y = 0; y < height && shown; ++y) {
            for (int32_t x = 0; x < width && shown; x += 7) {
                const guchar* p = pixels + y * stride + x * channels;
                const uint32_t rgb = (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2];
                shown = rgb == GridColor(x + win.setting.scrollX, y + win.setting.scrollY);
            }
        }
        g_object_unref(shot);
        return shown;
    }

    ScrollViewWindow win;
};

TEST_F(ScrollViewScreen, TroughClickDrawsTheThumbAtTheNewValue)
{
    for (const Gtk::Orientation orientation : {Gtk::ORIENTATION_VERTICAL, Gtk::ORIENTATION_HORIZONTAL}) {
        const auto [startBefore, endBefore] = Slider(orientation);
        const auto [x, y] = RootPointOfBar(orientation, 0.85);
        Pointer(orientation, {"mousemove", "--sync", std::to_string(x), std::to_string(y), "click", "1"});
        const CScrollBarInfo bar = win.view->ScrollBar(orientation);
        EXPECT_GT(bar.pos, 0);
        EXPECT_EQ(Offset(orientation), bar.pos);
        const auto [start, end] = Slider(orientation);
        EXPECT_GT(start, startBefore) << Name(orientation);
        EXPECT_EQ(end - start, endBefore - startBefore) << Name(orientation);
        ExpectThumbAtValue(orientation);
    }
}

TEST_F(ScrollViewScreen, ThumbDragDrawsTheThumbUnderThePointer)
{
    const Gtk::Orientation vertical = Gtk::ORIENTATION_VERTICAL;
    const auto [start, end] = Slider(vertical);
    const auto [x, y0] = RootPointOfBar(vertical, 0);
    const int grab = y0 + (start + end) / 2;
    Pointer(vertical, {"mousemove", "--sync", std::to_string(x), std::to_string(grab), "mousedown", "1", "mousemove",
                       "--sync", std::to_string(x), std::to_string(grab + 10), "mousemove", "--sync",
                       std::to_string(x), std::to_string(grab + 60), "mouseup", "1"});
    EXPECT_EQ(win.setting.scrollY, win.view->ScrollBar(vertical).pos);
    const auto [startAfter, endAfter] = Slider(vertical);
    EXPECT_NEAR(startAfter, start + 60, 2.0);
    ExpectThumbAtValue(vertical);
}

TEST_F(ScrollViewScreen, RequestsMoveTheThumb)
{
    Request(Gtk::ORIENTATION_VERTICAL, GTK_SCROLL_PAGE_FORWARD);
    Request(Gtk::ORIENTATION_HORIZONTAL, GTK_SCROLL_JUMP, 700);
    for (const Gtk::Orientation orientation : {Gtk::ORIENTATION_VERTICAL, Gtk::ORIENTATION_HORIZONTAL}) {
        EXPECT_GT(Slider(orientation).first, 0) << Name(orientation);
        ExpectThumbAtValue(orientation);
    }
}

// The rows and columns a scroll uncovers show the page, not blank.
TEST_F(ScrollViewScreen, ScrolledPageIsDrawnOverTheWholeClient)
{
    ASSERT_TRUE(win.Load("grid")) << win.Title() << " state " << win.view->View().ReadyState();
    ASSERT_TRUE(RunUntil([&] { return ScreenShowsPage(); }, 10));
    const struct {
        Gtk::Orientation orientation;
        GtkScrollType type;
        double value;
    } steps[] = {
        {Gtk::ORIENTATION_VERTICAL, GTK_SCROLL_JUMP, 100},
        {Gtk::ORIENTATION_VERTICAL, GTK_SCROLL_PAGE_FORWARD, 0},
        {Gtk::ORIENTATION_HORIZONTAL, GTK_SCROLL_JUMP, 100},
        {Gtk::ORIENTATION_HORIZONTAL, GTK_SCROLL_PAGE_FORWARD, 0},
        {Gtk::ORIENTATION_VERTICAL, GTK_SCROLL_STEP_BACKWARD, 0},
    };
    for (const auto& step : steps) {
        const int32_t before = Offset(step.orientation);
        Request(step.orientation, step.type, step.value);
        ASSERT_NE(Offset(step.orientation), before);
        EXPECT_TRUE(RunUntil([&] { return ScreenShowsPage(); }, 5))
            << Name(step.orientation) << " scrolled to " << Offset(step.orientation);
    }
}

TEST_F(ScrollViewScreen, ThumbDragShowsTheUncoveredRows)
{
    ASSERT_TRUE(win.Load("grid")) << win.Title() << " state " << win.view->View().ReadyState();
    const Gtk::Orientation vertical = Gtk::ORIENTATION_VERTICAL;
    const auto [start, end] = Slider(vertical);
    const auto [x, y0] = RootPointOfBar(vertical, 0);
    const int grab = y0 + (start + end) / 2;
    Pointer(vertical, {"mousemove", "--sync", std::to_string(x), std::to_string(grab), "mousedown", "1", "mousemove",
                       "--sync", std::to_string(x), std::to_string(grab + 30), "mouseup", "1"});
    ASSERT_GT(win.setting.scrollY, 0);
    EXPECT_TRUE(RunUntil([&] { return ScreenShowsPage(); }, 5)) << "scrolled to " << win.setting.scrollY;
}

}  // namespace
