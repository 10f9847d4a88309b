#include "shell/CommandPageSetup.h"

#include "bitmap/DibSection.h"
#include "browser/Capture.h"
#include "controls/ActiveWindow.h"
#include "errors/Exception.h"
#include "printing/job/TaskPrinterChoice.h"
#include "printing/job/QuorvaThread.h"
#include "settings/Setting.h"

CPageSetupDlg::CaptureFunction PreviewCaptureOf(CQuorvaScrollView& view, std::function<bool()> waits)
{
    return [&view, waits = std::move(waits)](GCancellable* cancellable, CPageSetupDlg::CaptureDone done) {
        const CSettleRule rule = waits && waits() ? CSettleRule{} : kCaptureNoWait;
        CaptureAsync(view, {rule, kCaptureTimeLimit, CBitmapReady::WhenConverted, true}, cancellable,
                     [done = std::move(done)](CCaptureOutcome outcome) {
                         if (outcome.error) {
                             done({}, outcome.error);
                             return;
                         }
                         std::shared_ptr<CRenderedCapture> rendered = std::move(outcome.rendered);
                         done(CPreviewCapture::Later([rendered] { return rendered->Convert(); },
                                                     [rendered](const CDibSection& shown, std::stop_token stop) {
                                                         return rendered->Shows(shown, stop);
                                                     }),
                              nullptr);
                     });
    };
}

CCommandPageSetup::CCommandPageSetup(qvn::CMsg* msg, CSetting& setting, CQuorvaThread& thread,
                                     CPageSetupDlg::CaptureFunction capture, CPageSetupDlg::ResizeFunction resize)
    : CCommand(msg), m_setting(setting), m_thread(thread), m_capture(std::move(capture)), m_resize(std::move(resize))
{
}

void CCommandPageSetup::Execute(bool execute)
{
    if (!execute)
        return;
    // A running job keeps the printer and paper it started with; the
    // selection changed here is the next job's.
    CQuorvaTask& task = *m_thread.Task();
    const std::optional<CDevMode> devMode = task.CopyDevMode();
    // Without a printer (none could be opened) the dialog still runs, on the
    // last printer's paper, so that another printer can be chosen.
    const bool printer = task.Printer() && devMode;
    CPageSetupDlg dialog(CPageSetupPaper(printer ? task.Printer() : nullptr,
                                         printer ? *devMode : PaperWithoutPrinter(m_setting.printerChoice),
                                         m_setting.pageSetting.margin),
                         m_setting.pageSetting, m_capture, m_resize, Msg());
    dialog.SetAssembly(m_setting.pageSetting.assembly);
    if (dialog.DoModal(ActiveWindow()) != IDOK)
        return;

    const CPageSetupPaper& paper = dialog.Paper();
    static_cast<CFitImageToPageSetting&>(m_setting.pageSetting) = dialog.PageSetting();
    m_setting.pageSetting.margin = paper.Margin();
    m_setting.pageSetting.assembly = dialog.Assembly();
    // Still no printer: the last choice is kept, to be tried again.
    if (!paper.Printer())
        return;
    task.ReplaceDevMode(paper.DevMode());
    task.ReopenPrinter({paper.Printer()->Name()});
    m_setting.printerChoice = PrinterChoiceOf(task);
}
