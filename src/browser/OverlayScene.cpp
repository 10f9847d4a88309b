#include "browser/OverlayScene.h"

#include "browser/OverlayHandleImages.h"

#include <cairo.h>

COverlayScene::COverlayScene(const void* owner)
{
    const auto& images = OverlayHandleImages::Acquire();
    m_handles.resize(kHandleCount);
    for (int i = 0; i < kHandleCount; ++i)
        m_handles[i] = std::make_shared<Gdiplus::CImageWidget>(owner, i, images[i],
                                                               OverlayHandleImages::NominalSize(i));
}

void COverlayScene::Layout(const COverlayGeometry& geometry)
{
    for (auto& handle : m_handles)
        handle->SetRect(geometry.HandleRect(handle->Id(), handle->Size()));
}

int COverlayScene::HitHandle(int x, int y) const
{
    for (const auto& handle : m_handles)
        if (handle->HitTest(x, y))
            return handle->Id();
    return -1;
}

CSize COverlayScene::HandleSize(int index) const
{
    if (index < 0 || index >= static_cast<int>(m_handles.size()))
        return {};
    return m_handles[index]->Size();
}

void COverlayScene::Paint(cairo_surface_t* target, const COverlayGeometry& geometry)
{
    Layout(geometry);
    cairo_t* cr = cairo_create(target);
    cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
    cairo_paint(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);

    // Only what falls on the surface is drawn: trims may be far larger than
    // the coordinates cairo can represent.
    for (const auto& handle : m_handles)
        if (!IntersectRects(handle->Rect(), geometry.client).IsEmpty())
            handle->Draw(cr);

    cairo_set_source_rgba(cr, 0, 0, 0, ((kOverlayShadeArgb >> 24) & 0xFF) / 255.0);
    for (const CRect& strip : geometry.Strips()) {
        if (strip.IsEmpty())
            continue;
        const CRect inside = IntersectRects(strip, geometry.client);
        cairo_rectangle(cr, inside.left, inside.top, inside.Width(), inside.Height());
        cairo_fill(cr);
    }
    cairo_destroy(cr);
    cairo_surface_flush(target);
}

std::vector<CRect> COverlayScene::InputRects(const COverlayGeometry& geometry) const
{
    std::vector<CRect> rects;
    for (const CRect& strip : geometry.Strips()) {
        const CRect inside = IntersectRects(strip, geometry.client);
        if (!inside.IsEmpty())
            rects.push_back(inside);
    }
    for (const auto& handle : m_handles) {
        const CRect inside = IntersectRects(handle->Rect(), geometry.client);
        if (!inside.IsEmpty())
            rects.push_back(inside);
    }
    return rects;
}
