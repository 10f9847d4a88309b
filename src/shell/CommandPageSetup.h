#pragma once
#include "printing/dialogs/PageSetupDlg.h"
#include "shell/Command.h"

class CSetting;
class CQuorvaThread;

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
