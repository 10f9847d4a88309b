// The overlay over a real scroll view and web view, driven with real pointer
// events through the X server (xdotool), as a person would use it.
#include "GuiTestUtil.h"

#include "browser/QuorvaOverlayView.h"
#include "browser/QuorvaScrollView.h"
#include "settings/Setting.h"
#include "shell/BarDlg.h"

#include <gtest/gtest.h>
#include <gtkmm.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace {

// The trimmed margins: black at alpha 0x40 (a quarter), premultiplied ARGB as
// cairo stores it.
constexpr uint32_t kShade = 0x40000000;

void Xdo(std::vector<std::string> args)
{
    args.insert(args.begin(), "xdotool");
    int status = 0;
    Glib::spawn_sync("", args, Glib::SPAWN_SEARCH_PATH, {}, nullptr, nullptr, &status);
    ASSERT_EQ(status, 0);
}

// The pointer events this process has been handed, seen before GTK handles
// them: what xdotool did has arrived once they are counted.
struct PointerEvents {
    int presses = 0, releases = 0;
    double x = -1, y = -1;  // root coordinates of the last event

    static void Handle(GdkEvent* event, gpointer self)
    {
        auto* seen = static_cast<PointerEvents*>(self);
        double x = 0, y = 0;
        if (gdk_event_get_root_coords(event, &x, &y) &&
            (event->type == GDK_MOTION_NOTIFY || event->type == GDK_BUTTON_PRESS ||
             event->type == GDK_BUTTON_RELEASE || event->type == GDK_ENTER_NOTIFY))
            seen->x = x, seen->y = y;
        if (event->type == GDK_BUTTON_PRESS)
            ++seen->presses;
        if (event->type == GDK_BUTTON_RELEASE)
            ++seen->releases;
        gtk_main_do_event(event);
    }
    void Watch() { gdk_event_handler_set(&PointerEvents::Handle, this, nullptr); }
    static void Unwatch()
    {
        gdk_event_handler_set([](GdkEvent* event, gpointer) { gtk_main_do_event(event); }, nullptr, nullptr);
    }
    bool At(CPoint p) const { return std::lround(x) == p.x && std::lround(y) == p.y; }
};

// Handles what is pending now: the redraws and idle work an event queued.
void Drain()
{
    auto context = Glib::MainContext::get_default();
    for (int i = 0; i < 1000 && context->pending(); ++i)
        context->iteration(false);
}

class OverlayView : public testing::Test {
protected:
    void SetUp() override
    {
        setting.width = 500;
        setting.height = 350;
        setting.trim = {40, 30, 50, 60};

        bar = std::make_unique<CBarDlg>(setting);
        scroll = std::make_unique<CQuorvaScrollView>(setting);
        overlay = std::make_unique<CQuorvaOverlayView>(setting, &scroll->View());
        overlay->AttachTo(scroll->ClientOverlay());
        scroll->onOverlayUpdate = [this] { overlay->Refresh(); };
        scroll->onOverlayReposition = [this] { overlay->Refresh(); };
        overlay->onTrimDragged = [this] {
            ++trimDrags;
            bar->RefreshTrimFields();
        };
        bar->onTrimChanged = [this] { overlay->Refresh(); };
        bar->onBrowserSizeChanged = [this] { scroll->ApplyBrowserSize(); };

        box.pack_start(*bar, Gtk::PACK_SHRINK);
        box.pack_start(scroll->Widget(), Gtk::PACK_EXPAND_WIDGET);
        window.add(box);
        window.set_default_size(600, 440);
        window.move(0, 0);
        window.show_all();
        ASSERT_TRUE(RunUntil([&] { return overlay->get_realized() && overlay->get_allocated_width() > 100; }));

        scroll->View().Navigate(FixtureUrl("overlay-clicks.html"));
        ASSERT_TRUE(RunUntil([&] { return scroll->View().ReadyState() == 4 && Title() != ""; }, 60)) << scroll->View().ReadyState() << " '" << Title() << "'";
        ASSERT_TRUE(RunUntil([&] { return BufferMatchesOverlay(); }, 5));
        Drain();
        pointer.Watch();
    }

    void TearDown() override
    {
        PointerEvents::Unwatch();
        Xdo({"mouseup", "1"});
        window.hide();
        Drain();
    }

    bool BufferMatchesOverlay()
    {
        return overlay->BackBuffer().Width() == overlay->get_allocated_width() &&
               overlay->BackBuffer().Height() == overlay->get_allocated_height();
    }

    std::string Title()
    {
        std::string title;
        scroll->View().GetLocationName(title);
        return title;
    }

    // Screen position of a point in overlay coordinates.
    CPoint OnScreen(CPoint p)
    {
        int x = 0, y = 0;
        overlay->get_window()->get_origin(x, y);
        return {x + p.x, y + p.y};
    }

    // Each step waits until its event has reached this process and been
    // handled (5 s at most, else the test fails). Motion is reported only
    // where a widget asks for it (the overlay's strips and handles); a
    // click's press says where it landed.
    void MoveTo(CPoint p, bool waitForMotion = true)
    {
        const CPoint s = OnScreen(p);
        int x = 0, y = 0;
        window.get_display()->get_default_seat()->get_pointer()->get_position(x, y);
        Xdo({"mousemove", "--sync", std::to_string(s.x), std::to_string(s.y)});
        // A pointer that is already there sends no motion.
        if (waitForMotion && (x != s.x || y != s.y)) {
            EXPECT_TRUE(RunUntil([&] { return pointer.At(s); }, 5)) << "no motion to " << s.x << "," << s.y;
        }
        Drain();
    }

    void Press()
    {
        const int before = pointer.presses;
        Xdo({"mousedown", "1"});
        EXPECT_TRUE(RunUntil([&] { return pointer.presses > before; }, 5)) << "no button press";
        Drain();
    }

    void Release()
    {
        const int before = pointer.releases;
        Xdo({"mouseup", "1"});
        EXPECT_TRUE(RunUntil([&] { return pointer.releases > before; }, 5)) << "no button release";
        Drain();
    }

    void Click(CPoint p)
    {
        MoveTo(p, false);
        Press();
        EXPECT_TRUE(pointer.At(OnScreen(p))) << "pressed at " << pointer.x << "," << pointer.y;
        Release();
    }

    void Drag(CPoint from, CPoint to)
    {
        MoveTo(from);
        Press();
        MoveTo({(from.x + to.x) / 2, (from.y + to.y) / 2});
        MoveTo(to);
        Release();
    }

    CRect HandleRect(int index) { return overlay->Scene().GetHandles()[index]->Rect(); }
    static CPoint Centre(const CRect& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

    uint32_t BufferPixel(int x, int y)
    {
        cairo_surface_t* s = overlay->BackBuffer().Surface();
        cairo_surface_flush(s);
        const unsigned char* row = cairo_image_surface_get_data(s) + y * cairo_image_surface_get_stride(s);
        return reinterpret_cast<const uint32_t*>(row)[x];
    }

    CSetting setting;
    Gtk::Window window;
    Gtk::Box box{Gtk::ORIENTATION_VERTICAL};
    std::unique_ptr<CBarDlg> bar;
    std::unique_ptr<CQuorvaScrollView> scroll;
    std::unique_ptr<CQuorvaOverlayView> overlay;
    int trimDrags = 0;
    PointerEvents pointer;
};

TEST_F(OverlayView, DraggingTheLeftHandleMovesTheTrimAndTheSizeBarFollows)
{
    bar->Edit(CBarDlg::IDC_WIDTH).grab_focus();
    const CRect left = HandleRect(kHandleLeft);
    ASSERT_EQ(left.left, 40);
    Drag(Centre(left), {Centre(left).x + 70, Centre(left).y + 20});
    EXPECT_EQ(setting.trim, (CRect{110, 30, 50, 60}));
    EXPECT_EQ(bar->Edit(CBarDlg::IDC_TRIM_LEFT).get_text(), "110");
    EXPECT_GT(trimDrags, 0);
    EXPECT_EQ(overlay->DragIndex(), -1);
    EXPECT_EQ(HandleRect(kHandleLeft).left, 110);
    EXPECT_TRUE(scroll->View().Widget().is_focus()) << "the page has the keyboard again";
    EXPECT_EQ(BufferPixel(100, 200), kShade);
}

TEST_F(OverlayView, DraggingStopsAtTheLimitsOfTheTrims)
{
    const CRect right = HandleRect(kHandleRight);
    Drag(Centre(right), {2, Centre(right).y});
    EXPECT_EQ(setting.trim.right, 500 - 28 - 40);
    EXPECT_EQ(bar->Edit(CBarDlg::IDC_TRIM_RIGHT).get_text(), std::to_string(500 - 28 - 40));

    const CRect bottom = HandleRect(kHandleBottom);
    Drag(Centre(bottom), {Centre(bottom).x, Centre(bottom).y + 200});
    EXPECT_EQ(setting.trim.bottom, 0);
    EXPECT_EQ(bar->Edit(CBarDlg::IDC_TRIM_BOTTOM).get_text(), "0");
}

TEST_F(OverlayView, APressOnAStripStaysOffThePageAndOtherClicksReachIt)
{
    ASSERT_EQ(Title(), "ready");
    Click({10, 150});    // left strip
    Click({250, 10});    // top strip
    EXPECT_EQ(setting.trim, (CRect{40, 30, 50, 60}));
    Click({120, 120});   // kept area, clear of the handles
    ASSERT_TRUE(RunUntil([&] { return Title() != "ready"; }, 5));
    EXPECT_EQ(Title(), "presses=1 wheels=0 last=120,120");
    Click({560, 200});   // the splitter side of the client, beside the browser
    Click({200, 340});   // bottom strip
    Click({300, 200});
    ASSERT_TRUE(RunUntil([&] { return Title().find("presses=2") == 0; }, 5));
    EXPECT_EQ(Title(), "presses=2 wheels=0 last=300,200");
}

TEST_F(OverlayView, TheWheelOverAStripStillReachesThePage)
{
    MoveTo({10, 150});
    Xdo({"click", "5"});
    ASSERT_TRUE(RunUntil([&] { return Title().find("wheels=1") != std::string::npos; }, 5)) << Title();
    EXPECT_EQ(Title(), "presses=0 wheels=1 last=10,150");
    EXPECT_EQ(setting.trim, (CRect{40, 30, 50, 60}));
}

TEST_F(OverlayView, TheOverlayFollowsScrollingAndResizing)
{
    scroll->Scroll(Gtk::ORIENTATION_HORIZONTAL, ScrollRequest::ThumbTrack, 100);
    ASSERT_EQ(setting.scrollX, 100);
    EXPECT_EQ(overlay->Geometry().browser.left, -100);
    EXPECT_EQ(HandleRect(kHandleLeft).left, 40 - 100);
    EXPECT_EQ(BufferPixel(5, 150), 0u) << "the left trim line is out of sight";
    const CRect right = HandleRect(kHandleRight);
    EXPECT_EQ(right.right, 500 - 100 - 50);

    // The handle is grabbed where it is now drawn.
    Drag(Centre(right), {Centre(right).x - 30, Centre(right).y});
    EXPECT_EQ(setting.trim.right, 80);

    setting.width = 300;
    scroll->ApplyBrowserSize();
    EXPECT_TRUE(RunUntil([&] { return HandleRect(kHandleRight).right == 300 - 100 - 80; }, 5))
        << HandleRect(kHandleRight).right;

    const int oldWidth = overlay->get_allocated_width();
    window.resize(500, 400);
    ASSERT_TRUE(RunUntil([&] { return overlay->get_allocated_width() < oldWidth; }, 5));
    EXPECT_TRUE(RunUntil([&] { return BufferMatchesOverlay(); }, 5))
        << overlay->BackBuffer().Width() << " x " << overlay->BackBuffer().Height() << " for "
        << overlay->get_allocated_width() << " x " << overlay->get_allocated_height();
    Drain();
    EXPECT_EQ(overlay->get_allocated_width(), scroll->ClientSize().cx);
    EXPECT_EQ(overlay->get_allocated_height(), scroll->ClientSize().cy);
}

}  // namespace
