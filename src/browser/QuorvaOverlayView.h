#pragma once
#include "browser/LayeredWindowImpl.h"
#include "browser/OverlayGeometry.h"
#include "browser/OverlayScene.h"
#include "browser/OverlayTrimDrag.h"

#include <functional>
#include <vector>

namespace Gtk {
class Overlay;
}

class CQuorvaneView;
class CSetting;

// The layer over the scroll view's client area that shades the trimmed
// margins of the browser and carries the four trim handles. It takes the
// mouse only on the shaded margins and the handles; everywhere else clicks,
// the wheel and the keyboard reach the page beneath. Dragging a handle
// changes that trim in the settings. User-interface thread only.
class CQuorvaOverlayView : public CLayeredWindowImpl {
public:
    // `browser` gets the keyboard focus back after a drag; it may be null.
    CQuorvaOverlayView(CSetting& setting, CQuorvaneView* browser);
    ~CQuorvaOverlayView() override;
    CQuorvaOverlayView(const CQuorvaOverlayView&) = delete;
    CQuorvaOverlayView& operator=(const CQuorvaOverlayView&) = delete;

    // Lays the overlay over the main child of `overlay` (the scroll view's
    // client area), letting input it does not take fall through to it.
    void AttachTo(Gtk::Overlay& overlay);

    // After the browser size, the scroll offsets or the trims changed: the
    // layout hook, then the update.
    void Refresh();

    void OnLayout() override;
    void Paint(cairo_surface_t* target) override;
    void Update() override;

    // Run after a handle drag changed a trim: refresh the size bar's trim
    // fields from the settings.
    std::function<void()> onTrimDragged;

    COverlayGeometry Geometry() const;
    const COverlayScene& Scene() const { return m_scene; }
    // Index of the handle being dragged; -1 when none.
    int DragIndex() const { return m_drag.Index(); }
    // The rectangles that currently take mouse input.
    const std::vector<CRect>& InputRects() const { return m_inputRects; }

protected:
    bool on_button_press_event(GdkEventButton* event) override;
    bool on_motion_notify_event(GdkEventMotion* event) override;
    bool on_button_release_event(GdkEventButton* event) override;
    bool on_scroll_event(GdkEventScroll* event) override;

private:
    bool OnGrabBroken(GdkEventGrabBroken* event);
    void UpdateInputShape(const COverlayGeometry& geometry);
    void UpdateCursor(int handle);
    void EndDrag();

    CSetting& m_setting;
    CQuorvaneView* m_browser;
    COverlayScene m_scene;
    COverlayTrimDrag m_drag;
    std::vector<CRect> m_inputRects;
    bool m_inputShapeSet = false;
    int m_cursorHandle = -2;
};
