#include "browser/PageActivity.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>

namespace {

// A report's times, in milliseconds; at most a day, -1 for none.
bool ParseAgo(const std::string& text, std::chrono::milliseconds& ago)
{
    if (text == "-1") {
        ago = std::chrono::milliseconds(-1);
        return true;
    }
    if (text.empty() || text.size() > 8 || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    ago = std::chrono::milliseconds(std::min(std::strtol(text.c_str(), nullptr, 10), 86400000L));
    return true;
}

}  // namespace

bool ParseFrameReport(const std::string& text, CFrameReport& report)
{
    if (text.size() > 200)
        return false;
    std::istringstream in(text);
    std::string flags, frameAgo, workAgo, rest;
    CFrameReport parsed;
    if (!(in >> parsed.frame >> flags >> frameAgo >> workAgo) || (in >> rest) || parsed.frame.size() > 64)
        return false;
    if (flags != "-") {
        for (char flag : flags) {
            switch (flag) {
            case 'w': parsed.workersBusy = true; break;
            case 'f': parsed.fontsLoading = true; break;
            case 'd': parsed.documentLoading = true; break;
            case 'g': parsed.gone = true; break;
            case 'a': parsed.framePending = true; break;
            default: return false;
            }
        }
    }
    if (!ParseAgo(frameAgo, parsed.frameAgo) || !ParseAgo(workAgo, parsed.workAgo))
        return false;
    report = std::move(parsed);
    return true;
}

void CPageActivity::Report(const CFrameReport& report, Clock::time_point now)
{
    // Times only move forward: a late report does not undo a later one.
    if (report.frameAgo.count() >= 0)
        m_lastFrame = std::max(m_lastFrame, now - report.frameAgo);
    if (report.workAgo.count() >= 0)
        m_lastWork = std::max(m_lastWork, now - report.workAgo);

    auto found = m_frames.find(report.frame);
    const bool wasReady = found == m_frames.end() || found->second.ready;
    const bool ready = report.gone || !(report.workersBusy || report.fontsLoading || report.documentLoading);
    if (found == m_frames.end()) {
        if (report.gone || m_frames.size() >= kMaxFrames)
            return;
        found = m_frames.emplace(report.frame, FrameState{}).first;
    }
    if (wasReady != ready) {
        m_notReady += ready ? size_t(-1) : 1;
        m_lastWork = now;
    }
    found->second.ready = ready;
    const bool pending = report.framePending && !report.gone;
    if (found->second.framePending != pending)
        m_framesPending += pending ? 1 : size_t(-1);
    found->second.framePending = pending;
    if (report.gone)
        m_frames.erase(found);
}

void CPageActivity::Clear(Clock::time_point now)
{
    if (m_notReady != 0)
        m_lastWork = now;
    m_frames.clear();
    m_notReady = 0;
    m_framesPending = 0;
}
