#pragma once
#include "controls/ControlGlue.h"
#include "controls/EventListener.h"

#include <gdkmm/pixbuf.h>

// An edit that reports its keys to listeners (key down with the key value,
// character with the Unicode code point) and shows a hint image at its left
// edge while it is empty and has no focus.
class CEditEx : public CEventSource {
public:
    enum Event : size_t { EventKeyDown, EventChar, EventCount };

    CEditEx() : CEventSource(EventCount) {}
    ~CEditEx();

    void Bind(Gtk::Entry& entry);
    void SetHintImage(Glib::RefPtr<Gdk::Pixbuf> image);
    Gtk::Entry* Entry() const { return m_entry.As<Gtk::Entry>(); }
    // True when the hint image is drawn in the entry's present state.
    bool HintShown() const;

private:
    bool OnKeyPress(GdkEventKey* event);
    bool OnDraw(const Cairo::RefPtr<Cairo::Context>& cr);

    CWeakWidget m_entry;
    Glib::RefPtr<Gdk::Pixbuf> m_hint;
    std::vector<sigc::connection> m_connections;
};
