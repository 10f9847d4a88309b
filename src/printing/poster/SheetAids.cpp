#include "printing/poster/AidText.h"
#include "printing/poster/AssemblyAids.h"

#include "errors/MessageFormat.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kGuideWidthMm = 0.2;
constexpr double kGuideGrey = 0.5;
// Guides stop this short of the picture, so that a cut along them leaves
// no grey on the poster.
constexpr double kGuideGapMm = 1.0;
constexpr double kLabelMaxMm = 3.0;
constexpr double kLabelMinMm = 1.0;

struct Frame {
    double mmX, mmY;   // dots per millimetre
    CRect paper;       // the whole sheet, in drawing units
    CRect bands;       // what the printer can reach of it
};

void Line(cairo_t* cr, double x0, double y0, double x1, double y1)
{
    if (x1 < x0 || y1 < y0)
        return;
    cairo_move_to(cr, x0, y0);
    cairo_line_to(cr, x1, y1);
}

void PaintGuides(cairo_t* cr, const CRect& image, const CRect& cut, const Frame& f)
{
    const double gx = kGuideGapMm * f.mmX, gy = kGuideGapMm * f.mmY;
    for (const int32_t x : {cut.left, cut.right}) {
        Line(cr, x, f.paper.top, x, image.top - gy);
        Line(cr, x, image.bottom + gy, x, f.paper.bottom);
    }
    for (const int32_t y : {cut.top, cut.bottom}) {
        Line(cr, f.paper.left, y, image.left - gx, y);
        Line(cr, image.right + gx, y, f.paper.right, y);
    }
    cairo_set_source_rgb(cr, kGuideGrey, kGuideGrey, kGuideGrey);
    cairo_set_line_width(cr, kGuideWidthMm * (f.mmX + f.mmY) / 2);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    cairo_stroke(cr);
}

// Text size for a margin band `thickness` units across; 0 when too thin.
double LabelSize(double thickness, double mm)
{
    const double size = std::min(kLabelMaxMm * mm, thickness * 0.5);
    return size >= kLabelMinMm * mm ? size : 0;
}

// A neighbour's name after a small triangle pointing to that neighbour:
// centred on (x, y), turned by `angle`, pointing up in its own frame (or
// down when `down`).
void PaintMark(cairo_t* cr, const std::string& name, double size, double x, double y, double angle, bool down)
{
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_rotate(cr, angle);
    const CAidText text(cr, name, size);
    const double tri = size * 0.7, gap = size * 0.3;
    const double left = -(tri + gap + text.Width()) / 2;
    cairo_move_to(cr, left, down ? -tri / 2 : tri / 2);
    cairo_line_to(cr, left + tri, down ? -tri / 2 : tri / 2);
    cairo_line_to(cr, left + tri / 2, down ? tri / 2 : -tri / 2);
    cairo_close_path(cr);
    cairo_set_source_rgb(cr, 0.15, 0.15, 0.15);
    cairo_fill(cr);
    text.Show(left + tri + gap, 0);
    cairo_restore(cr);
}

void PaintLabels(cairo_t* cr, const CPosterSheet& sheet, const CPosterGrid& poster, const CRect& image,
                 const CRect& cut, const Frame& f)
{
    const CRect& b = f.bands;
    const double midX = (cut.left + cut.right) / 2.0, midY = (cut.top + cut.bottom) / 2.0;
    if (const double size = LabelSize(image.top - b.top, f.mmY)) {
        // Clear of the guide along the picture's left edge.
        const double labelLeft = image.left + kGuideGapMm * 2 * f.mmX;
        const CAidText label(cr, SheetLabelText(sheet, poster), size);
        label.Show(labelLeft, (b.top + image.top) / 2.0);
        const double labelRight = labelLeft + label.Width() + size;
        if (sheet.row > 0)
            PaintMark(cr, SheetName(sheet.row - 1, sheet.column), size,
                      std::max(midX, labelRight + size * 3), (b.top + image.top) / 2.0, 0, false);
    }
    if (sheet.row + 1 < poster.grid.papers.cy)
        if (const double size = LabelSize(b.bottom - image.bottom, f.mmY))
            PaintMark(cr, SheetName(sheet.row + 1, sheet.column), size, midX, (image.bottom + b.bottom) / 2.0, 0, true);
    if (sheet.column > 0)
        if (const double size = LabelSize(image.left - b.left, f.mmX))
            PaintMark(cr, SheetName(sheet.row, sheet.column - 1), size, (b.left + image.left) / 2.0, midY, -M_PI / 2,
                      false);
    if (sheet.column + 1 < poster.grid.papers.cx)
        if (const double size = LabelSize(b.right - image.right, f.mmX))
            PaintMark(cr, SheetName(sheet.row, sheet.column + 1), size, (image.right + b.right) / 2.0, midY, M_PI / 2,
                      false);
}

}  // namespace

bool PaintSheetAids(cairo_t* cr, const CPosterSheet& sheet, const CPosterGrid& poster, const CPaperInfo& paper,
                    const CAssemblySetting& aids, const CRect& clip)
{
    const CRect& image = sheet.tile.dest;
    if (!cr || (!aids.cutGuides && !aids.sheetLabels) || image.IsEmpty() || clip.IsEmpty() || paper.resX <= 0 ||
        paper.resY <= 0)
        return true;
    Frame f;
    f.mmX = paper.resX / 25.4;
    f.mmY = paper.resY / 25.4;
    f.paper = {-paper.hardPrintable.left, -paper.hardPrintable.top, paper.physicalWidth - paper.hardPrintable.left,
               paper.physicalHeight - paper.hardPrintable.top};
    f.bands = {std::max(f.paper.left, clip.left), std::max(f.paper.top, clip.top),
               std::min(f.paper.right, clip.right), std::min(f.paper.bottom, clip.bottom)};

    cairo_save(cr);
    // The margins only: the printable area less the picture.
    cairo_rectangle(cr, clip.left, clip.top, clip.Width(), clip.Height());
    cairo_rectangle(cr, image.left, image.top, image.Width(), image.Height());
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    cairo_clip(cr);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    cairo_new_path(cr);
    if (aids.cutGuides)
        PaintGuides(cr, image, sheet.cut, f);
    if (aids.sheetLabels)
        PaintLabels(cr, sheet, poster, image, sheet.cut, f);
    cairo_restore(cr);
    return cairo_status(cr) == CAIRO_STATUS_SUCCESS;
}

std::string SheetLabelText(const CPosterSheet& sheet, const CPosterGrid& poster)
{
    return FormatMessageText(59310, {SheetName(sheet.row, sheet.column), std::to_string(poster.grid.papers.cx),
                                     std::to_string(poster.grid.papers.cy)});
}
