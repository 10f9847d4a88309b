#pragma once
// One line of text for the assembly aids, laid out by Pango so that any
// language's glyphs are found, at an absolute size in the user units of the
// cairo context (printer dots on a page, the same dots scaled in a preview).
#include <string>

typedef struct _cairo cairo_t;
typedef struct _PangoLayout PangoLayout;

class CAidText {
public:
    CAidText(cairo_t* cr, const std::string& text, double size);
    ~CAidText();
    CAidText(const CAidText&) = delete;
    CAidText& operator=(const CAidText&) = delete;

    double Width() const { return m_width; }
    double Height() const { return m_height; }
    // Draws the line with its left end at x and its middle at y. A halo
    // keeps it readable over a map.
    void Show(double x, double y, bool halo = false) const;

private:
    cairo_t* m_cr;
    PangoLayout* m_layout;
    double m_width = 0, m_height = 0;
};
