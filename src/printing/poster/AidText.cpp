#include "printing/poster/AidText.h"

#include <cairo.h>
#include <pango/pangocairo.h>

CAidText::CAidText(cairo_t* cr, const std::string& text, double size) : m_cr(cr), m_layout(pango_cairo_create_layout(cr))
{
    // Unhinted outlines: the preview, drawn small, keeps the proportions of
    // the printed page.
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    pango_cairo_context_set_font_options(pango_layout_get_context(m_layout), options);
    cairo_font_options_destroy(options);
    pango_layout_context_changed(m_layout);

    PangoFontDescription* font = pango_font_description_from_string("Sans");
    pango_font_description_set_absolute_size(font, size * PANGO_SCALE);
    pango_layout_set_font_description(m_layout, font);
    pango_font_description_free(font);
    pango_layout_set_text(m_layout, text.c_str(), -1);
    int width = 0, height = 0;
    pango_layout_get_size(m_layout, &width, &height);
    m_width = double(width) / PANGO_SCALE;
    m_height = double(height) / PANGO_SCALE;
}

CAidText::~CAidText() { g_object_unref(m_layout); }

void CAidText::Show(double x, double y, bool halo) const
{
    cairo_save(m_cr);
    cairo_move_to(m_cr, x, y - m_height / 2);
    if (halo) {
        pango_cairo_layout_path(m_cr, m_layout);
        cairo_set_source_rgb(m_cr, 1, 1, 1);
        cairo_set_line_width(m_cr, m_height * 0.15);
        cairo_set_line_join(m_cr, CAIRO_LINE_JOIN_ROUND);
        cairo_stroke(m_cr);
        cairo_move_to(m_cr, x, y - m_height / 2);
    }
    cairo_set_source_rgb(m_cr, 0.15, 0.15, 0.15);
    pango_cairo_show_layout(m_cr, m_layout);
    cairo_restore(m_cr);
}
