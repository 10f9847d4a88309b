#include "browser/QuorvaOverlayView.h"

#include "browser/OverlayHandleImages.h"
#include "browser/QuorvaneView.h"
#include "settings/Setting.h"

#include <gtkmm/overlay.h>

#include <cairo.h>
#include <cmath>

namespace {

int ToInt(double v)
{
    return static_cast<int>(std::lround(v));
}

}  // namespace

CQuorvaOverlayView::CQuorvaOverlayView(CSetting& setting, CQuorvaneView* browser)
    : m_setting(setting), m_browser(browser), m_scene(this)
{
    add_events(Gdk::BUTTON_PRESS_MASK | Gdk::BUTTON_RELEASE_MASK | Gdk::POINTER_MOTION_MASK |
               Gdk::SCROLL_MASK | Gdk::SMOOTH_SCROLL_MASK);
    set_halign(Gtk::ALIGN_FILL);
    set_valign(Gtk::ALIGN_FILL);
    signal_grab_broken_event().connect(sigc::mem_fun(*this, &CQuorvaOverlayView::OnGrabBroken));
    UpdateInputShape(Geometry());
}

CQuorvaOverlayView::~CQuorvaOverlayView()
{
    // The handles keep their own references to the pictures.
    OverlayHandleImages::Release();
}

void CQuorvaOverlayView::AttachTo(Gtk::Overlay& overlay)
{
    overlay.add_overlay(*this);
    overlay.set_overlay_pass_through(*this, true);
    show();
}

void CQuorvaOverlayView::Refresh()
{
    OnLayout();
    Update();
}

COverlayGeometry CQuorvaOverlayView::Geometry() const
{
    return COverlayGeometry({0, 0, get_allocated_width(), get_allocated_height()}, m_setting);
}

void CQuorvaOverlayView::OnLayout()
{
    const COverlayGeometry geometry = Geometry();
    m_scene.Layout(geometry);
    UpdateInputShape(geometry);
}

void CQuorvaOverlayView::Paint(cairo_surface_t* target)
{
    m_scene.Paint(target, Geometry());
}

void CQuorvaOverlayView::Update()
{
    CLayeredWindowImpl::Update();
    UpdateInputShape(Geometry());
}

void CQuorvaOverlayView::UpdateInputShape(const COverlayGeometry& geometry)
{
    std::vector<CRect> rects = m_scene.InputRects(geometry);
    if (m_inputShapeSet && rects == m_inputRects)
        return;
    m_inputRects = std::move(rects);
    m_inputShapeSet = true;
    cairo_region_t* region = cairo_region_create();
    for (const CRect& r : m_inputRects) {
        const cairo_rectangle_int_t rect{r.left, r.top, r.Width(), r.Height()};
        cairo_region_union_rectangle(region, &rect);
    }
    gtk_widget_input_shape_combine_region(GTK_WIDGET(gobj()), region);
    cairo_region_destroy(region);
}

void CQuorvaOverlayView::UpdateCursor(int handle)
{
    if (handle == m_cursorHandle)
        return;
    const Glib::RefPtr<Gdk::Window> window = get_window();
    if (!window)
        return;
    m_cursorHandle = handle;
    const char* name = nullptr;
    if (handle == kHandleTop || handle == kHandleBottom)
        name = "ns-resize";
    else if (handle == kHandleLeft || handle == kHandleRight)
        name = "ew-resize";
    window->set_cursor(name ? Gdk::Cursor::create(get_display(), name) : Glib::RefPtr<Gdk::Cursor>());
}

// A press anywhere on the overlay is taken, so a press on a shaded margin
// never reaches the page; only a press on a handle starts a drag.
bool CQuorvaOverlayView::on_button_press_event(GdkEventButton* event)
{
    if (event->type != GDK_BUTTON_PRESS || event->button != GDK_BUTTON_PRIMARY || m_drag.IsDragging())
        return true;
    const int x = ToInt(event->x), y = ToInt(event->y);
    OnLayout();
    const int handle = m_scene.HitHandle(x, y);
    if (handle >= 0)
        m_drag.Begin(handle, {x, y}, m_setting.trim);
    return true;
}

bool CQuorvaOverlayView::on_motion_notify_event(GdkEventMotion* event)
{
    const int x = ToInt(event->x), y = ToInt(event->y);
    if (!m_drag.IsDragging()) {
        UpdateCursor(m_scene.HitHandle(x, y));
        return true;
    }
    if (!m_drag.Step({x, y}, m_scene.HandleSize(m_drag.Index()), m_setting))
        return true;
    Refresh();
    if (onTrimDragged)
        onTrimDragged();
    return true;
}

bool CQuorvaOverlayView::on_button_release_event(GdkEventButton* event)
{
    if (event->button == GDK_BUTTON_PRIMARY && m_drag.IsDragging())
        EndDrag();
    return true;
}

bool CQuorvaOverlayView::OnGrabBroken(GdkEventGrabBroken*)
{
    if (m_drag.IsDragging())
        EndDrag();
    return false;
}

void CQuorvaOverlayView::EndDrag()
{
    m_drag.End();
    if (m_browser)
        m_browser->Widget().grab_focus();
}

// The wheel over a margin or a handle still scrolls or zooms the page, as it
// does everywhere else over the browser.
bool CQuorvaOverlayView::on_scroll_event(GdkEventScroll* event)
{
    if (!m_browser)
        return false;
    Gtk::Widget& target = m_browser->Widget();
    const Glib::RefPtr<Gdk::Window> window = target.get_window();
    int tx = 0, ty = 0;
    if (!window || !translate_coordinates(target, ToInt(event->x), ToInt(event->y), tx, ty))
        return true;
    GdkEvent* copy = gdk_event_copy(reinterpret_cast<GdkEvent*>(event));
    g_object_unref(copy->scroll.window);
    copy->scroll.window = GDK_WINDOW(g_object_ref(window->gobj()));
    copy->scroll.x = event->x + (tx - ToInt(event->x));
    copy->scroll.y = event->y + (ty - ToInt(event->y));
    gtk_widget_event(target.gobj(), copy);
    gdk_event_free(copy);
    return true;
}
