#include "printing/FitImageToPagePreview.h"

#include "printing/TilePainter.h"

#include <cairo.h>
#include <gtkmm/window.h>

#include <cstring>

CFitImageToPagePreview::~CFitImageToPagePreview()
{
    for (auto& connection : m_connections)
        connection.disconnect();
}

void CFitImageToPagePreview::Attach(Gtk::DrawingArea& area)
{
    m_area.Reset(&area);
    m_connections.push_back(area.signal_draw().connect(sigc::mem_fun(*this, &CFitImageToPagePreview::OnDraw)));
    // GTK allocates again for many reasons; only a new size needs a new layout.
    m_connections.push_back(area.signal_size_allocate().connect([this](Gtk::Allocation&) {
        if (ClientSize() != m_laidOutFor)
            Relayout();
    }));
}

bool CFitImageToPagePreview::SetBitmap(const CDibSectionPtr& bitmap)
{
    if (!bitmap || bitmap == m_bitmap)
        return false;
    if (m_bitmap && m_bitmap->ImageSize() == bitmap->ImageSize() && m_bitmap->Width() == bitmap->Width() &&
        m_bitmap->Height() == bitmap->Height() &&
        (bitmap->ImageSize() == 0 || std::memcmp(m_bitmap->Bits(), bitmap->Bits(), bitmap->ImageSize()) == 0))
        return false;
    // The old capture goes before the sheets are painted from the new one.
    m_bitmap = bitmap;
    Relayout();
    return true;
}

bool CFitImageToPagePreview::SetPaperInfo(const CPaperInfo& paper)
{
    if (paper == m_paper)
        return false;
    m_paper = paper;
    return true;
}

bool CFitImageToPagePreview::SetPageSetting(const CFitImageToPageSetting& setting)
{
    if (setting == m_setting)
        return false;
    m_setting = setting;
    return true;
}

CSize CFitImageToPagePreview::ClientSize() const
{
    Gtk::Widget* area = m_area.Get();
    return area ? CSize{area->get_allocated_width(), area->get_allocated_height()} : CSize{};
}

void CFitImageToPagePreview::Relayout()
{
    const CSize bitmap = m_bitmap ? CSize{m_bitmap->Width(), m_bitmap->Height()} : CSize{};
    m_laidOutFor = ClientSize();
    m_layout.Relayout(m_setting, m_paper, bitmap, m_laidOutFor);
    m_sheets.reset();
    Invalidate();
}

void CFitImageToPagePreview::Invalidate()
{
    if (Gtk::Widget* area = m_area.Get())
        area->queue_draw();
}

bool CFitImageToPagePreview::OnDraw(const Cairo::RefPtr<Cairo::Context>& cr)
{
    Paint(cr->cobj(), ClientSize());
    return true;
}

void CFitImageToPagePreview::Paint(cairo_t* cr, const CSize& client)
{
    PaintBackground(cr, client);
    if (!m_layout.HasSheets())
        return;
    if (!m_sheets) {
        m_sheets = AdoptCairoSurface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, client.cx, client.cy));
        if (!m_sheets)
            return;
        cairo_t* sheets = cairo_create(m_sheets.get());
        PaintSheets(sheets);
        cairo_destroy(sheets);
        ++m_sheetPaints;
    }
    cairo_set_source_surface(cr, m_sheets.get(), 0, 0);
    cairo_paint(cr);
}

void CFitImageToPagePreview::PaintBackground(cairo_t* cr, const CSize& client)
{
    // The dialog's own background, as the other controls have it.
    Gtk::Widget* area = m_area.Get();
    Gtk::Widget* top = area ? area->get_toplevel() : nullptr;
    if (top && top->get_is_toplevel()) {
        gtk_render_background(top->get_style_context()->gobj(), cr, 0, 0, client.cx, client.cy);
        return;
    }
    cairo_set_source_rgb(cr, 0xF0 / 255.0, 0xF0 / 255.0, 0xF0 / 255.0);
    cairo_rectangle(cr, 0, 0, client.cx, client.cy);
    cairo_fill(cr);
}

void CFitImageToPagePreview::PaintSheets(cairo_t* cr)
{
    for (int32_t row = 0; row < m_layout.grid.papers.cy; ++row)
        for (int32_t column = 0; column < m_layout.grid.papers.cx; ++column)
            PaintSheet(cr, column, row);
}

void CFitImageToPagePreview::PaintSheet(cairo_t* cr, int32_t column, int32_t row)
{
    const CSize bitmap = m_bitmap ? CSize{m_bitmap->Width(), m_bitmap->Height()} : CSize{};
    const CPreviewTile tile = PreviewTileOf(m_layout, m_paper, bitmap, column, row);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_rectangle(cr, tile.sheet.left, tile.sheet.top, tile.sheet.Width(), tile.sheet.Height());
    cairo_fill(cr);
    if (m_bitmap && bitmap.cx > 0 && bitmap.cy > 0)
        PaintTile(cr, *m_bitmap, tile.source, tile.dest, tile.clip);
}
