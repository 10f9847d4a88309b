#include "printing/dialogs/FitImageToPagePreview.h"

#include "bitmap/DibReduce.h"
#include "printing/poster/AssemblyAids.h"
#include "printing/poster/TilePainter.h"

#include <cairo.h>
#include <gtkmm/window.h>

#include <algorithm>
#include <cstring>
#include <utility>

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

bool CFitImageToPagePreview::SetBitmap(CDibSectionPtr bitmap)
{
    if (!bitmap || bitmap == m_bitmap)
        return false;
    if (m_bitmap && SameBits(*m_bitmap, *bitmap)) {
        ReleaseLater(std::move(bitmap));
        return false;
    }
    ShowBitmap(std::move(bitmap));
    return true;
}

void CFitImageToPagePreview::ShowBitmap(CDibSectionPtr bitmap)
{
    if (!bitmap || bitmap == m_bitmap)
        return;
    ReleaseLater(std::exchange(m_bitmap, std::move(bitmap)));
    StartReduction();
    Relayout();
}

bool CFitImageToPagePreview::SameBits(const CDibSection& a, const CDibSection& b, std::stop_token stop)
{
    if (a.ImageSize() != b.ImageSize() || a.Width() != b.Width() || a.Height() != b.Height())
        return false;
    if (a.ImageSize() == 0)
        return true;
    // In pieces, so that a stop is heard soon.
    constexpr size_t kPiece = size_t{8} << 20;
    for (size_t offset = 0; offset < a.ImageSize(); offset += kPiece) {
        if (stop.stop_requested())
            return false;
        const size_t length = std::min(kPiece, a.ImageSize() - offset);
        if (std::memcmp(a.Bits() + offset, b.Bits() + offset, length) != 0)
            return false;
    }
    return true;
}

void CFitImageToPagePreview::ReleaseLater(CDibSectionPtr bitmap)
{
    if (!bitmap || bitmap.use_count() > 1 || bitmap->ImageSize() < (size_t{16} << 20))
        return;
    ReleaseInBackground(std::move(bitmap));
}

void CFitImageToPagePreview::StartReduction()
{
    const CSize client = ClientSize();
    // Two capture pixels for each preview pixel are left to the smoothing
    // filter; whole blocks beyond that are averaged first.
    const int32_t factor =
        client.cx > 0 && client.cy > 0
            ? std::max(1, std::min(m_bitmap->Width() / client.cx, m_bitmap->Height() / client.cy) / 2)
            : 1;
    if (factor == 1) {
        m_source = {m_bitmap, 1};
        return;
    }
    // Until the smaller copy is ready the previous one stands in when it
    // has the same shape; otherwise the sheets are shown without the map.
    if (!m_source.dib || m_source.factor != factor ||
        m_source.dib->Width() != (m_bitmap->Width() + factor - 1) / factor ||
        m_source.dib->Height() != (m_bitmap->Height() + factor - 1) / factor)
        m_source = {};
    // A newer capture's reduction drops this one's result.
    m_reducing.Start(
        [bitmap = m_bitmap, factor](std::stop_token) {
            return CPaintSource{ReduceDib(*bitmap, {0, 0, bitmap->Width(), bitmap->Height()}, factor), factor};
        },
        [this](CPaintSource reduced) { OnReduced(std::move(reduced)); });
}

void CFitImageToPagePreview::OnReduced(CPaintSource reduced)
{
    if (!reduced.dib)
        return;
    m_source = reduced;
    m_sheets.reset();
    Invalidate();
}

bool CFitImageToPagePreview::SetPaperInfo(const CPaperInfo& paper)
{
    if (paper == m_paper)
        return false;
    m_paper = paper;
    return true;
}

bool CFitImageToPagePreview::SetAssembly(const CAssemblySetting& assembly)
{
    if (assembly == m_assembly)
        return false;
    m_assembly = assembly;
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
    m_layout.Relayout(m_setting, m_paper, bitmap, m_laidOutFor, m_assembly);
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
    if (m_layout.leading)
        PaintSheet(cr, -1, 0);
    for (int32_t row = 0; row < m_layout.grid.papers.cy; ++row)
        for (int32_t column = 0; column < m_layout.grid.papers.cx; ++column)
            PaintSheet(cr, column, row);
}

void CFitImageToPagePreview::PaintSheet(cairo_t* cr, int32_t column, int32_t row)
{
    const CSize bitmap = m_bitmap ? CSize{m_bitmap->Width(), m_bitmap->Height()} : CSize{};
    const CPreviewTile tile = PreviewTileOf(m_layout, m_paper, bitmap, std::max(column, 0), row);
    const CRect sheet = m_layout.SheetRect(column, row);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_rectangle(cr, sheet.left, sheet.top, sheet.Width(), sheet.Height());
    cairo_fill(cr);
    if (!m_source.dib || bitmap.cx <= 0 || bitmap.cy <= 0)
        return;
    const int32_t f = m_source.factor;
    if (column >= 0) {
        // The tile's place in the smaller copy; the copy's last block may hold
        // less than `f` pixels, which moves the edge by a fraction of a pixel.
        const CRect source{tile.source.left / f, tile.source.top / f, (tile.source.right + f - 1) / f,
                           (tile.source.bottom + f - 1) / f};
        PaintTile(cr, *m_source.dib, source, tile.dest, tile.clip);
        if (!m_assembly.cutGuides && !m_assembly.sheetLabels)
            return;
    }

    // The aids are drawn as on paper: in printer dots from the hardware
    // printable origin, scaled onto this sheet.
    cairo_save(cr);
    cairo_translate(cr, sheet.left, sheet.top);
    cairo_scale(cr, double(sheet.Width()) / m_paper.physicalWidth, double(sheet.Height()) / m_paper.physicalHeight);
    cairo_translate(cr, m_paper.hardPrintable.left, m_paper.hardPrintable.top);
    const CRect clip{0, 0, m_paper.hardPrintable.Width(), m_paper.hardPrintable.Height()};
    const CPosterGrid poster{m_layout.grid, m_layout.step};
    if (column < 0) {
        PaintAssemblySheet(cr, *m_source.dib, f, bitmap, poster, m_paper, clip);
    } else {
        const CPosterSheet placed = MapPosterSheet(row * m_layout.grid.papers.cx + column + 1, poster, m_paper, bitmap);
        PaintSheetAids(cr, placed, poster, m_paper, m_assembly, clip);
    }
    cairo_restore(cr);
}
