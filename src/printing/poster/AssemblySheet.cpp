#include "printing/poster/AidText.h"
#include "printing/poster/AssemblyAids.h"

#include "bitmap/DibReduce.h"
#include "common/NumberText.h"
#include "errors/MessageFormat.h"
#include "printing/poster/TilePainter.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>

namespace {

// The overview is a reading aid, not the poster: this much detail is plenty,
// and the capture is not embedded in the document a second time.
constexpr int32_t kOverviewDpi = 150;
constexpr double kGridLineMm = 0.35;
constexpr double kCellMinMm = 1.0;
constexpr double kNameMaxMm = 10.0;
constexpr double kNameMinMm = 1.2;
constexpr double kCaptionMaxMm = 4.0;

// The printed part of the capture at the overview's size: averaged down by
// a whole factor in one pass, then the same tile painter (which draws into
// pixels in bands) does the last, small step. Smoothing the whole capture
// down in one step would take seconds.
CDibSectionPtr ReducedCopy(const CDib& dib, const CRect& source, const CSize& size)
{
    const int32_t factor = std::max(1, std::min(source.Width() / size.cx, source.Height() / size.cy));
    const CDibSectionPtr box = factor > 1 ? ReduceDib(dib, source, factor) : nullptr;
    const CDib& from = box ? *box : dib;
    const CRect area = box ? CRect{0, 0, box->Width(), box->Height()} : source;

    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, size.cx, size.cy);
    cairo_t* cr = cairo_create(surface);
    const CRect all{0, 0, size.cx, size.cy};
    const bool drawn = PaintTile(cr, from, area, all, all);
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    CDibSectionPtr copy = drawn ? CDibSection::New(size.cx, size.cy) : nullptr;
    if (copy && !copy->CopyFromArgb32(cairo_image_surface_get_data(surface),
                                      size_t(cairo_image_surface_get_stride(surface))))
        copy = nullptr;
    cairo_surface_destroy(surface);
    return copy;
}

// The overview's pixels: at most 150 dpi on paper, and no more than the
// pixels a preview shows it with.
CSize OverviewSize(cairo_t* cr, const CRect& dest, const CRect& source, const CPaperInfo& paper)
{
    double w = dest.Width(), h = dest.Height();
    if (IsVectorTarget(cr)) {
        const double scale = std::min(1.0, double(kOverviewDpi) / std::max(paper.resX, paper.resY));
        w *= scale;
        h *= scale;
    } else {
        cairo_user_to_device_distance(cr, &w, &h);
    }
    return {std::clamp(int32_t(std::ceil(std::abs(w))), 1, std::max(1, source.Width())),
            std::clamp(int32_t(std::ceil(std::abs(h))), 1, std::max(1, source.Height()))};
}

// `dib` is the capture made `factor` times smaller (1: the capture itself).
bool PaintPicture(cairo_t* cr, const CDib& dib, int32_t factor, const CAssemblySheetLayout& layout,
                  const CPaperInfo& paper, const CRect& clip, CairoSurfacePtr* embedded)
{
    const CRect& s = layout.source;
    const CRect source{s.left / factor, s.top / factor, (s.right + factor - 1) / factor, (s.bottom + factor - 1) / factor};
    const CSize size = OverviewSize(cr, layout.dest, source, paper);
    const CDibSectionPtr copy = ReducedCopy(dib, source, size);
    return copy && PaintTile(cr, *copy, {0, 0, size.cx, size.cy}, layout.dest, clip, embedded);
}

// The sheets' unique parts over the picture, each with its name.
void PaintSheetGrid(cairo_t* cr, const CSize& bitmap, const CPosterGrid& poster, const CPaperInfo& paper,
                    const CAssemblySheetLayout& layout)
{
    const double mm = (paper.resX + paper.resY) / 2 / 25.4;
    const CRect first = MapToAssemblySheet(MapPosterSheet(1, poster, paper, bitmap).unique, layout);
    // Sheets too small to tell apart on the overview are shown as a frame only.
    const bool cells = first.Width() >= kCellMinMm * mm && first.Height() >= kCellMinMm * mm;
    const CSize papers = poster.grid.papers;
    cairo_rectangle(cr, layout.dest.left, layout.dest.top, layout.dest.Width(), layout.dest.Height());
    if (cells) {
        for (int32_t column = 1; column < papers.cx; ++column) {
            const int32_t x = MapToAssemblySheet(MapPosterSheet(column + 1, poster, paper, bitmap).unique, layout).left;
            cairo_move_to(cr, x, layout.dest.top);
            cairo_line_to(cr, x, layout.dest.bottom);
        }
        for (int32_t row = 1; row < papers.cy; ++row) {
            const int32_t y =
                MapToAssemblySheet(MapPosterSheet(row * papers.cx + 1, poster, paper, bitmap).unique, layout).top;
            cairo_move_to(cr, layout.dest.left, y);
            cairo_line_to(cr, layout.dest.right, y);
        }
    }
    cairo_set_source_rgb(cr, 0.8, 0.1, 0.1);
    cairo_set_line_width(cr, kGridLineMm * mm);
    cairo_stroke(cr);
    if (!cells)
        return;
    for (int32_t page = 1; page <= poster.Sheets(); ++page) {
        const CPosterSheet sheet = MapPosterSheet(page, poster, paper, bitmap);
        const CRect cell = MapToAssemblySheet(sheet.unique, layout);
        const std::string name = SheetName(sheet.row, sheet.column);
        const double size =
            std::min({kNameMaxMm * mm, cell.Height() * 0.4, cell.Width() / (0.75 * double(name.size()) + 0.5)});
        if (size < kNameMinMm * mm)
            continue;
        const CAidText text(cr, name, size);
        text.Show((cell.left + cell.right - text.Width()) / 2, (cell.top + cell.bottom) / 2.0, true);
    }
}

void PaintCaption(cairo_t* cr, const CSize& bitmap, const CPosterGrid& poster, const CPaperInfo& paper,
                  const CRect& caption)
{
    const double size = std::min(kCaptionMaxMm * paper.resY / 25.4, caption.Height() * 0.5);
    if (size <= 0)
        return;
    const CSize finished = FinishedPosterSize(poster, paper, bitmap);
    const CAidText text(cr,
                        FormatMessageText(59311, {HundredthsToMillimetreText(finished.cx), HundredthsToMillimetreText(finished.cy),
                                                  std::to_string(poster.grid.papers.cx),
                                                  std::to_string(poster.grid.papers.cy)}),
                        size);
    text.Show((caption.left + caption.right - text.Width()) / 2, (caption.top + caption.bottom) / 2.0);
}

}  // namespace

bool PaintAssemblySheet(cairo_t* cr, const CDib& dib, const CPosterGrid& poster, const CPaperInfo& paper,
                        const CRect& clip, CairoSurfacePtr* embedded)
{
    return PaintAssemblySheet(cr, dib, 1, {dib.Width(), dib.Height()}, poster, paper, clip, embedded);
}

bool PaintAssemblySheet(cairo_t* cr, const CDib& reduced, int32_t factor, const CSize& capture,
                        const CPosterGrid& poster, const CPaperInfo& paper, const CRect& clip, CairoSurfacePtr* embedded)
{
    if (!cr || !reduced.IsValid() || factor < 1)
        return false;
    const CAssemblySheetLayout layout = LayOutAssemblySheet(poster, paper, capture);
    if (layout.dest.IsEmpty() || clip.IsEmpty() || paper.resX <= 0 || paper.resY <= 0)
        return true;
    if (!PaintPicture(cr, reduced, factor, layout, paper, clip, embedded))
        return false;
    cairo_save(cr);
    cairo_rectangle(cr, clip.left, clip.top, clip.Width(), clip.Height());
    cairo_clip(cr);
    PaintSheetGrid(cr, capture, poster, paper, layout);
    PaintCaption(cr, capture, poster, paper, layout.caption);
    cairo_restore(cr);
    return cairo_status(cr) == CAIRO_STATUS_SUCCESS;
}
