#include "browser/QuorvaScrollViewClient.h"

#include <algorithm>

CQuorvaScrollViewClient::CQuorvaScrollViewClient()
    : Glib::ObjectBase("QuorvaScrollViewClient")
{
    set_has_window(true);
    set_redraw_on_allocate(false);
}

CQuorvaScrollViewClient::~CQuorvaScrollViewClient() = default;

void CQuorvaScrollViewClient::SetChildRect(const CRect& rect)
{
    m_childRect = rect;
    if (get_realized())
        AllocateChild();
}

CSize CQuorvaScrollViewClient::ClientSize() const
{
    return {get_allocated_width(), get_allocated_height()};
}

Gtk::SizeRequestMode CQuorvaScrollViewClient::get_request_mode_vfunc() const
{
    return Gtk::SIZE_REQUEST_CONSTANT_SIZE;
}

void CQuorvaScrollViewClient::get_preferred_width_vfunc(int& minimum, int& natural) const
{
    minimum = natural = 1;
}

void CQuorvaScrollViewClient::get_preferred_height_vfunc(int& minimum, int& natural) const
{
    minimum = natural = 1;
}

void CQuorvaScrollViewClient::get_preferred_height_for_width_vfunc(int, int& minimum, int& natural) const
{
    minimum = natural = 1;
}

void CQuorvaScrollViewClient::get_preferred_width_for_height_vfunc(int, int& minimum, int& natural) const
{
    minimum = natural = 1;
}

void CQuorvaScrollViewClient::on_size_allocate(Gtk::Allocation& allocation)
{
    set_allocation(allocation);
    if (m_window)
        m_window->move_resize(allocation.get_x(), allocation.get_y(), allocation.get_width(), allocation.get_height());
    AllocateChild();
    const CSize size = ClientSize();
    if (size == m_lastSize)
        return;
    m_lastSize = size;
    if (onClientSizeChanged)
        onClientSizeChanged();
}

// The child's allocation is relative to this widget's own window, so the
// rectangle is used as it is; the window clips whatever lies outside.
void CQuorvaScrollViewClient::AllocateChild()
{
    if (!m_child || !m_child->get_visible())
        return;
    int minimum = 0, natural = 0;
    m_child->get_preferred_width(minimum, natural);
    m_child->get_preferred_height(minimum, natural);
    Gtk::Allocation childAllocation(m_childRect.left, m_childRect.top, std::max(m_childRect.Width(), 0),
                                    std::max(m_childRect.Height(), 0));
    m_child->size_allocate(childAllocation);
}

void CQuorvaScrollViewClient::on_realize()
{
    set_realized();
    const Gtk::Allocation allocation = get_allocation();
    GdkWindowAttr attributes{};
    attributes.x = allocation.get_x();
    attributes.y = allocation.get_y();
    attributes.width = allocation.get_width();
    attributes.height = allocation.get_height();
    attributes.window_type = GDK_WINDOW_CHILD;
    attributes.wclass = GDK_INPUT_OUTPUT;
    attributes.visual = gtk_widget_get_visual(GTK_WIDGET(gobj()));
    attributes.event_mask = static_cast<int>(get_events()) | GDK_EXPOSURE_MASK | GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK |
                            GDK_POINTER_MOTION_MASK | GDK_ENTER_NOTIFY_MASK | GDK_LEAVE_NOTIFY_MASK;
    m_window = Gdk::Window::create(get_parent_window(), &attributes, GDK_WA_X | GDK_WA_Y | GDK_WA_VISUAL);
    set_window(m_window);
    register_window(m_window);
}

void CQuorvaScrollViewClient::on_unrealize()
{
    // The base unregisters and destroys the window.
    m_window.reset();
    Gtk::Container::on_unrealize();
}

void CQuorvaScrollViewClient::on_add(Gtk::Widget* child)
{
    if (m_child || !child)
        return;
    m_child = child;
    m_child->set_parent(*this);
}

void CQuorvaScrollViewClient::on_remove(Gtk::Widget* child)
{
    if (!child || child != m_child)
        return;
    const bool wasVisible = child->get_visible();
    m_child->unparent();
    m_child = nullptr;
    if (wasVisible)
        queue_resize();
}

void CQuorvaScrollViewClient::forall_vfunc(gboolean, GtkCallback callback, gpointer data)
{
    if (m_child)
        callback(m_child->gobj(), data);
}

GType CQuorvaScrollViewClient::child_type_vfunc() const
{
    return m_child ? G_TYPE_NONE : Gtk::Widget::get_type();
}
