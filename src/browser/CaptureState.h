#pragma once
#include <functional>

// Whether a capture of the browser is running. A capture runs the main loop
// while it waits for the page, so commands, timers and a close of the window
// can arrive in the middle of it: a second capture is refused, and a close
// abandons the capture and waits for its end.
class CCaptureState {
public:
    bool IsCapturing() const { return m_capturing; }
    // The window is closing: the running capture stops waiting and ends
    // without a result; its command ends quietly.
    void Abandon() { m_abandoned = m_capturing; }
    bool Abandoned() const { return m_abandoned; }
    // Asked while the capture waits for the page: true abandons it (a batch
    // run that has been interrupted).
    std::function<bool()> abandonWhen;
    // Bitmap pixels to a view (CSS) pixel: a batch run's --scale, for a view
    // drawn at that device scale.
    int pixelScale = 1;

    // The capture starts or stops waiting for the page's loads.
    std::function<void(bool waiting)> onWaitChanged;
    // The capture went ahead at its limit while the page was still loading.
    std::function<void()> onCapturedWhileLoading;
    // The capture went ahead while the page went on drawing animation
    // frames and did nothing else.
    std::function<void()> onCapturedWhileAnimating;
    // A capture has ended, with or without a result.
    std::function<void()> onCaptureEnded;

private:
    friend class CCaptureScope;
    bool m_capturing = false;
    bool m_abandoned = false;
};

// Marks one capture from its start to its end.
class CCaptureScope {
public:
    explicit CCaptureScope(CCaptureState& state) : m_state(state)
    {
        m_state.m_capturing = true;
        m_state.m_abandoned = false;
    }
    ~CCaptureScope()
    {
        m_state.m_capturing = false;
        m_state.m_abandoned = false;
        if (m_state.onCaptureEnded)
            m_state.onCaptureEnded();
    }
    CCaptureScope(const CCaptureScope&) = delete;
    CCaptureScope& operator=(const CCaptureScope&) = delete;

private:
    CCaptureState& m_state;
};
