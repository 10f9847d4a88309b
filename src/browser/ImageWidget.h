#pragma once
#include "common/Types.h"

#include <memory>

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;

// A decoded image held by several owners (the process-wide handle images and
// the widgets that show them).
using CImagePtr = std::shared_ptr<cairo_surface_t>;

// Takes over one reference to `surface`; null stays null.
CImagePtr AdoptImage(cairo_surface_t* surface);
// Pixel size of an image; 0 x 0 for null.
CSize ImageSize(const CImagePtr& image);

// Mouse events a widget may take. Every handler answers false (not handled)
// unless a widget overrides it.
class CMouseCtrler {
public:
    virtual ~CMouseCtrler() = default;
    virtual bool OnLButtonDown(int x, int y, unsigned flags) { return false; }
    virtual bool OnLButtonUp(int x, int y, unsigned flags) { return false; }
    virtual bool OnLButtonDblClk(int x, int y, unsigned flags) { return false; }
    virtual bool OnRButtonDown(int x, int y, unsigned flags) { return false; }
    virtual bool OnRButtonUp(int x, int y, unsigned flags) { return false; }
    virtual bool OnRButtonDblClk(int x, int y, unsigned flags) { return false; }
    virtual bool OnMButtonDown(int x, int y, unsigned flags) { return false; }
    virtual bool OnMButtonUp(int x, int y, unsigned flags) { return false; }
    virtual bool OnMouseWheel(int x, int y, unsigned flags, int delta) { return false; }
    virtual bool OnMouseHWheel(int x, int y, unsigned flags, int delta) { return false; }
    virtual bool OnMouseMove(int x, int y, unsigned flags) { return false; }
    virtual bool OnMouseHover(int x, int y, unsigned flags) { return false; }
};

class CDragCtrler : public CMouseCtrler {};

namespace Gdiplus {

class CWidget : public CDragCtrler {};

// An image shown stretched into a rectangle of its owner window.
class CImageWidget : public CWidget {
public:
    // `owner` is the window the widget sits in (null: detached); `nominal` is
    // the size used for layout when the image could not be loaded.
    CImageWidget(const void* owner, int id, CImagePtr image, CSize nominal = {});

    virtual bool OnMouseLeave(int x, int y, unsigned flags) { return false; }
    virtual bool IsDragSource(int x, int y) const { return false; }
    virtual bool IsEnabled() const { return true; }
    virtual void OnOwnerChanged(const void* owner) {}
    // True when attached to a window and (x, y) lies inside the rectangle.
    virtual bool HitTest(int x, int y) const;
    virtual void OnRectChanged() {}
    // Draws the image stretched into the rectangle unless the rectangle is
    // empty. Drawing errors stay in the context's status.
    virtual void Draw(cairo_t* cr) const;

    int Id() const { return m_id; }
    const void* Owner() const { return m_owner; }
    void SetOwner(const void* owner);
    const CRect& Rect() const { return m_rect; }
    // Replaces the rectangle when it differs; true when it changed.
    bool SetRect(const CRect& rect);
    const CImagePtr& Image() const { return m_image; }
    void SetImage(CImagePtr image) { m_image = std::move(image); }
    // The image's size, or the nominal size without an image.
    CSize Size() const;

private:
    const void* m_owner;
    int m_id;
    CRect m_rect;
    CImagePtr m_image;
    CSize m_nominal;
};

}  // namespace Gdiplus
