#pragma once
// A real window holding the scroll view and its web view with a fixture page,
// for the scroll view, capture and clipboard tests.
#include "GuiTestUtil.h"

#include "bitmap/Dib.h"
#include "browser/QuorvaScrollView.h"
#include "settings/Setting.h"

#include <gtest/gtest.h>
#include <gtkmm/grid.h>
#include <gtkmm/scrollbar.h>
#include <gtkmm/window.h>
#include <webkit2/webkit2.h>

#include <memory>
#include <string>

class ScrollViewWindow {
public:
    ScrollViewWindow(CSize browser, CSize window)
    {
        setting.width = browser.cx;
        setting.height = browser.cy;
        view = std::make_unique<CQuorvaScrollView>(setting);
        frame.set_default_size(window.cx, window.cy);
        frame.move(0, 0);
        frame.add(view->Widget());
        frame.show_all();
    }

    bool WaitShown()
    {
        return RunUntil([&] {
            const CSize client = view->ClientSize();
            return view->ClientArea().get_realized() && client.cx > 50 && client.cy > 50;
        });
    }

    std::string Title() const
    {
        const char* title = webkit_web_view_get_title(view->View().WebView());
        return title ? title : "";
    }

    // The fixture pages report their drawn size in the title ("grid 300x200").
    std::string SizeTitle(const std::string& page) const
    {
        return page + " " + std::to_string(setting.width) + "x" + std::to_string(setting.height);
    }

    bool Load(const std::string& page)
    {
        view->View().Navigate(FixtureUrl("capture-" + page + ".html"));
        return RunUntil([&] { return view->View().ReadyState() == 4 && Title() == SizeTitle(page); }, 30);
    }

    // After Width/Height changed: apply and wait until the page has redrawn.
    bool Resize(CSize size, const std::string& page)
    {
        setting.width = size.cx;
        setting.height = size.cy;
        view->ApplyBrowserSize();
        return RunUntil([&] { return Title() == SizeTitle(page); }, 30);
    }

    Gtk::Allocation WebViewAllocation() { return view->View().Widget().get_allocation(); }

    CSetting setting;
    Gtk::Window frame;
    std::unique_ptr<CQuorvaScrollView> view;
};

// 0xRRGGBB of the pixel (x, y), counted from the top, of a 24-bit DIB.
// One of the scroll view's two bars.
inline Gtk::Scrollbar& ScrollBarOf(CQuorvaScrollView& view, Gtk::Orientation orientation)
{
    auto& grid = dynamic_cast<Gtk::Grid&>(view.Widget());
    Gtk::Widget* bar = orientation == Gtk::ORIENTATION_HORIZONTAL ? grid.get_child_at(0, 1) : grid.get_child_at(1, 0);
    return dynamic_cast<Gtk::Scrollbar&>(*bar);
}

// What a bar's arrows, trough, thumb and wheel send; true when handled.
inline bool SendScrollRequest(CQuorvaScrollView& view, Gtk::Orientation orientation, GtkScrollType type, double value)
{
    gboolean handled = FALSE;
    g_signal_emit_by_name(ScrollBarOf(view, orientation).gobj(), "change-value", type, value, &handled);
    return handled;
}

inline uint32_t PixelAt(const CDib& dib, int32_t x, int32_t y)
{
    const uint8_t* p = dib.RowFromTop(y) + static_cast<size_t>(x) * 3;
    return (uint32_t{p[2]} << 16) | (uint32_t{p[1]} << 8) | p[0];
}

// The colour capture-grid.html gives the page pixel (x, y).
inline uint32_t GridColor(int32_t x, int32_t y)
{
    return (uint32_t(x & 255) << 16) | (uint32_t(y & 255) << 8) | ((((x >> 8) & 15) << 4) | ((y >> 8) & 15));
}
