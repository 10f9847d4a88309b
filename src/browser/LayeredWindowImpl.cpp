#include "browser/LayeredWindowImpl.h"

#include <cairo.h>

CLayeredWindowImpl::CLayeredWindowImpl()
{
    set_can_focus(false);
}

CLayeredWindowImpl::~CLayeredWindowImpl() = default;

void CLayeredWindowImpl::Update()
{
    const int width = get_allocated_width(), height = get_allocated_height();
    if (!get_realized() || width <= 0 || height <= 0)
        return;
    if (m_backBuffer.Ensure(width, height))
        Paint(m_backBuffer.Surface());
    queue_draw();
}

void CLayeredWindowImpl::on_realize()
{
    Gtk::DrawingArea::on_realize();
    OnLayout();
    Update();
}

void CLayeredWindowImpl::on_size_allocate(Gtk::Allocation& allocation)
{
    Gtk::DrawingArea::on_size_allocate(allocation);
    OnLayout();
    Update();
}

bool CLayeredWindowImpl::on_draw(const Cairo::RefPtr<Cairo::Context>& context)
{
    cairo_surface_t* surface = m_backBuffer.Surface();
    if (!surface)
        return true;
    cairo_t* cr = context->cobj();
    cairo_set_source_surface(cr, surface, 0, 0);
    cairo_paint_with_alpha(cr, SourceConstantAlpha() / 255.0);
    return true;
}
