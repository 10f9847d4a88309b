#include "shell/CommandPageSetup.h"

#include "common/ActiveWindow.h"
#include "errors/Exception.h"
#include "printing/devices/PrinterChoice.h"
#include "printing/job/QuorvaThread.h"
#include "settings/Setting.h"

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
