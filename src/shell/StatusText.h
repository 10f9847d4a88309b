#pragma once
#include <cstdint>
#include <optional>
#include <string>

// The status bar's main text. Several things want to say something at once;
// the most pressing wins: a capture waiting for the page, then a running
// print job, then the note about the last capture, then the page's ready
// text ("ロード中...", the page's notice, or "準備完了").
class CStatusText {
public:
    // The page is loading: a navigation under way, resources in flight or
    // its scripts still drawing. The page becoming ready retires the note
    // that a capture was taken while loading; it starting to load again,
    // the note that it was taken while animating.
    void SetPageLoading(bool loading);
    void SetCaptureWaiting(bool waiting);
    // The last capture went ahead while the page was still loading, or
    // still drawing animation frames.
    enum class Note { None, StillLoading, StillAnimating };
    void SetCaptureNote(Note note = Note::StillLoading);
    // The sheet being sent (from 1) and the job's total; none when no job runs.
    void SetPrintProgress(std::optional<std::pair<int32_t, int32_t>> sheetOfTotal);
    // Said instead of the ready text while the page is not loading: why the
    // last navigation failed, or a note about the browser. Empty for none.
    void SetPageNotice(std::string notice) { m_notice = std::move(notice); }

    std::string Text() const;

private:
    bool m_loading = false;
    bool m_waiting = false;
    Note m_note = Note::None;
    std::optional<std::pair<int32_t, int32_t>> m_print;
    std::string m_notice;
};
