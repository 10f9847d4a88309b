#pragma once
#include <chrono>
#include <cstddef>
#include <string>
#include <unordered_map>

// One frame's account of what its scripts are doing, as the page watcher
// sends it (see PageWatchScript.h). The text comes from inside the page
// and is checked like any other untrusted input.
struct CFrameReport {
    std::string frame;             // the frame's own name for itself
    bool workersBusy = false;      // a worker has a message it has not answered
    bool fontsLoading = false;     // document.fonts is still loading
    bool documentLoading = false;  // document.readyState is not "complete"
    bool gone = false;             // the frame's document is going away
    bool framePending = false;     // an animation frame asked for has not run
    // How long before the report its last animation frame callback and its
    // last worker message ran; negative when none has yet.
    std::chrono::milliseconds frameAgo{-1};
    std::chrono::milliseconds workAgo{-1};
};

// Reads "FRAME FLAGS FRAME-AGO WORK-AGO": FLAGS holds 'w', 'f', 'd', 'g',
// 'a' for the five states above, or is "-". False for anything else.
bool ParseFrameReport(const std::string& text, CFrameReport& report);

// What the scripts of every frame of the page are doing, from their reports.
class CPageActivity {
public:
    using Clock = std::chrono::steady_clock;

    void Report(const CFrameReport& report, Clock::time_point now);
    // A new document: the frames of the old one report no more.
    void Clear(Clock::time_point now);

    // No frame has a worker busy, fonts loading or a document loading.
    bool Ready() const { return m_notReady == 0; }
    // Some frame has asked for an animation frame that has not run yet.
    bool FramePending() const { return m_framesPending != 0; }
    // The last animation frame callback of any frame; long ago when none
    // ran. A frame asked for counts as drawing at `now`.
    Clock::time_point LastFrame(Clock::time_point now) const { return FramePending() ? now : m_lastFrame; }
    // The last change of a frame's readiness or worker message.
    Clock::time_point LastWork() const { return m_lastWork; }
    size_t Frames() const { return m_frames.size(); }

    // More frames than any page has; reports of further frames are ignored.
    static constexpr size_t kMaxFrames = 1000;

private:
    struct FrameState {
        bool ready = true;
        bool framePending = false;
    };
    std::unordered_map<std::string, FrameState> m_frames;
    size_t m_notReady = 0;
    size_t m_framesPending = 0;
    Clock::time_point m_lastFrame{};
    Clock::time_point m_lastWork{};
};
