#pragma once
#include "browser/OverlayBackBuffer.h"

#include <gtkmm/drawingarea.h>

// A transparent drawing layer whose whole content is painted with per-pixel
// alpha into a back buffer of its size and shown over what lies beneath it.
// Subclasses lay themselves out in OnLayout() and draw in Paint(); every
// change of size runs both. The back buffer is kept while the size stays.
class CLayeredWindowImpl : public Gtk::DrawingArea {
public:
    CLayeredWindowImpl();
    ~CLayeredWindowImpl() override;

    // Layout hook, run before every update.
    virtual void OnLayout() {}
    // Draws the whole content into `target`, an ARGB32 surface of the
    // widget's size, premultiplied.
    virtual void Paint(cairo_surface_t* target) = 0;
    // Alpha applied to the whole layer when it is shown.
    virtual int SourceConstantAlpha() const { return 255; }
    // Repaints the back buffer and shows it. Does nothing before the widget
    // is realized or while it has no area; when no buffer can be made nothing
    // is shown until the next update.
    virtual void Update();

    const COverlayBackBuffer& BackBuffer() const { return m_backBuffer; }

protected:
    void on_realize() override;
    void on_size_allocate(Gtk::Allocation& allocation) override;
    bool on_draw(const Cairo::RefPtr<Cairo::Context>& cr) override;

private:
    COverlayBackBuffer m_backBuffer;
};
