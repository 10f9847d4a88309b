#pragma once
#include "bitmap/DibSection.h"
#include "printing/job/PrintJob.h"
#include "printing/PrintSetting.h"
#include "printing/devices/Printers.h"
#include "shell/Command.h"

#include <functional>
#include <optional>
#include <string>

class CSetting;
class CQuorvaThread;
namespace Gtk { class Window; }

// Print (57607): captures the kept area, asks a running job to stop if the
// user agrees, asks which pages, copies and collation, and starts the print
// thread on the job, or, while the stopped job is still ending, keeps the
// job until its end notice (OnPrintEnded). The job runs in the background;
// EndPrint reports its end.
class CCommandPrint : public CCommand {
public:
    using CaptureFunction = std::function<CDibSectionPtr()>;
    // The browser's page title; false when it has none.
    using TitleFunction = std::function<bool(std::string& title)>;
    // Runs the print dialog with the page count and a copy of the setting,
    // which it edits: IDOK or IDCANCEL.
    using PrintDialogFunction = std::function<int(int totalPages, CSimplePrintSetting& setting)>;
    // Asks for the file the "PDF" destination writes; nothing when cancelled.
    using OutputFileFunction = std::function<std::optional<std::string>(const std::string& suggestedName)>;

    CCommandPrint(qvn::CMsg* msg, CSetting& setting, CQuorvaThread& thread, CaptureFunction capture,
                  TitleFunction title);
    void Execute(bool execute) override;

    // The defaults run the real dialogs over the active window.
    void SetPrintDialog(PrintDialogFunction dialog) { m_dialog = std::move(dialog); }
    void SetOutputFileDialog(OutputFileFunction dialog) { m_outputFile = std::move(dialog); }
    // Runs when the worker has been started with a new job.
    void SetOnJobStarted(std::function<void()> started) { m_started = std::move(started); }
    // A job has ended (its notice has been reported): starts the job that
    // waited for it, if any; a failure to start is shown.
    void OnPrintEnded();
    // A job waits for the stopped one to end.
    bool HasWaitingJob() const { return m_waiting != nullptr; }

private:
    CSetting& m_setting;
    CQuorvaThread& m_thread;
    CaptureFunction m_capture;
    TitleFunction m_title;
    PrintDialogFunction m_dialog;
    OutputFileFunction m_outputFile;
    std::string m_destination;
    int m_maxCopies = kDefaultMaxCopies;
    std::function<void()> m_started;
    CPrintJobPtr m_waiting;

    void StartWaitingJob();
};

// The print dialog over the active window.
int RunPrintDialog(int totalPages, CSimplePrintSetting& setting, qvn::CMsg* msg, const std::string& destination = {},
                   int maxCopies = kDefaultMaxCopies);
// The save dialog for the "PDF" destination's file, over the active window;
// an existing file is replaced only when the user agrees (58704).
std::optional<std::string> AskPdfOutputFile(const std::string& suggestedName, qvn::CMsg* msg);
