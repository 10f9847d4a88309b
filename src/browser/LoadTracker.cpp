#include "browser/LoadTracker.h"

#include <algorithm>

void CLoadTracker::Started(const void* key, Clock::time_point now)
{
    m_inFlight.insert(key);
    m_lastActivity = now;
}

void CLoadTracker::Ended(const void* key, Clock::time_point now)
{
    if (m_inFlight.erase(key) != 0)
        m_lastActivity = now;
}

void CLoadTracker::Touch(Clock::time_point now) { m_lastActivity = now; }

void CLoadTracker::Clear(Clock::time_point now)
{
    m_inFlight.clear();
    m_lastActivity = now;
}

SettleState DecideSettle(const CLoadTracker& loads, const CPageActivity& scripts, bool busy,
                         CLoadTracker::Clock::time_point waitStart, CLoadTracker::Clock::time_point now,
                         const CSettleRule& rule)
{
    if (!busy && loads.InFlight() == 0 && scripts.Ready()) {
        const auto lastWork = std::max(loads.LastActivity(), scripts.LastWork());
        if (now - std::max(lastWork, scripts.LastFrame(now)) >= rule.quiet)
            return SettleState::Settled;
        // Frames still running, and nothing else for a long while.
        if (now - lastWork >= rule.animating)
            return SettleState::StillAnimating;
    }
    if (now - waitStart >= rule.limit)
        return SettleState::LimitReached;
    return SettleState::Loading;
}
