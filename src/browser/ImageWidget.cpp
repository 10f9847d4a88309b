#include "browser/ImageWidget.h"

#include <cairo.h>

CImagePtr AdoptImage(cairo_surface_t* surface)
{
    if (!surface)
        return nullptr;
    return CImagePtr(surface, cairo_surface_destroy);
}

CSize ImageSize(const CImagePtr& image)
{
    if (!image || cairo_surface_status(image.get()) != CAIRO_STATUS_SUCCESS)
        return {};
    return CSize{cairo_image_surface_get_width(image.get()), cairo_image_surface_get_height(image.get())};
}

namespace Gdiplus {

CImageWidget::CImageWidget(const void* owner, int id, CImagePtr image, CSize nominal)
    : m_owner(owner), m_id(id), m_image(std::move(image)), m_nominal(nominal)
{
}

void CImageWidget::SetOwner(const void* owner)
{
    m_owner = owner;
    OnOwnerChanged(owner);
}

bool CImageWidget::HitTest(int x, int y) const
{
    return m_owner && x >= m_rect.left && x < m_rect.right && y >= m_rect.top && y < m_rect.bottom;
}

bool CImageWidget::SetRect(const CRect& rect)
{
    if (rect == m_rect)
        return false;
    m_rect = rect;
    OnRectChanged();
    return true;
}

CSize CImageWidget::Size() const
{
    const CSize size = ImageSize(m_image);
    return size.cx > 0 && size.cy > 0 ? size : m_nominal;
}

void CImageWidget::Draw(cairo_t* cr) const
{
    if (m_rect.IsEmpty())
        return;
    const CSize size = ImageSize(m_image);
    cairo_save(cr);
    if (size.cx <= 0 || size.cy <= 0) {
        // Without its picture the handle still shows where it can be grabbed.
        cairo_set_source_rgba(cr, 0, 0, 0, 0.6);
        cairo_rectangle(cr, m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height());
        cairo_fill(cr);
    } else {
        cairo_translate(cr, m_rect.left, m_rect.top);
        cairo_scale(cr, double(m_rect.Width()) / size.cx, double(m_rect.Height()) / size.cy);
        cairo_set_source_surface(cr, m_image.get(), 0, 0);
        cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
        cairo_rectangle(cr, 0, 0, size.cx, size.cy);
        cairo_fill(cr);
    }
    cairo_restore(cr);
}

}  // namespace Gdiplus
