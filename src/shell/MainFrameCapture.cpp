// The window's side of captures: what it shows while one runs, the commands
// it disables meanwhile, and the commands that go on from a capture's end.
#include "shell/MainFrame.h"

#include "bitmap/DibSection.h"
#include "browser/Capture.h"
#include "errors/ErrorRecord.h"
#include "controls/MessageBoxMsg.h"
#include "shell/CommandIds.h"

// A capture waiting for the page says so in the status bar; a close of the
// window during a capture runs once the capture has let go of the view.
void CMainFrame::ConnectCapture()
{
    CCaptureState& capture = m_scrollView.CaptureState();
    capture.onWaitChanged = [this](bool waiting) {
        m_status.SetCaptureWaiting(waiting);
        ShowStatusText();
    };
    capture.onCapturedWhileLoading = [this] {
        m_status.SetCaptureNote(CStatusText::Note::StillLoading);
        ShowStatusText();
    };
    capture.onCapturedWhileAnimating = [this] {
        m_status.SetCaptureNote(CStatusText::Note::StillAnimating);
        ShowStatusText();
    };
    capture.onCaptureStarted = [this] { EnableCaptureCommands(false); };
    capture.onCaptureEnded = [this] {
        EnableCaptureCommands(true);
        if (!m_closeAfterCapture)
            return;
        m_closeAfterCapture = false;
        // From the main loop: the command that captured unwinds first.
        Glib::signal_idle().connect_once([this] { close(); });
    };
}

// While a capture runs, the commands that would start another one are
// disabled: their menu items, tool buttons and keys.
void CMainFrame::EnableCaptureCommands(bool enabled)
{
    for (int id : {ID_EDIT_COPY, ID_FILE_SAVE_AS, ID_FILE_PRINT, ID_FILE_PAGE_SETUP}) {
        if (enabled)
            m_disabledCommands.erase(id);
        else
            m_disabledCommands.insert(id);
        Gtk::MenuItem* item = nullptr;
        m_menuBuilder->get_widget("cmd-" + std::to_string(id), item);
        if (item)
            item->set_sensitive(enabled);
        if (auto found = m_toolButtons.find(id); found != m_toolButtons.end())
            found->second->set_sensitive(enabled);
    }
}

// Copy, Save As and Print go on from the capture's end with its bitmap. A
// capture that failed says why; one cancelled (the window closing) ends
// the command without a word.
void CMainFrame::CaptureThenRun(int commandId)
{
    const std::weak_ptr<const int> life = m_life;
    CaptureAsync(m_scrollView, {}, nullptr, [this, life, commandId](CCaptureOutcome outcome) {
        if (life.expired())
            return;
        const CSimpleErr err = RunGuarded([&] {
            if (outcome.error)
                std::rethrow_exception(outcome.error);
            m_captured = outcome.rendered->Convert();
        });
        if (!m_captured) {
            if (err.Failed())
                TheMsg().ShowError(err);
            return;
        }
        // Kept alive while it runs, whatever it does to the table.
        if (std::shared_ptr<CCommand> command = Command(commandId))
            command->RunAndReport(true, false);
        m_captured.reset();
    });
}

