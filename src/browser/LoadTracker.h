#pragma once
#include "browser/PageActivity.h"

#include <chrono>
#include <cstddef>
#include <unordered_set>

// The page's resource loads in flight (the document, images, tiles, scripts,
// data), and when the last of them started or ended. A capture waits on it
// until the page has been quiet for a while.
class CLoadTracker {
public:
    using Clock = std::chrono::steady_clock;

    // A resource began loading; `key` names it until it ends. A key already
    // in flight counts once.
    void Started(const void* key, Clock::time_point now);
    // It finished or failed. A key that is not in flight (reported twice,
    // or started before the tracker knew) changes nothing.
    void Ended(const void* key, Clock::time_point now);
    // Something else happened that may still bring loads (a navigation
    // step); it counts as activity without a resource.
    void Touch(Clock::time_point now);
    // The page went away with its loads (the web process ended).
    void Clear(Clock::time_point now);

    size_t InFlight() const { return m_inFlight.size(); }
    bool IsInFlight(const void* key) const { return m_inFlight.count(key) != 0; }
    const std::unordered_set<const void*>& Keys() const { return m_inFlight; }
    // The time of the last start, end or touch; long ago when none happened.
    Clock::time_point LastActivity() const { return m_lastActivity; }

private:
    std::unordered_set<const void*> m_inFlight;
    Clock::time_point m_lastActivity{};
};

// How long a capture waits for the page to be finished: until no resource
// has been in flight and its scripts have drawn nothing for `quiet`, and at
// most `limit` in all. A page that keeps drawing animation frames while
// nothing else happens for `animating` is taken as it is.
struct CSettleRule {
    std::chrono::milliseconds quiet{500};
    std::chrono::milliseconds limit{15000};
    std::chrono::milliseconds animating{3000};
};

enum class SettleState {
    Settled,          // finished for the quiet time: capture now
    Loading,          // keep waiting
    StillAnimating,   // only animation frames go on: capture with a note
    LimitReached,     // capture anyway, the page is still loading
};

// Where a wait that began at `waitStart` stands at `now`. `busy` is true
// while a navigation is under way even when no resource has started yet.
SettleState DecideSettle(const CLoadTracker& loads, const CPageActivity& scripts, bool busy,
                         CLoadTracker::Clock::time_point waitStart, CLoadTracker::Clock::time_point now,
                         const CSettleRule& rule);
