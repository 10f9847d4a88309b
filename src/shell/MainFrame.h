#pragma once
#include "browser/QuorvaOverlayView.h"
#include "printing/job/PrintEndDispatcher.h"
#include "printing/job/QuorvaThread.h"
#include "browser/QuorvaScrollView.h"
#include "browser/QuorvaneView.h"
#include "shell/BarDlg.h"
#include "shell/Command.h"
#include "shell/CommandPrint.h"
#include "shell/PrintProgressBar.h"
#include "shell/ReBar.h"
#include "shell/StatusText.h"

#include <gtkmm.h>

#include <functional>
#include <map>
#include <set>
#include <memory>

class CDibSection;
class CSetting;

// The program's only top-level window: menu bar, tool bar and size bar in the
// rebar, the browser as client, the status bar. Every menu item, accelerator
// and tool bar button runs a command object by id.
class CMainFrame : public Gtk::ApplicationWindow {
public:
    explicit CMainFrame(CSetting& setting);
    ~CMainFrame() override;

    // The creation sequence: bars, client, stored layout; the window shows
    // itself from the main loop once the stored placement is applied, and the
    // Init command opens the start page.
    void Create();
    // Before Create: the URL to open instead of the stored one.
    void SetStartUrl(std::string url) { m_startUrl = std::move(url); }
    // A URL handed to the running program: opened as File > Open would, and
    // the window is brought to the front.
    void OpenUrl(const std::string& url);

    // Runs the command with this id through its guard.
    void Dispatch(int commandId);
    // The capture that the running Copy, Save As or Print goes on with;
    // null when taken already or when no such command runs.
    std::shared_ptr<CDibSection> TakeCapture() { return std::exchange(m_captured, nullptr); }
    void SetCommand(int commandId, std::shared_ptr<CCommand> command);
    // The command object run for this id; null when there is none.
    std::shared_ptr<CCommand> Command(int commandId) const;

    // Shows or hides a bar (tool bar, size bar, status bar by command id) as
    // its setting says after inverting it.
    void ToggleBar(int commandId);
    bool IsBarChecked(int commandId) const;

    CQuorvaneView& Browser() { return m_scrollView.View(); }
    CQuorvaScrollView& ScrollView() { return m_scrollView; }
    CQuorvaOverlayView& Overlay() { return m_overlay; }
    CBarDlg& BarDlg() { return m_barDlg; }
    CQuorvaThread& PrintThread() { return m_printThread; }
    CReBar& ReBar() { return m_rebar; }
    Gtk::Statusbar& StatusBar() { return m_statusBar; }
    CPrintProgressBar& PrintProgress() { return m_printProgress; }
    std::string StatusText() const { return m_statusText; }
    bool IsInitialising() const { return m_initialising; }

    // Logging out, shutting down or a termination signal: the shutdown of a
    // closing window without its questions. Open dialogs are dismissed and a
    // running print job is stopped and joined first.
    void EndSession();

    // The close check: answers false to keep the window open (a print job
    // that the user does not want to abort).
    std::function<bool()> canClose;
    // Runs after the window has stored its layout and the Quit command ran.
    std::function<void()> onShutdown;

protected:
    bool on_delete_event(GdkEventAny* event) override;
    bool on_key_press_event(GdkEventKey* event) override;
    bool on_configure_event(GdkEventConfigure* event) override;
    bool on_window_state_event(GdkEventWindowState* event) override;

private:
    void BuildMenu();
    void BuildLinksMenu(Gtk::Menu& fileMenu);
    void BuildToolBar();
    void ConnectItem(Gtk::MenuItem& item, int commandId);
    void ConnectViews();
    void CreateCommands();
    void ApplyStoredLayout();
    void ShowFromStoredPlacement();
    void StorePlacement();
    void StoreBands();
    void UpdateCheckMarks();
    void UpdateReadyState();
    void ShowStatusText();
    void ConnectCapture();
    void EnableCaptureCommands(bool enabled);
    void CaptureThenRun(int commandId);
    void ConnectPrintProgress();
    void OnPrintEnded();
    void Shutdown();

    CSetting& m_setting;
    std::string m_startUrl;
    bool m_initialising = false;
    bool m_sandboxNoticeShown = false;
    int m_lastReadyState = -1;
    bool m_lastLoading = false;
    CStatusText m_status;
    std::string m_statusText;
    // A close that arrived during a capture; it runs when the capture ends.
    bool m_closeAfterCapture = false;
    // The capture that Copy, Save As or Print is about to take over.
    std::shared_ptr<CDibSection> m_captured;
    // Expires with the window: a capture's end that comes later does nothing.
    std::shared_ptr<const int> m_life = std::make_shared<int>(0);
    // Captures of the page setup preview since the dialog opened.
    int m_previewCaptures = 0;
    // A close that asked the running job to stop; it runs at the job's end.
    bool m_closeAfterPrintEnd = false;

    Gtk::Box m_layoutBox{Gtk::ORIENTATION_VERTICAL};
    CReBar m_rebar;
    Gtk::MenuBar* m_menuBar = nullptr;
    Glib::RefPtr<Gtk::Builder> m_menuBuilder;
    Gtk::Toolbar m_toolBar;
    CBarDlg m_barDlg;
    CQuorvaScrollView m_scrollView;
    CQuorvaOverlayView m_overlay;
    CQuorvaThread m_printThread;
    // Brings the worker's end notice to this thread as the EndPrint command.
    std::unique_ptr<CPrintEndDispatcher> m_printEnd;
    std::shared_ptr<CCommandPrint> m_print;
    Gtk::Statusbar m_statusBar;
    CPrintProgressBar m_printProgress;
    Glib::RefPtr<Gtk::AccelGroup> m_accelGroup;

    std::map<int, std::shared_ptr<CCommand>> m_commands;
    std::map<int, Gtk::CheckMenuItem*> m_checkItems;
    std::map<int, Gtk::ToolButton*> m_toolButtons;
    std::set<int> m_disabledCommands;
    bool m_updatingChecks = false;
    bool m_shutDown = false;
};

// The main frame of the running program; null outside the main loop.
CMainFrame* TheMainFrame();
