#include "shell/MainFrame.h"

#include "browser/WebSandbox.h"
#include "controls/UiTexts.h"

#include "controls/MessageBoxMsg.h"
#include "errors/MessageFormat.h"
#include "errors/ProgramMessages.h"
#include "errors/Resources.h"
#include "errors/StringTable.h"
#include "settings/Setting.h"
#include "shell/CommandIds.h"
#include "browser/Capture.h"
#include "shell/AboutDlg.h"
#include "printing/job/PrintJobControl.h"
#include "printing/job/TaskPrinterChoice.h"
#include "shell/CommandCopy.h"
#include "shell/CommandEndPrint.h"
#include "shell/CommandOpen.h"
#include "shell/CommandPageSetup.h"
#include "shell/CommandPrint.h"
#include "shell/CommandQuit.h"
#include "shell/CommandSave.h"
#include "shell/Commands.h"
#include "shell/WindowPlacement.h"

namespace {

CMainFrame* g_mainFrame = nullptr;

// Tool bar buttons, left to right; 0 is a separator.
constexpr int kToolBarButtons[] = {ID_FILE_OPEN, 0, ID_EDIT_COPY, 0, ID_FILE_PRINT, ID_FILE_PAGE_SETUP, 0,
                                   ID_APP_ABOUT, 0, ID_HELP_HOMEPAGE, ID_HELP_USAGE};

const char* ToolBarIconName(int commandId)
{
    switch (commandId) {
    case ID_FILE_OPEN: return "document-open";
    case ID_EDIT_COPY: return "edit-copy";
    case ID_FILE_PRINT: return "document-print";
    case ID_FILE_PAGE_SETUP: return "document-page-setup";
    case ID_APP_ABOUT: return "help-about";
    case ID_HELP_HOMEPAGE: return "go-home";
    case ID_HELP_USAGE: return "help-browser";
    default: return "image-missing";
    }
}

struct Accelerator {
    guint key;
    Gdk::ModifierType modifiers;
    int commandId;
    bool shownInMenu;
};

const Accelerator kAccelerators[] = {
    {GDK_KEY_o, Gdk::CONTROL_MASK, ID_FILE_OPEN, true},
    {GDK_KEY_p, Gdk::CONTROL_MASK, ID_FILE_PRINT, true},
    {GDK_KEY_r, Gdk::CONTROL_MASK, ID_VIEW_REFRESH, false},
    {GDK_KEY_F5, Gdk::ModifierType(0), ID_VIEW_REFRESH, false},
};

CRect VirtualScreen(const Glib::RefPtr<Gdk::Display>& display)
{
    CRect box;
    bool first = true;
    for (int i = 0; i < display->get_n_monitors(); ++i) {
        Gdk::Rectangle area;
        display->get_monitor(i)->get_geometry(area);
        const CRect r{area.get_x(), area.get_y(), area.get_x() + area.get_width(), area.get_y() + area.get_height()};
        if (first) {
            box = r;
            first = false;
        } else {
            box = CRect{std::min(box.left, r.left), std::min(box.top, r.top), std::max(box.right, r.right),
                        std::max(box.bottom, r.bottom)};
        }
    }
    return box;
}

}  // namespace

CMainFrame* TheMainFrame() { return g_mainFrame; }

CMainFrame::CMainFrame(CSetting& setting)
    : m_setting(setting), m_barDlg(setting), m_scrollView(setting), m_overlay(setting, &m_scrollView.View())
{
    g_mainFrame = this;
}

CMainFrame::~CMainFrame()
{
    if (g_mainFrame == this)
        g_mainFrame = nullptr;
}

void CMainFrame::Create()
{
    set_title(LoadString(IDS_DISPLAY_NAME));
    set_default_size(1100, 800);
    TheMsg().SetOwner(this);
    // The printer and paper chosen in an earlier run, if the printer is still there.
    if (m_setting.printerChoice)
        ApplyPrinterChoice(*m_printThread.Task(), *m_setting.printerChoice);

    CreateCommands();
    m_accelGroup = Gtk::AccelGroup::create();
    add_accel_group(m_accelGroup);
    BuildMenu();
    BuildToolBar();

    m_rebar.AddBand(kBandMenuBar, *m_menuBar, false);
    m_rebar.AddBand(kBandToolBar, m_toolBar, true);
    m_rebar.AddBand(kBandSizeBar, m_barDlg, true);

    m_statusBar.set_name("statusbar");
    m_statusBar.pack_end(m_printProgress, Gtk::PACK_SHRINK);
    ShowStatusText();

    ConnectViews();
    ConnectCapture();
    ConnectPrintProgress();

    m_layoutBox.pack_start(m_rebar, Gtk::PACK_SHRINK);
    m_layoutBox.pack_start(m_scrollView.Widget(), Gtk::PACK_EXPAND_WIDGET);
    m_layoutBox.pack_end(m_statusBar, Gtk::PACK_SHRINK);
    add(m_layoutBox);
    show_all_children();

    m_initialising = true;
    ApplyStoredLayout();
    // The window appears from the main loop, in its restored placement.
    Glib::signal_idle().connect_once([this] { ShowFromStoredPlacement(); });

    // Closing while a job runs (or waits for a stopped one) asks first; the
    // job is asked to stop and the window closes when its end notice comes,
    // so a sheet stuck in the spooler never freezes the window meanwhile.
    canClose = [this] {
        if (!m_printThread.IsRunning() && !m_print->HasWaitingJob()) {
            m_printEnd->Mute();
            return true;
        }
        if ((m_print->HasWaitingJob() || !m_printThread.IsTerminated()) && !TheMsg().ConfirmAbortPrinting())
            return false;
        m_printThread.Terminate(true);
        m_closeAfterPrintEnd = true;
        return false;
    };
    Dispatch(kCommandInit);
}

// The size bar, the scroll view and the overlay keep each other up to date.
void CMainFrame::ConnectViews()
{
    m_overlay.AttachTo(m_scrollView.ClientOverlay());
    m_barDlg.onBrowserSizeChanged = [this] { m_scrollView.ApplyBrowserSize(); };
    m_barDlg.onTrimChanged = [this] { m_overlay.Refresh(); };
    m_scrollView.onRefreshSizeFields = [this] { m_barDlg.RefreshSizeFields(); };
    m_scrollView.onOverlayUpdate = [this] { m_overlay.Refresh(); };
    m_scrollView.onOverlayReposition = [this] { m_overlay.Refresh(); };
    m_overlay.onTrimDragged = [this] { m_barDlg.RefreshTrimFields(); };
    Browser().onReadyStateChanged = [this] { UpdateReadyState(); };
    // The refusal stands until the status text next changes.
    Browser().onDownloadRefused = [this](const std::string& url) {
        m_statusText = FormatMessageText(kMsgDownloadRefused, {url});
        m_statusBar.remove_all_messages(0);
        m_statusBar.push(m_statusText, 0);
    };
    Browser().onPrintRefused = [this] {
        m_statusText = LoadString(kMsgPagePrintRefused);
        m_statusBar.remove_all_messages(0);
        m_statusBar.push(m_statusText, 0);
    };
}

// While a job runs, the status bar shows its sheets and a stop button.
void CMainFrame::ConnectPrintProgress()
{
    m_printProgress.onProgress = [this](std::optional<std::pair<int32_t, int32_t>> sheetOfTotal) {
        m_status.SetPrintProgress(sheetOfTotal);
        ShowStatusText();
    };
    // The stop button asks as Print does, and leaves the worker to finish
    // its sheet and cancel the job; the end notice reports it.
    m_printProgress.onStopClicked = [this] {
        if (m_printThread.IsRunning() && TheMsg().ConfirmAbortPrinting())
            m_printThread.Terminate(true);
    };
}

void CMainFrame::OnPrintEnded()
{
    // The job stopped for a close has ended: the window closes, saying
    // nothing more, and a job that waited for it is dropped.
    if (m_closeAfterPrintEnd) {
        m_closeAfterPrintEnd = false;
        if (m_printThread.FinishedRuns() == m_printThread.StartedRuns())
            m_printThread.Wait(INFINITE);
        close();
        return;
    }
    // An end notice of a job that Print stopped may arrive after the next
    // job has started; that job keeps its display.
    if (!m_printThread.IsRunning())
        m_printProgress.Stop();
    Dispatch(kCommandEndPrint);
    // A job that waited for the stopped one starts now.
    m_print->OnPrintEnded();
}

void CMainFrame::CreateCommands()
{
    qvn::CMsg* msg = &TheMsg();
    auto init = std::make_shared<CCommandInit>(msg, Browser(), m_setting);
    init->SetStartUrl(m_startUrl);
    m_commands[kCommandInit] = init;
    m_commands[ID_VIEW_REFRESH] = std::make_shared<CCommandReload>(msg, Browser());
    for (int id : {ID_VIEW_TOOLBAR, ID_VIEW_DLGBAR, ID_VIEW_STATUS_BAR})
        m_commands[id] = std::make_shared<CCommandShowBar>(msg, *this, id);
    auto openUrl = std::make_shared<CCommandOpenUrl>(msg);
    openUrl->SetParent(this);
    m_commands[ID_HELP_HOMEPAGE] = openUrl;
    m_commands[ID_HELP_USAGE] = openUrl;
    auto open = std::make_shared<CCommandOpen>(*msg, m_setting, Browser());
    open->SetParent(this);
    m_commands[ID_FILE_OPEN] = open;
    auto save = std::make_shared<CCommandSave>(*msg, [this] { return TakeCapture(); });
    save->SetParent(this);
    m_commands[ID_FILE_SAVE_AS] = save;
    auto print = m_print = std::make_shared<CCommandPrint>(
        msg, m_setting, m_printThread, [this] { return TakeCapture(); },
        [this](std::string& title) { return Browser().GetLocationName(title); });
    print->SetOnJobStarted([this] { m_printProgress.Follow(m_printThread.Task()->Progress()); });
    m_commands[ID_FILE_PRINT] = print;
    // The preview is captured once a second; only its first capture waits.
    m_commands[ID_FILE_PAGE_SETUP] = std::make_shared<CCommandPageSetup>(
        msg, m_setting, m_printThread, PreviewCaptureOf(m_scrollView, [this] { return m_previewCaptures++ == 0; }),
        [this](const CSize& size) { m_scrollView.SetTrimmedContentSize(size.cx, size.cy); });
    m_commands[kCommandEndPrint] = std::make_shared<CCommandEndPrint>(msg, m_printThread);
    m_printEnd = std::make_unique<CPrintEndDispatcher>(m_printThread, [this] { OnPrintEnded(); });
    m_commands[kCommandQuit] = std::make_shared<CCommandQuit>(msg, m_setting, &Browser());
    m_commands[ID_EDIT_COPY] =
        std::make_shared<CCommandCopy>(msg, [this] { return TakeCapture(); }, this);
    auto openLink = std::make_shared<CCommandOpenLink>(msg, Browser(), m_setting);
    for (int id = ID_LINK_FIRST; id <= ID_LINK_LAST; ++id)
        m_commands[id] = openLink;
}

void CMainFrame::OpenUrl(const std::string& url)
{
    const CSimpleErr err = RunGuarded([&] { RememberAndNavigate(m_setting, Browser(), url); });
    present();
    if (err.msgId != 0)
        TheMsg().ShowError(err);
}

void CMainFrame::SetCommand(int commandId, std::shared_ptr<CCommand> command)
{
    m_commands[commandId] = std::move(command);
}

std::shared_ptr<CCommand> CMainFrame::Command(int commandId) const
{
    auto found = m_commands.find(commandId);
    return found == m_commands.end() ? nullptr : found->second;
}

void CMainFrame::Dispatch(int commandId)
{
    if (commandId == ID_APP_EXIT) {
        close();
        return;
    }
    if (commandId == ID_APP_ABOUT) {
        ShowAboutBox(this);
        return;
    }
    auto found = m_commands.find(commandId);
    if (found == m_commands.end())
        return;
    if (m_disabledCommands.count(commandId))
        return;
    if (auto* openUrl = dynamic_cast<CCommandOpenUrl*>(found->second.get()))
        openUrl->SetStringId(commandId == ID_HELP_HOMEPAGE ? IDS_HOMEPAGE_URL : IDS_USAGE_URL);
    if (auto* openLink = dynamic_cast<CCommandOpenLink*>(found->second.get()))
        openLink->SetStringId(commandId + 8);
    if (commandId == ID_FILE_PAGE_SETUP)
        m_previewCaptures = 0;
    if (commandId == ID_EDIT_COPY || commandId == ID_FILE_SAVE_AS || commandId == ID_FILE_PRINT) {
        CaptureThenRun(commandId);
        return;
    }
    // Keep the command alive while it runs, whatever it does to the table.
    std::shared_ptr<CCommand> command = found->second;
    command->RunAndReport(true, false);
}

void CMainFrame::BuildMenu()
{
    m_menuBuilder = Gtk::Builder::create_from_resource(ResourcePath("ui/menu.ui"));
    ApplyUiTexts(m_menuBuilder, "ui/menu.ui");
    m_menuBuilder->get_widget("menubar", m_menuBar);

    Gtk::Menu* fileMenu = nullptr;
    m_menuBuilder->get_widget("submenu-file", fileMenu);
    BuildLinksMenu(*fileMenu);

    for (int id : {ID_FILE_OPEN, ID_FILE_SAVE_AS, ID_FILE_PRINT, ID_FILE_PAGE_SETUP, ID_APP_EXIT, ID_EDIT_COPY,
                   ID_VIEW_TOOLBAR, ID_VIEW_DLGBAR, ID_VIEW_STATUS_BAR, ID_VIEW_REFRESH, ID_APP_ABOUT,
                   ID_HELP_HOMEPAGE, ID_HELP_USAGE}) {
        Gtk::MenuItem* item = nullptr;
        m_menuBuilder->get_widget("cmd-" + std::to_string(id), item);
        ConnectItem(*item, id);
        if (auto* check = dynamic_cast<Gtk::CheckMenuItem*>(item))
            m_checkItems[id] = check;
        for (const Accelerator& accel : kAccelerators) {
            if (accel.commandId == id && accel.shownInMenu)
                item->add_accelerator("activate", m_accelGroup, accel.key, accel.modifiers, Gtk::ACCEL_VISIBLE);
        }
    }
}

void CMainFrame::BuildLinksMenu(Gtk::Menu& fileMenu)
{
    auto* links = Gtk::manage(new Gtk::MenuItem(LoadString(IDS_LINKS_MENU)));
    auto* submenu = Gtk::manage(new Gtk::Menu());
    for (int id = ID_LINK_FIRST; id <= ID_LINK_LAST; ++id) {
        auto* item = Gtk::manage(new Gtk::MenuItem(LoadString(IDS_LINK_TEXT_FIRST + (id - ID_LINK_FIRST))));
        ConnectItem(*item, id);
        submenu->append(*item);
    }
    links->set_submenu(*submenu);
    fileMenu.insert(*links, 1);
    links->show_all();
}

void CMainFrame::ConnectItem(Gtk::MenuItem& item, int commandId)
{
    item.signal_activate().connect([this, commandId] {
        if (!m_updatingChecks)
            Dispatch(commandId);
    });
    // Menu help in the status bar while the item is selected.
    const std::string help = CommandHelpText(commandId);
    item.signal_select().connect([this, help] { m_statusBar.push(help, 1); });
    item.signal_deselect().connect([this] { m_statusBar.pop(1); });
}

void CMainFrame::BuildToolBar()
{
    m_toolBar.set_toolbar_style(Gtk::TOOLBAR_ICONS);
    m_toolBar.set_icon_size(Gtk::ICON_SIZE_SMALL_TOOLBAR);
    for (int id : kToolBarButtons) {
        if (id == 0) {
            m_toolBar.append(*Gtk::manage(new Gtk::SeparatorToolItem()));
            continue;
        }
        auto* button = Gtk::manage(new Gtk::ToolButton());
        button->set_icon_name(ToolBarIconName(id));
        button->set_name("tool-" + std::to_string(id));
        button->set_tooltip_text(CommandToolTip(id));
        button->signal_clicked().connect([this, id] { Dispatch(id); });
        m_toolButtons[id] = button;
        m_toolBar.append(*button);
    }
}

void CMainFrame::ApplyStoredLayout()
{
    const CMainFrameSetting& stored = m_setting.mainFrame;
    if (!stored.rect.IsNull() && !stored.rect.IsEmpty()) {
        unmaximize();
        const CRect screen = VirtualScreen(get_display());
        const CRect fitted = FitRectIntoScreen(LimitRectToScreenSize(stored.rect, screen), screen);
        move(fitted.left, fitted.top);
        resize(fitted.Width(), fitted.Height());
    }
    m_rebar.ApplyStored(stored.bands);
    m_rebar.ShowBand(kBandToolBar, stored.showToolBar);
    m_rebar.ShowBand(kBandSizeBar, stored.showDlgBar);
    m_statusBar.set_visible(stored.showStatusBar);
    UpdateCheckMarks();
}

void CMainFrame::ShowFromStoredPlacement()
{
    if (m_setting.mainFrame.maximized)
        maximize();
    show();
    m_initialising = false;
}

bool CMainFrame::on_configure_event(GdkEventConfigure* event)
{
    const bool result = Gtk::ApplicationWindow::on_configure_event(event);
    StorePlacement();
    return result;
}

bool CMainFrame::on_window_state_event(GdkEventWindowState* event)
{
    const bool result = Gtk::ApplicationWindow::on_window_state_event(event);
    StorePlacement();
    return result;
}

void CMainFrame::StorePlacement()
{
    if (m_initialising || !get_visible() || m_shutDown)
        return;
    const auto state = get_window() ? get_window()->get_state() : Gdk::WindowState(0);
    const bool maximized = (state & Gdk::WINDOW_STATE_MAXIMIZED) != 0;
    const bool minimized = (state & Gdk::WINDOW_STATE_ICONIFIED) != 0;
    m_setting.mainFrame.maximized = maximized;
    if (maximized || minimized)
        return;
    int x = 0, y = 0, w = 0, h = 0;
    get_position(x, y);
    get_size(w, h);
    m_setting.mainFrame.rect = CRect{x, y, x + w, y + h};
}

void CMainFrame::StoreBands()
{
    m_setting.mainFrame.bands = m_rebar.StoreBands();
}

void CMainFrame::ToggleBar(int commandId)
{
    CMainFrameSetting& stored = m_setting.mainFrame;
    switch (commandId) {
    case ID_VIEW_TOOLBAR:
        stored.showToolBar = !stored.showToolBar;
        m_rebar.ShowBand(kBandToolBar, stored.showToolBar);
        break;
    case ID_VIEW_DLGBAR:
        stored.showDlgBar = !stored.showDlgBar;
        m_rebar.ShowBand(kBandSizeBar, stored.showDlgBar);
        break;
    case ID_VIEW_STATUS_BAR:
        stored.showStatusBar = !stored.showStatusBar;
        m_statusBar.set_visible(stored.showStatusBar);
        break;
    default: return;
    }
    UpdateCheckMarks();
}

bool CMainFrame::IsBarChecked(int commandId) const
{
    auto found = m_checkItems.find(commandId);
    return found != m_checkItems.end() && found->second->get_active();
}

void CMainFrame::UpdateCheckMarks()
{
    const CMainFrameSetting& stored = m_setting.mainFrame;
    m_updatingChecks = true;
    m_checkItems[ID_VIEW_TOOLBAR]->set_active(stored.showToolBar);
    m_checkItems[ID_VIEW_DLGBAR]->set_active(stored.showDlgBar);
    m_checkItems[ID_VIEW_STATUS_BAR]->set_active(stored.showStatusBar);
    m_updatingChecks = false;
}

void CMainFrame::UpdateReadyState()
{
    const int state = Browser().ReadyState();
    const bool loading = Browser().IsLoading();
    if (state == m_lastReadyState && loading == m_lastLoading)
        return;
    m_lastReadyState = state;
    m_lastLoading = loading;
    // States above 4 do not exist here; resources in flight after the load
    // event (map tiles) count as loading too.
    m_status.SetPageLoading(loading);
    // A failed navigation says why; a browser without its sandbox says so
    // once, when the first page is ready.
    std::string notice = Browser().NavigationFailure();
    if (notice.empty() && !loading && !m_sandboxNoticeShown) {
        notice = WebSandboxUnavailableText();
        m_sandboxNoticeShown = true;
    }
    m_status.SetPageNotice(notice);
    ShowStatusText();
    // The busy cursor belongs to the client area, not the menus and bars.
    m_scrollView.RefreshCursor();
}

void CMainFrame::ShowStatusText()
{
    const std::string text = m_status.Text();
    if (text == m_statusText)
        return;
    m_statusText = text;
    m_statusBar.remove_all_messages(0);
    m_statusBar.push(text, 0);
}

bool CMainFrame::on_key_press_event(GdkEventKey* event)
{
    // Accelerators that the menu does not show (Ctrl+R, F5).
    const auto modifiers = Gdk::ModifierType(event->state) & (Gdk::CONTROL_MASK | Gdk::SHIFT_MASK | Gdk::MOD1_MASK);
    const guint key = gdk_keyval_to_lower(event->keyval);
    for (const Accelerator& accel : kAccelerators) {
        if (!accel.shownInMenu && accel.key == key && accel.modifiers == modifiers) {
            Dispatch(accel.commandId);
            return true;
        }
    }
    return Gtk::ApplicationWindow::on_key_press_event(event);
}

bool CMainFrame::on_delete_event(GdkEventAny*)
{
    // The capture runs the main loop with the view in use: it is abandoned,
    // and the window closes when it has ended.
    if (m_scrollView.CaptureState().IsCapturing()) {
        m_closeAfterCapture = true;
        m_scrollView.CaptureState().Abandon();
        return true;
    }
    if (canClose && !canClose())
        return true;
    Shutdown();
    return false;
}

void CMainFrame::EndSession()
{
    if (m_shutDown)
        return;
    // Nobody may be there to answer: failures go to standard error.
    TheMsg().SetBoxesAllowed(false);
    for (Gtk::Window* window : Gtk::Window::list_toplevels()) {
        if (auto* dialog = dynamic_cast<Gtk::Dialog*>(window); dialog && dialog->get_visible())
            dialog->response(Gtk::RESPONSE_DELETE_EVENT);
    }
    // A capture under way ends without its command.
    m_scrollView.CaptureState().Abandon();
    StopPrinting(m_printThread);
    m_printEnd->Mute();
    m_closeAfterPrintEnd = false;
    Shutdown();
}

void CMainFrame::Shutdown()
{
    if (m_shutDown)
        return;
    // A number typed into the size bar without Enter or Tab counts.
    m_barDlg.CommitFocused();
    StoreBands();
    m_shutDown = true;
    // The settings are written even when the current URL cannot be read;
    // failures are shown and the window still closes.
    Dispatch(kCommandQuit);
    if (onShutdown)
        onShutdown();
    hide();
}
