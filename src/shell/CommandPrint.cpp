#include "shell/CommandPrint.h"

#include "controls/ActiveWindow.h"
#include "errors/Exception.h"
#include "errors/MessageFormat.h"
#include "errors/ProgramMessages.h"
#include "errors/StringTable.h"
#include "printing/poster/PosterGeometry.h"
#include "printing/dialogs/PrintDlg.h"
#include "printing/job/PrintJobControl.h"
#include "printing/job/TaskPrinterChoice.h"
#include "printing/job/QuorvaThread.h"
#include "printing/job/PrintJob.h"
#include "settings/Setting.h"

#include <gtkmm/filechooserdialog.h>

namespace {

// A file name from the page title, without characters that file systems refuse.
std::string FileNameFor(const std::string& title)
{
    std::string name = title.empty() ? "Quorvane" : title;
    for (char& c : name)
        if (c == '/' || c == '\\' || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' || c == '>' ||
            c == '|' || static_cast<unsigned char>(c) < 0x20)
            c = '_';
    return name + ".pdf";
}

}  // namespace

int RunPrintDialog(int totalPages, CSimplePrintSetting& setting, qvn::CMsg* msg, const std::string& destination,
                   int maxCopies)
{
    CPrintDlg dialog(msg);
    dialog.SetMaxCopies(maxCopies);
    dialog.SetDestinationText(destination);
    dialog.SetTotalPages(totalPages);
    dialog.SetPrintSetting(setting);
    const int result = dialog.DoModal(ActiveWindow());
    if (result == IDOK)
        setting = dialog.PrintSetting();
    return result;
}

std::optional<std::string> AskPdfOutputFile(const std::string& suggestedName, qvn::CMsg* msg)
{
    Gtk::FileChooserDialog chooser(LoadString(58984), Gtk::FILE_CHOOSER_ACTION_SAVE);
    if (Gtk::Window* parent = ActiveWindow())
        chooser.set_transient_for(*parent);
    chooser.add_button(LoadString(kTextCancel), IDCANCEL);
    chooser.add_button(LoadString(kTextSave), IDOK);
    chooser.set_default_response(IDOK);
    auto filter = Gtk::FileFilter::create();
    filter->set_name(LoadString(58985));
    filter->add_pattern("*.pdf");
    filter->add_pattern("*.PDF");
    chooser.add_filter(filter);
    chooser.set_current_name(suggestedName);
    while (chooser.run() == IDOK) {
        std::string path = chooser.get_filename();
        if (path.empty())
            continue;
        if (!msg || msg->ConfirmOverwriteIfExists(path))
            return path;
    }
    return std::nullopt;
}

CCommandPrint::CCommandPrint(qvn::CMsg* msg, CSetting& setting, CQuorvaThread& thread, CaptureFunction capture,
                             TitleFunction title)
    : CCommand(msg), m_setting(setting), m_thread(thread), m_capture(std::move(capture)), m_title(std::move(title))
{
    m_dialog = [this, msg](int total, CSimplePrintSetting& s) {
        return RunPrintDialog(total, s, msg, m_destination, m_maxCopies);
    };
    m_outputFile = [msg](const std::string& name) { return AskPdfOutputFile(name, msg); };
}

void CCommandPrint::Execute(bool execute)
{
    if (!execute)
        return;
    const CDibSectionPtr dib = m_capture();
    if (!dib)
        throw my::CException(58721, {"CCommandPrint::Execute\nm_dib is NULL"});

    // A poster that cannot be printed is refused before the running job is
    // put in question.
    if (m_thread.IsRunning()) {
        std::optional<CPageGrid> grid;
        try {
            grid = m_thread.Task()->CalcPagesForPrinter(m_setting.pageSetting, {dib->Width(), dib->Height()});
        } catch (const my::CException&) {
            // The printer is looked at again once the job has stopped.
        }
        if (grid)
            CheckPosterSheets(*grid);
    }
    // A running job is only asked to stop: this job starts after its end.
    if (!AskToStopPrinting(m_thread, *Msg()))
        return;
    // The selection is the main loop's own; a running job has its copy.
    CQuorvaTask& task = *m_thread.Task();
    task.RetryUnavailablePrinter();

    const CPageGrid grid = task.CalcPagesForPrinter(m_setting.pageSetting, {dib->Width(), dib->Height()});
    // Said now, before the dialog: the job itself could only fail.
    CheckPosterSheets(grid);
    m_destination = PrintDestinationText(task);
    m_maxCopies = task.Printer() ? task.Printer()->MaxCopies() : kDefaultMaxCopies;
    CSimplePrintSetting printSetting = m_setting.printSetting;
    if (m_dialog(PosterPageCount(grid, m_setting.pageSetting.assembly), printSetting) != IDOK)
        return;
    m_setting.printSetting = printSetting;

    std::string title;
    const bool hasTitle = m_title && m_title(title);
    CPrintJob job;
    job.dib = dib;
    job.docName = LoadString(165) + (hasTitle ? title : std::string());
    job.printSetting = printSetting;
    job.pageSetting = m_setting.pageSetting;
    if (task.PrintsToFile()) {
        const std::optional<std::string> file = m_outputFile(FileNameFor(hasTitle ? title : std::string()));
        if (!file)
            return;
        job.outputFile = *file;
    }
    m_waiting = task.MakeJob(std::move(job));
    if (!m_thread.IsRunning())
        StartWaitingJob();
}

void CCommandPrint::StartWaitingJob()
{
    if (!m_waiting || m_thread.IsRunning())
        return;
    const CPrintJobPtr job = std::exchange(m_waiting, nullptr);
    // No worker, no job: said now, as a job that fails to start is.
    if (!m_thread.Start(job))
        throw my::CException(58976, m_thread.StartError());
    if (m_started)
        m_started();
}

void CCommandPrint::OnPrintEnded()
{
    const CSimpleErr err = RunGuarded([this] { StartWaitingJob(); });
    if (err.Failed())
        Msg()->ShowError(err);
}
