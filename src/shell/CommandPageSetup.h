#pragma once
#include "printing/dialogs/PageSetupDlg.h"
#include "shell/Command.h"

class CSetting;
class CQuorvaThread;
class CQuorvaScrollView;

// The page setup preview's capture of `view`. Only a capture for which
// `waits` answers true waits for the page to be finished (the dialog's
// first), so that a page that never settles costs the limit once. The
// rendered page is compared with the preview's bitmap and, when it differs,
// turned into a bitmap of its own on the dialog's worker.
CPageSetupDlg::CaptureFunction PreviewCaptureOf(CQuorvaScrollView& view, std::function<bool()> waits);

// Page setup (57605): runs the page setup dialog over the active window with
// the print task's printer and paper and the settings' page setting. OK
// gives the printer, paper, orientation and source to the print task and
// keeps them in the settings with the page setting and the margins; Cancel
// changes nothing (a browser size already changed by the dialog's button
// stays).
class CCommandPageSetup : public CCommand {
public:
    CCommandPageSetup(qvn::CMsg* msg, CSetting& setting, CQuorvaThread& thread,
                      CPageSetupDlg::CaptureFunction capture, CPageSetupDlg::ResizeFunction resize);
    void Execute(bool execute) override;

private:
    CSetting& m_setting;
    CQuorvaThread& m_thread;
    CPageSetupDlg::CaptureFunction m_capture;
    CPageSetupDlg::ResizeFunction m_resize;
};
