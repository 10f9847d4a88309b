#pragma once

typedef struct _cairo_surface cairo_surface_t;

// The overlay's picture: one ARGB32 image of the window's size, kept and
// reused while the size stays the same.
class COverlayBackBuffer {
public:
    COverlayBackBuffer() = default;
    ~COverlayBackBuffer();
    COverlayBackBuffer(const COverlayBackBuffer&) = delete;
    COverlayBackBuffer& operator=(const COverlayBackBuffer&) = delete;

    // Makes sure the buffer is width x height, recreating it on a change of
    // size. False (and no buffer) when it cannot be created.
    bool Ensure(int width, int height);
    void Drop();

    // Null when there is no buffer.
    cairo_surface_t* Surface() const { return m_surface; }
    int Width() const;
    int Height() const;

private:
    cairo_surface_t* m_surface = nullptr;
};
