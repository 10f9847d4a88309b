#include "shell/StatusText.h"

#include "errors/MessageFormat.h"
#include "errors/StringTable.h"
#include "shell/CommandIds.h"

void CStatusText::SetPageLoading(bool loading)
{
    // A page that has finished loading retires the note that it was still
    // loading; a page that starts something new, the note that it was only
    // animating.
    if (loading != m_loading && m_note == (loading ? Note::StillAnimating : Note::StillLoading))
        m_note = Note::None;
    m_loading = loading;
}

void CStatusText::SetCaptureWaiting(bool waiting)
{
    if (waiting)
        m_note = Note::None;
    m_waiting = waiting;
}

void CStatusText::SetCaptureNote(Note note) { m_note = note; }

void CStatusText::SetPrintProgress(std::optional<std::pair<int32_t, int32_t>> sheetOfTotal)
{
    m_print = sheetOfTotal;
}

std::string CStatusText::Text() const
{
    if (m_waiting)
        return LoadString(IDS_WAITING_FOR_MAP);
    if (m_print)
        return FormatMessageText(IDS_PRINT_PROGRESS,
                                 {std::to_string(m_print->first), std::to_string(m_print->second)});
    if (m_note != Note::None)
        return LoadString(m_note == Note::StillAnimating ? IDS_CAPTURED_WHILE_ANIMATING : IDS_CAPTURED_WHILE_LOADING);
    if (m_loading)
        return LoadString(IDS_LOADING);
    return m_notice.empty() ? LoadString(IDS_READY) : m_notice;
}
