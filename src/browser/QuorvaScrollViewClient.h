#pragma once
#include "common/Types.h"

#include <gtkmm/container.h>

#include <functional>

// The client area of the scroll view: a container with its own window that
// gives its one child (the web view) exactly the rectangle it is told, whatever
// its own size, and clips it. It asks for no size of its own, so the main
// window can be made smaller than the browser.
class CQuorvaScrollViewClient : public Gtk::Container {
public:
    CQuorvaScrollViewClient();
    ~CQuorvaScrollViewClient() override;

    // The child's rectangle in this widget's coordinates. Applied at once when
    // the widget has been allocated, as a window move or resize would be.
    void SetChildRect(const CRect& rect);
    const CRect& ChildRect() const { return m_childRect; }
    // This widget's size.
    CSize ClientSize() const;

    // Called after the client's own size has changed.
    std::function<void()> onClientSizeChanged;

protected:
    Gtk::SizeRequestMode get_request_mode_vfunc() const override;
    void get_preferred_width_vfunc(int& minimum, int& natural) const override;
    void get_preferred_height_vfunc(int& minimum, int& natural) const override;
    void get_preferred_height_for_width_vfunc(int width, int& minimum, int& natural) const override;
    void get_preferred_width_for_height_vfunc(int height, int& minimum, int& natural) const override;
    void on_size_allocate(Gtk::Allocation& allocation) override;
    void on_realize() override;
    void on_unrealize() override;
    void on_add(Gtk::Widget* child) override;
    void on_remove(Gtk::Widget* child) override;
    void forall_vfunc(gboolean includeInternals, GtkCallback callback, gpointer data) override;
    GType child_type_vfunc() const override;

private:
    void AllocateChild();

    Gtk::Widget* m_child = nullptr;
    CRect m_childRect;
    CSize m_lastSize{-1, -1};
    Glib::RefPtr<Gdk::Window> m_window;
};
