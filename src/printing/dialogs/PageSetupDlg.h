#pragma once
#include "common/BackgroundWork.h"
#include "bitmap/DibSection.h"
#include "controls/ButtonControls.h"
#include "controls/ComboBoxValue.h"
#include "controls/EditWantReturn.h"
#include "controls/MillimetreConverter.h"
#include "errors/Msg.h"
#include "printing/dialogs/AssemblyGroup.h"
#include "printing/dialogs/FitImageToPagePreview.h"
#include "printing/PageSetting.h"
#include "printing/dialogs/PageSetupPaper.h"

#include <gtkmm/builder.h>
#include <gtkmm/button.h>
#include <gtkmm/comboboxtext.h>
#include <gtkmm/dialog.h>
#include <gtkmm/drawingarea.h>
#include <gtkmm/entry.h>
#include <gtkmm/label.h>
#include <gtkmm/radiobutton.h>

#include <glibmm/dispatcher.h>

#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <stop_token>
#include <thread>

// What a capture hands the page setup dialog: the bitmap itself, or the rest
// of the work that makes it (turning the rendered page into the bitmap),
// which the dialog runs on a worker thread so that it stays responsive.
struct CPreviewCapture {
    CPreviewCapture(CDibSectionPtr bitmap = {}) : dib(std::move(bitmap)) {}
    // `finish` and `shows` run on a worker thread: they must own what they
    // use. `shows` tells, before any bitmap is made, whether the capture is
    // the bitmap shown, so that a page that stays the same costs no bitmap.
    static CPreviewCapture Later(std::function<CDibSectionPtr()> finish,
                                 std::function<bool(const CDibSection&, std::stop_token)> shows = {})
    {
        CPreviewCapture capture;
        capture.finish = std::move(finish);
        capture.shows = std::move(shows);
        return capture;
    }

    CDibSectionPtr dib;
    std::function<CDibSectionPtr()> finish;
    std::function<bool(const CDibSection&, std::stop_token)> shows;
};

// The page setup dialog (144, "ページ設定"): printer, paper, source,
// orientation and margins; how the capture is spread over sheets (fit to
// N x M sheets or a fixed DPI); a live preview of the sheets with the map on
// them, captured once a second; and a button that resizes the browser so
// that its capture fills the chosen sheets. It edits its own copies; the
// caller takes them after OK.
class CPageSetupDlg {
public:
    enum : int {
        IDC_PRINTER = 163, IDC_PAPER = 1137, IDC_SOURCE = 1138, IDC_PORTRAIT = 1056, IDC_LANDSCAPE = 1057,
        IDC_FIT = 156, IDC_DPI_TYPE = 157, IDC_ACROSS = 158, IDC_DOWN = 159, IDC_DPI = 160, IDC_RESIZE = 161,
        IDC_PREVIEW = 162,
    };
    // The end of a capture of the kept area: the capture, or the program's
    // exception (its finishing work may raise one too).
    using CaptureDone = std::function<void(CPreviewCapture capture, std::exception_ptr error)>;
    // Starts a capture of the kept area; `done` is called once, later from
    // the main loop or at once. Cancelling `cancellable` asks a capture still
    // under way to end; the dialog drops a result that comes after.
    using CaptureFunction = std::function<void(GCancellable* cancellable, CaptureDone done)>;
    // Gives the browser a new kept-area size at once (button 161).
    using ResizeFunction = std::function<void(const CSize& captureSize)>;

    CPageSetupDlg(const CPageSetupPaper& paper, const CFitImageToPageSetting& setting, CaptureFunction capture,
                  ResizeFunction resize, qvn::CMsg* msg = nullptr);
    ~CPageSetupDlg();
    CPageSetupDlg(const CPageSetupDlg&) = delete;
    CPageSetupDlg& operator=(const CPageSetupDlg&) = delete;

    // Runs modally over `parent` (may be null): IDOK or IDCANCEL.
    int DoModal(Gtk::Window* parent);

    const CPageSetupPaper& Paper() const { return m_paper; }
    const CFitImageToPageSetting& PageSetting() const { return m_setting; }
    // The assembly aids: given before DoModal, edited by the group "貼り合わせ".
    void SetAssembly(const CAssemblySetting& assembly) { m_assembly = assembly; }
    const CAssemblySetting& Assembly() const { return m_assembly; }
    CFitImageToPagePreview& Preview() { return m_preview; }
    Gtk::Dialog& Dialog() { return *m_dialog; }
    Gtk::Widget& Control(int id);
    // How many captures the timer has taken so far, and whether one is
    // under way (waiting for WebKit, or being finished and compared).
    int Captures() const { return m_captures; }
    // How many times the timer has fired, skipped ticks included.
    int Ticks() const { return m_ticks; }
    bool CaptureRunning() const { return m_capturing; }

    // The bound values.
    int GetFitType() const { return m_setting.fitType; }
    void SetFitType(int value) { m_setting.fitType = value == DPI ? DPI : FIT; }
    int GetAcross() const { return m_setting.papers.cx; }
    void SetAcross(int value) { m_setting.papers.cx = value; }
    int GetDown() const { return m_setting.papers.cy; }
    void SetDown(int value) { m_setting.papers.cy = value; }
    int GetDpi() const { return m_setting.dpi; }
    void SetDpi(int value) { m_setting.dpi = value; }
    int GetMarginLeft() const { return m_paper.Margin().left; }
    void SetMarginLeft(int value) { SetMarginSide(&CRect::left, value); }
    int GetMarginTop() const { return m_paper.Margin().top; }
    void SetMarginTop(int value) { SetMarginSide(&CRect::top, value); }
    int GetMarginRight() const { return m_paper.Margin().right; }
    void SetMarginRight(int value) { SetMarginSide(&CRect::right, value); }
    int GetMarginBottom() const { return m_paper.Margin().bottom; }
    void SetMarginBottom(int value) { SetMarginSide(&CRect::bottom, value); }

private:
    void InitDialog();
    void FillPrinters();
    void FillPaper();
    void OnPrinterChanged();
    void OnPaperChanged();
    void OnSourceChanged();
    void OnOrientationChanged();
    void OnMarginChanged();
    void OnMarginTyped(size_t box, int32_t CRect::*side);
    void OnFitType();
    void OnRefresh();
    void OnResize();
    bool OnTimer();
    // The margins and the enabled boxes with their errors shown; true when
    // all are valid.
    bool Validate();
    void UpdateBitmap();
    // The worker's end of a capture: the bitmap made and compared with the
    // one shown.
    struct CFinished {
        CDibSectionPtr dib;
        CDibSectionPtr comparedWith;
        bool same = false;
        std::exception_ptr error;
    };
    // The worker's part: the bitmap made, then compared with the one shown,
    // so that the user-interface thread has only to show it or drop it.
    static CFinished Finish(CPreviewCapture capture, CDibSectionPtr shown, std::stop_token stop);
    void OnCaptured(CPreviewCapture capture, std::exception_ptr error);
    void StartFinishing(CPreviewCapture capture);
    void OnFinished(CFinished finished);
    // Cancels the capture under way and the worker's part; what they make
    // is dropped.
    void StopFinishing();
    void ShowCaptureError(const std::exception_ptr& error);
    void UpdatePaper();
    void SetMarginSide(int32_t CRect::*side, int value);

    qvn::CMsg* m_msg;
    CPageSetupPaper m_paper;
    CFitImageToPageSetting m_setting;
    CaptureFunction m_capture;
    ResizeFunction m_resize;

    Glib::RefPtr<Gtk::Builder> m_builder;
    std::unique_ptr<Gtk::Dialog> m_dialog;
    Gtk::ComboBoxText* m_printers = nullptr;
    Gtk::ComboBoxText* m_papers = nullptr;
    Gtk::ComboBoxText* m_sources = nullptr;
    Gtk::RadioButton* m_portrait = nullptr;
    Gtk::RadioButton* m_landscape = nullptr;

    CRadioGroupInt<CPageSetupDlg> m_fitGroup;
    CComboBoxInt<CPageSetupDlg> m_acrossBox;
    CComboBoxInt<CPageSetupDlg> m_downBox;
    CComboBoxInt<CPageSetupDlg> m_dpiBox;
    CEditWantReturn<CPageSetupDlg, CMillimetreConverter> m_marginBoxes[4];
    CAssemblyGroup m_assemblyGroup;
    CAssemblySetting m_assembly;
    CFitImageToPagePreview m_preview;

    sigc::connection m_timer;
    std::vector<sigc::connection> m_connections;
    bool m_filling = false;
    bool m_capturing = false;
    bool m_captureErrorShown = false;
    // Button 161 was pressed before the preview had a capture.
    bool m_resizeWhenCaptured = false;
    int m_captures = 0;
    int m_ticks = 0;
    // The capture under way: its cancellable, and the number that its
    // result must still carry to be taken.
    GCancellable* m_captureCancel = nullptr;
    std::shared_ptr<int> m_captureNumber = std::make_shared<int>(0);

    CBackgroundWork<CFinished> m_finishing;  // last: cancelled before the rest goes
};
