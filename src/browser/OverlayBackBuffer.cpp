#include "browser/OverlayBackBuffer.h"

#include <cairo.h>

COverlayBackBuffer::~COverlayBackBuffer()
{
    Drop();
}

bool COverlayBackBuffer::Ensure(int width, int height)
{
    if (m_surface && Width() == width && Height() == height)
        return true;
    Drop();
    if (width <= 0 || height <= 0)
        return false;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return false;
    }
    m_surface = surface;
    return true;
}

void COverlayBackBuffer::Drop()
{
    if (m_surface)
        cairo_surface_destroy(m_surface);
    m_surface = nullptr;
}

int COverlayBackBuffer::Width() const
{
    return m_surface ? cairo_image_surface_get_width(m_surface) : 0;
}

int COverlayBackBuffer::Height() const
{
    return m_surface ? cairo_image_surface_get_height(m_surface) : 0;
}
