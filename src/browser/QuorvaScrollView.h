#pragma once
#include "browser/CaptureState.h"
#include "browser/QuorvaScrollViewClient.h"
#include "browser/QuorvaScrollViewGeometry.h"
#include "browser/QuorvaneView.h"
#include "common/Types.h"

#include <gtkmm/adjustment.h>
#include <gtkmm/grid.h>
#include <gtkmm/overlay.h>
#include <gtkmm/scrollbar.h>

#include <functional>

class CSetting;
typedef struct _cairo_pattern cairo_pattern_t;

// The main window's client view: holds the browser at exactly Width x Height
// pixels of the settings, placed at (-ScrollX, -ScrollY), with scroll bars that
// reach a little past it and a 6-pixel splitter band along its right and bottom
// edges that resizes it. The overlay that shades the trims sits in
// ClientOverlay(), above the client area.
class CQuorvaScrollView {
public:
    explicit CQuorvaScrollView(CSetting& setting);
    ~CQuorvaScrollView();
    CQuorvaScrollView(const CQuorvaScrollView&) = delete;
    CQuorvaScrollView& operator=(const CQuorvaScrollView&) = delete;

    // The whole view: client area and both scroll bars.
    Gtk::Widget& Widget() { return m_grid; }
    CQuorvaneView& View() { return m_view; }
    CSetting& Setting() { return m_setting; }
    Gtk::Overlay& ClientOverlay() { return m_overlay; }
    Gtk::Widget& ClientArea() { return m_client; }

    // The browser's rectangle in client coordinates as it is placed now.
    CRect BrowserRect() const { return m_client.ChildRect(); }
    CSize ClientSize() const { return m_client.ClientSize(); }
    CScrollBarInfo ScrollBar(Gtk::Orientation orientation) const;

    // After the settings' Width or Height changed: resize the browser, update
    // the scroll bars, the overlay and the view.
    void ApplyBrowserSize();
    // The browser size that gives a kept area of w x h with the current trims.
    void SetTrimmedContentSize(int32_t w, int32_t h);
    // A request of one scroll bar, as its arrows, trough and thumb make them.
    void Scroll(Gtk::Orientation orientation, ScrollRequest request, int32_t trackPos = 0);

    // The capture of this view that is running, if any.
    CCaptureState& CaptureState() { return m_captureState; }
    // After the page started or stopped loading: the busy cursor over the
    // area around the browser follows at once, not at the next mouse move.
    void RefreshCursor();

    // The splitter zone being dragged; kZoneNone when no drag is in progress.
    int DragZone() const { return m_dragZone; }

    // Set by the owner: refresh the size bar's width and height fields.
    std::function<void()> onRefreshSizeFields;
    // Set by the owner: run the overlay's layout and redraw it.
    std::function<void()> onOverlayUpdate;
    // Set by the owner: the client area has a new size.
    std::function<void()> onOverlayReposition;

private:
    void UpdateScrollBars();
    void PlaceScrollBarsAgain();
    void OnClientSizeChanged();
    bool OnChangeValue(Gtk::ScrollType type, double value, Gtk::Orientation orientation);
    bool OnDraw(const Cairo::RefPtr<Cairo::Context>& cr);
    bool OnButtonPress(GdkEventButton* event);
    bool OnMotion(GdkEventMotion* event);
    bool OnButtonRelease(GdkEventButton* event);
    bool OnGrabBroken(GdkEventGrabBroken* event);
    void UpdateCursor(CPoint pt);
    CPoint BrowserEdge() const;
    void RunOverlayUpdate();

    CSetting& m_setting;
    CQuorvaneView m_view;
    Glib::RefPtr<Gtk::Adjustment> m_hadjustment;
    Glib::RefPtr<Gtk::Adjustment> m_vadjustment;
    Gtk::Grid m_grid;
    Gtk::Overlay m_overlay;
    CQuorvaScrollViewClient m_client;
    Gtk::Scrollbar m_hscroll;
    Gtk::Scrollbar m_vscroll;

    cairo_pattern_t* m_background = nullptr;
    int m_dragZone = kZoneNone;
    CPoint m_dragStart;
    CSize m_dragStartSize;
    std::string m_cursorName;
    CPoint m_lastPointer{-1, -1};
    CCaptureState m_captureState;
};
