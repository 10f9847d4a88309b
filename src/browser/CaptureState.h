#pragma once
#include <gio/gio.h>

#include <functional>
#include <memory>
#include <utility>

// Whether a capture of the browser is running. A capture waits for the page
// while the main loop goes on, so commands, timers and a close of the window
// can arrive in the middle of it: the window disables the commands that
// capture, and a close abandons the capture and waits for its end.
class CCaptureState {
public:
    bool IsCapturing() const { return m_cancellable != nullptr; }
    // The window is closing: the running capture is cancelled and ends
    // without a result; its command ends quietly.
    void Abandon()
    {
        if (m_cancellable)
            g_cancellable_cancel(m_cancellable);
    }
    // The view is going: the running capture is cancelled without telling
    // anyone (those told may be gone already).
    void Detach()
    {
        onCaptureStarted = onCaptureEnded = onCapturedWhileLoading = onCapturedWhileAnimating = nullptr;
        onWaitChanged = nullptr;
        Abandon();
    }
    // Bitmap pixels to a view (CSS) pixel: a batch run's --scale, for a view
    // drawn at that device scale.
    int pixelScale = 1;

    // A capture has started.
    std::function<void()> onCaptureStarted;
    // The capture starts or stops waiting for the page's loads.
    std::function<void(bool waiting)> onWaitChanged;
    // The capture went ahead at its limit while the page was still loading.
    std::function<void()> onCapturedWhileLoading;
    // The capture went ahead while the page went on drawing animation
    // frames and did nothing else.
    std::function<void()> onCapturedWhileAnimating;
    // A capture has ended, with or without a result.
    std::function<void()> onCaptureEnded;

    // The capture that `cancellable` stops starts and ends; for the capture
    // itself.
    void Begin(GCancellable* cancellable)
    {
        m_cancellable = G_CANCELLABLE(g_object_ref(cancellable));
        if (onCaptureStarted)
            onCaptureStarted();
    }
    // Expires with the state: a capture's end that comes after its view has
    // gone touches nothing of it.
    std::weak_ptr<const int> Life() const { return m_life; }
    void End()
    {
        if (GCancellable* cancellable = std::exchange(m_cancellable, nullptr))
            g_object_unref(cancellable);
        if (onCaptureEnded)
            onCaptureEnded();
    }

    CCaptureState() = default;
    CCaptureState(const CCaptureState&) = delete;
    CCaptureState& operator=(const CCaptureState&) = delete;
    ~CCaptureState()
    {
        if (m_cancellable)
            g_object_unref(m_cancellable);
    }

private:
    GCancellable* m_cancellable = nullptr;
    std::shared_ptr<const int> m_life = std::make_shared<int>(0);
};
