#include "browser/QuorvaScrollView.h"

#include "common/Saturate.h"
#include "settings/Setting.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

std::optional<ScrollRequest> RequestOf(Gtk::ScrollType type)
{
    switch (type) {
    case Gtk::SCROLL_STEP_BACKWARD:
    case Gtk::SCROLL_STEP_UP:
    case Gtk::SCROLL_STEP_LEFT: return ScrollRequest::LineUp;
    case Gtk::SCROLL_STEP_FORWARD:
    case Gtk::SCROLL_STEP_DOWN:
    case Gtk::SCROLL_STEP_RIGHT: return ScrollRequest::LineDown;
    case Gtk::SCROLL_PAGE_BACKWARD:
    case Gtk::SCROLL_PAGE_UP:
    case Gtk::SCROLL_PAGE_LEFT: return ScrollRequest::PageUp;
    case Gtk::SCROLL_PAGE_FORWARD:
    case Gtk::SCROLL_PAGE_DOWN:
    case Gtk::SCROLL_PAGE_RIGHT: return ScrollRequest::PageDown;
    case Gtk::SCROLL_JUMP: return ScrollRequest::ThumbTrack;
    case Gtk::SCROLL_START: return ScrollRequest::Top;
    case Gtk::SCROLL_END: return ScrollRequest::Bottom;
    default: return std::nullopt;
    }
}

void FillRects(cairo_t* cr, const std::vector<CRect>& rects)
{
    for (const CRect& r : rects)
        cairo_rectangle(cr, r.left, r.top, static_cast<double>(r.Width()), static_cast<double>(r.Height()));
    cairo_fill(cr);
}

void FillRects(cairo_t* cr, const std::vector<CRect>& rects, uint32_t rgb)
{
    cairo_set_source_rgb(cr, ((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0);
    FillRects(cr, rects);
}

}  // namespace

CQuorvaScrollView::CQuorvaScrollView(CSetting& setting)
    : m_setting(setting),
      m_hadjustment(Gtk::Adjustment::create(0, 0, 1, 1, 1, 1)),
      m_vadjustment(Gtk::Adjustment::create(0, 0, 1, 1, 1, 1)),
      m_hscroll(m_hadjustment, Gtk::ORIENTATION_HORIZONTAL),
      m_vscroll(m_vadjustment, Gtk::ORIENTATION_VERTICAL)
{
    m_client.set_hexpand(true);
    m_client.set_vexpand(true);
    m_overlay.add(m_client);
    m_grid.attach(m_overlay, 0, 0);
    m_grid.attach(m_vscroll, 1, 0);
    m_grid.attach(m_hscroll, 0, 1);

    const int32_t left = Saturate32(-int64_t{m_setting.scrollX});
    const int32_t top = Saturate32(-int64_t{m_setting.scrollY});
    m_client.SetChildRect({left, top, SaturatedSum(left, BrowserSide(m_setting.width)),
                           SaturatedSum(top, BrowserSide(m_setting.height))});
    m_client.add(m_view.Widget());
    m_client.onClientSizeChanged = [this] { OnClientSizeChanged(); };
    m_client.signal_draw().connect(sigc::mem_fun(*this, &CQuorvaScrollView::OnDraw), false);
    m_client.signal_button_press_event().connect(sigc::mem_fun(*this, &CQuorvaScrollView::OnButtonPress));
    m_client.signal_motion_notify_event().connect(sigc::mem_fun(*this, &CQuorvaScrollView::OnMotion));
    m_client.signal_button_release_event().connect(sigc::mem_fun(*this, &CQuorvaScrollView::OnButtonRelease));
    m_client.signal_grab_broken_event().connect(sigc::mem_fun(*this, &CQuorvaScrollView::OnGrabBroken));

    m_hscroll.signal_change_value().connect(
        [this](Gtk::ScrollType type, double value) { return OnChangeValue(type, value, Gtk::ORIENTATION_HORIZONTAL); },
        false);
    m_vscroll.signal_change_value().connect(
        [this](Gtk::ScrollType type, double value) { return OnChangeValue(type, value, Gtk::ORIENTATION_VERTICAL); },
        false);

    m_grid.signal_size_allocate().connect([this](Gtk::Allocation&) { PlaceScrollBarsAgain(); });

    m_grid.show_all();
    UpdateScrollBars();
}

CQuorvaScrollView::~CQuorvaScrollView()
{
    // A capture still under way lets go of the view now; its end, which
    // comes later, finds the view gone.
    m_captureState.Detach();
    if (m_background)
        cairo_pattern_destroy(m_background);
}

CScrollBarInfo CQuorvaScrollView::ScrollBar(Gtk::Orientation orientation) const
{
    const Glib::RefPtr<Gtk::Adjustment>& adjustment =
        orientation == Gtk::ORIENTATION_HORIZONTAL ? m_hadjustment : m_vadjustment;
    const auto whole = [](double v) {
        return TruncSaturate32(std::round(v));
    };
    CScrollBarInfo bar;
    bar.min = whole(adjustment->get_lower());
    bar.max = whole(adjustment->get_upper() - 1);
    bar.page = whole(adjustment->get_page_size());
    bar.pos = whole(adjustment->get_value());
    return bar;
}

void CQuorvaScrollView::UpdateScrollBars()
{
    const CRect browser = BrowserRect();
    const CSize client = ClientSize();
    const CScrollBarInfo h = CalcScrollBar(browser.Width(), client.cx, browser.left);
    const CScrollBarInfo v = CalcScrollBar(browser.Height(), client.cy, browser.top);
    // The adjustment keeps its value within [lower, upper - page], the last page.
    m_hadjustment->configure(h.pos, h.min, static_cast<double>(h.max) + 1, 1, std::max(h.page, 1), h.page);
    m_vadjustment->configure(v.pos, v.min, static_cast<double>(v.max) + 1, 1, std::max(v.page, 1), v.page);
}

void CQuorvaScrollView::ApplyBrowserSize()
{
    const CRect old = BrowserRect();
    m_client.SetChildRect({old.left, old.top, SaturatedSum(old.left, BrowserSide(m_setting.width)),
                           SaturatedSum(old.top, BrowserSide(m_setting.height))});
    UpdateScrollBars();
    RunOverlayUpdate();
    m_client.queue_draw();
}

void CQuorvaScrollView::SetTrimmedContentSize(int32_t w, int32_t h)
{
    m_setting.width = Saturate32(int64_t{w} + m_setting.trim.left + m_setting.trim.right);
    m_setting.height = Saturate32(int64_t{h} + m_setting.trim.top + m_setting.trim.bottom);
    if (onRefreshSizeFields)
        onRefreshSizeFields();
    ApplyBrowserSize();
}

bool CQuorvaScrollView::OnChangeValue(Gtk::ScrollType type, double value, Gtk::Orientation orientation)
{
    const std::optional<ScrollRequest> request = RequestOf(type);
    if (request) {
        const double track = std::clamp(std::round(value), static_cast<double>(std::numeric_limits<int32_t>::min()),
                                        static_cast<double>(std::numeric_limits<int32_t>::max()));
        Scroll(orientation, *request, static_cast<int32_t>(track));
    }
    return true;
}

void CQuorvaScrollView::Scroll(Gtk::Orientation orientation, ScrollRequest request, int32_t trackPos)
{
    const bool horizontal = orientation == Gtk::ORIENTATION_HORIZONTAL;
    const std::optional<int32_t> pos = CalcScrollStep(ScrollBar(orientation), request, trackPos);
    if (!pos)
        return;
    (horizontal ? m_hadjustment : m_vadjustment)->set_value(*pos);
    (horizontal ? m_setting.scrollX : m_setting.scrollY) = ScrollBar(orientation).pos;

    const CRect old = BrowserRect();
    const int32_t left = -m_setting.scrollX;
    const int32_t top = -m_setting.scrollY;
    m_client.SetChildRect({left, top, SaturatedSum(left, old.Width()), SaturatedSum(top, old.Height())});
    m_view.Widget().queue_draw();
    RunOverlayUpdate();
    m_client.queue_draw();
}

// The browser's position and the stored scroll offsets stay as they are, even
// where the bars now keep a smaller position for a larger page.
void CQuorvaScrollView::OnClientSizeChanged()
{
    UpdateScrollBars();
    if (onOverlayReposition)
        onOverlayReposition();
    m_client.queue_draw();
}

// The grid may place the bars before the client, whose new size then gives
// them new ranges within the same layout pass. GTK leaves such a bar waiting
// for a layout that never comes, and from then on a new value redraws the bar
// without moving its thumb. Once the grid is done, the bars are placed again.
void CQuorvaScrollView::PlaceScrollBarsAgain()
{
    for (Gtk::Scrollbar* bar : {&m_hscroll, &m_vscroll}) {
        Gtk::Allocation allocation = bar->get_allocation();
        bar->size_allocate(allocation);
    }
}

void CQuorvaScrollView::RunOverlayUpdate()
{
    if (onOverlayUpdate)
        onOverlayUpdate();
}

CPoint CQuorvaScrollView::BrowserEdge() const
{
    const CRect browser = BrowserRect();
    return {browser.right, browser.bottom};
}

bool CQuorvaScrollView::OnDraw(const Cairo::RefPtr<Cairo::Context>& context)
{
    cairo_t* cr = context->cobj();
    const Glib::RefPtr<Gdk::Window> window = m_client.get_window();
    if (!window || !gtk_cairo_should_draw_window(cr, window->gobj()))
        return false;
    if (!m_background)
        m_background = CreateCheckerPattern();
    if (!m_background)
        return false;

    const CSize client = ClientSize();
    const CSurroundPaint paint = CalcSurroundPaint({0, 0, client.cx, client.cy}, BrowserEdge());
    cairo_save(cr);
    cairo_rectangle(cr, 0, 0, client.cx, client.cy);
    cairo_clip(cr);
    FillRects(cr, paint.highlight, kBandHighlight);
    FillRects(cr, paint.shadow, kBandShadow);
    FillRects(cr, paint.face, kBandFace);
    cairo_set_source(cr, m_background);
    FillRects(cr, paint.pattern);
    cairo_restore(cr);
    return false;
}

bool CQuorvaScrollView::OnButtonPress(GdkEventButton* event)
{
    if (event->button != 1 || event->type != GDK_BUTTON_PRESS)
        return false;
    const CPoint pt{static_cast<int32_t>(std::floor(event->x)), static_cast<int32_t>(std::floor(event->y))};
    m_dragZone = SplitterZone(pt, BrowserEdge());
    if (m_dragZone == kZoneNone)
        return false;
    m_dragStart = pt;
    m_dragStartSize = {m_setting.width, m_setting.height};
    return true;
}

bool CQuorvaScrollView::OnMotion(GdkEventMotion* event)
{
    const CPoint pt{static_cast<int32_t>(std::floor(event->x)), static_cast<int32_t>(std::floor(event->y))};
    if (m_dragZone == kZoneNone) {
        UpdateCursor(pt);
        return false;
    }
    const CSize size = SplitterDragSize(m_dragZone, m_dragStart, m_dragStartSize, pt);
    if (size.cx == m_setting.width && size.cy == m_setting.height)
        return true;
    m_setting.width = size.cx;
    m_setting.height = size.cy;
    if (onRefreshSizeFields)
        onRefreshSizeFields();
    ApplyBrowserSize();
    return true;
}

bool CQuorvaScrollView::OnButtonRelease(GdkEventButton* event)
{
    if (event->button != 1 || m_dragZone == kZoneNone)
        return false;
    m_dragZone = kZoneNone;
    return true;
}

bool CQuorvaScrollView::OnGrabBroken(GdkEventGrabBroken*)
{
    m_dragZone = kZoneNone;
    return false;
}

void CQuorvaScrollView::RefreshCursor() { UpdateCursor(m_lastPointer); }

void CQuorvaScrollView::UpdateCursor(CPoint pt)
{
    m_lastPointer = pt;
    const Glib::RefPtr<Gdk::Window> window = m_client.get_window();
    if (!window)
        return;
    std::string name;
    switch (SplitterZone(pt, BrowserEdge())) {
    case kZoneRight: name = "ew-resize"; break;
    case kZoneBottom: name = "ns-resize"; break;
    case kZoneCorner: name = "nwse-resize"; break;
    default: {
        name = IsNavigating(m_view.ReadyState()) ? "progress" : "default";
        break;
    }
    }
    if (name == m_cursorName)
        return;
    m_cursorName = name;
    window->set_cursor(Gdk::Cursor::create(window->get_display(), name));
}
