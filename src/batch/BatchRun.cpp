#include "batch/BatchRun.h"

#include "common/AtomicFile.h"
#include "common/PhaseLog.h"
#include "errors/ErrorRecord.h"
#include "errors/ProgramMessages.h"
#include "errors/Exception.h"
#include "errors/MessageFormat.h"
#include "errors/StringTable.h"
#include "imaging/Img.h"
#include "imaging/ImgSaver.h"
#include "printing/poster/PosterGeometry.h"
#include "printing/job/PrintEndDispatcher.h"
#include "printing/job/TaskPrinterChoice.h"
#include "printing/devices/PrinterSettings.h"
#include "printing/job/QuorvaThread.h"
#include "settings/SettingStore.h"
#include "batch/BatchPage.h"
#include "batch/CommandLine.h"
#include "batch/ExitStatus.h"

#include <gtkmm.h>

#include <unistd.h>

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <memory>
#include <mutex>
#include <thread>

namespace {

// Answers every question of the settings reader with "no", so that a file
// it cannot read is left out rather than asked about.
class CNoQuestions : public qvn::CMsg {
public:
    int ShowText(const std::string&, unsigned) override { return 0; }
};

// The printer, paper and orientation last chosen in the page setup dialog,
// when the settings file holds them and the run names no other printer;
// nothing else is taken from the file.
void ApplyStoredPrinterChoice(CQuorvaTask& task, const std::string& printer)
{
    CSetting stored;
    CNoQuestions quiet;
    if (LoadSettings(stored, quiet, DefaultSettingLocation().Path()) && stored.printerChoice &&
        (printer.empty() || printer == stored.printerChoice->printer))
        ApplyPrinterChoice(task, *stored.printerChoice);
}

// The printer of a --print run, chosen and checked before the page loads.
class CBatchPrint {
public:
    explicit CBatchPrint(const CCommandLine& options) : m_options(options)
    {
        // A job that this run waits for need not give way to other work.
        m_thread.SetPriority(THREAD_PRIORITY_NORMAL);
        CQuorvaTask& task = *m_thread.Task();
        ApplyStoredPrinterChoice(task, options.printer);
        if (!options.printer.empty() && (!task.Printer() || task.Printer()->Name() != options.printer))
            task.ReopenPrinter(CDevNames{options.printer});
        if (!task.Printer() || (!options.printer.empty() && task.Printer()->Name() != options.printer))
            throw CBatchFailure{kExitPrint, FormatMessageText(58975)};
        // The default destination may turn out to be "PDF", which needs a file.
        if (task.PrintsToFile() && options.output.empty())
            throw CBatchFailure{kExitUsage, FormatMessageText(IDS_CL_USAGE_ERROR, {LoadString(IDS_CL_PDF_NEEDS_OUTPUT)})};
        try {
            const std::optional<int16_t> landscape =
                options.landscape ? std::optional<int16_t>(DMORIENT_LANDSCAPE) : std::nullopt;
            task.ReplaceDevMode(
                MakePrinterSettings(*task.Printer(), task.CopyDevMode(), {options.paper, true, landscape, {}}));
        } catch (...) {
            // A paper the printer does not have is a wrong command line,
            // found before anything is loaded.
            const CSimpleErr err = CurrentErrorRecord();
            throw CBatchFailure{err.msgId == IDS_BATCH_NO_SUCH_PAPER ? kExitUsage : kExitPrint, err.text};
        }
    }

    void Print(const CDibSectionPtr& dib, const std::string& title, BatchClock::time_point deadline)
    {
        CQuorvaTask& task = *m_thread.Task();
        try {
            const CPageGrid grid = task.CalcPagesForPrinter(m_options.pageSetting, {dib->Width(), dib->Height()});
            CheckPosterSheets(grid);
        } catch (...) {
            throw CBatchFailure{kExitPrint, CurrentErrorRecord().text};
        }
        CPrintJob job;
        job.dib = dib;
        job.docName = LoadString(165) + title;
        job.pageSetting = m_options.pageSetting;
        job.outputFile = m_options.output;
        bool ended = false;
        CPrintEndDispatcher end(m_thread, [&] { ended = true; });
        if (!m_thread.Start(task.MakeJob(std::move(job))))
            throw CBatchFailure{kExitPrint, my::CException(58976, m_thread.StartError()).Err().text};
        if (!RunMainLoopUntil([&] { return ended; }, deadline)) {
            // The job stops at its next page and leaves no file or job behind.
            m_thread.Terminate(true);
            m_thread.Wait(INFINITE);
            throw CBatchFailure{kExitPrint, {}};
        }
        m_thread.Wait(INFINITE);
        if (task.HasErr())
            throw CBatchFailure{kExitPrint, task.GetErr().text};
    }

private:
    const CCommandLine& m_options;
    CQuorvaThread m_thread;
};

// The rendered page is turned into the image where it lies, when its memory
// allows, instead of into a second full-size bitmap.
std::shared_ptr<const CImg> ImageToSave(CRenderedCapture& rendered)
{
    try {
        if (std::shared_ptr<CImg> image = rendered.ConvertInPlace()) {
            MarkPhase("conversion in place");
            return image;
        }
        std::shared_ptr<CImg> image = MakeImgFromDib(rendered.Convert());
        MarkPhase("conversion to bitmap");
        return image;
    } catch (const my::CException& e) {
        throw CBatchFailure{kExitCapture, e.what()};
    }
}

void Save(const CImg& image, const CCommandLine& options)
{
    try {
        wic::CImgSaver saver;
        saver.container = options.container;
        if (options.saveFile == kStandardOutputName) {
            CAtomicFile out(STDOUT_FILENO, LoadString(IDS_STANDARD_OUTPUT));
            saver.SaveTo(image, out);
        } else {
            saver.Save(image, options.saveFile);
        }
    } catch (...) {
        throw CBatchFailure{kExitWrite, CurrentErrorRecord().text};
    }
}

// Whatever blocks (a FIFO that nobody reads, a printer that does not answer),
// the run ends soon after --timeout: the waits above end it at the deadline,
// this a little later when one of them could not.
class CBatchWatchdog {
public:
    CBatchWatchdog(BatchClock::time_point deadline, int seconds)
        : m_thread([this, deadline, seconds] {
              std::unique_lock<std::mutex> lock(m_mutex);
              if (m_cv.wait_until(lock, deadline + std::chrono::seconds(5), [this] { return m_stopped; }))
                  return;
              // Holding the lock: a message of the run itself cannot follow.
              std::fprintf(stderr, "quorvane: %s\n", FormatMessageText(IDS_BATCH_GAVE_UP, {std::to_string(seconds)}).c_str());
              std::fflush(stderr);
              _exit(m_status.load());
          })
    {
    }
    ~CBatchWatchdog()
    {
        Stop();
        m_thread.join();
    }
    // The status the run ends with if the step now starting never returns.
    void Step(int status) { m_status = status; }
    void Stop()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_stopped = true;
        }
        m_cv.notify_one();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_stopped = false;
    std::atomic<int> m_status{kExitLoad};
    std::thread m_thread;  // last: starts once the rest exists
};

int Report(const CBatchFailure& failure, const CCommandLine& options)
{
    std::string text = failure.text;
    if (text.empty())
        text = BatchInterrupted() ? FormatMessageText(58725)
                                  : FormatMessageText(IDS_BATCH_GAVE_UP, {std::to_string(options.timeoutSeconds)});
    std::fprintf(stderr, "quorvane: %s\n", text.c_str());
    return failure.status;
}

}  // namespace

int RunBatch(const CCommandLine& options)
{
    MarkPhase("options read");
    const BatchClock::time_point deadline = BatchClock::now() + std::chrono::seconds(options.timeoutSeconds);
    // The device scale of every window, the browser's among them: WebKit
    // then draws text, images and WebGL at full resolution.
    if (options.scale > 1)
        g_setenv("GDK_SCALE", std::to_string(options.scale).c_str(), TRUE);
    // The caller has set the locale and kept GTK from setting it again.
    if (!gtk_init_check(nullptr, nullptr)) {
        std::fprintf(stderr, "%s\n", LoadString(IDS_BATCH_NO_DISPLAY).c_str());
        return kExitNoStart;
    }
    auto app = Gtk::Application::create("org.brackwater.Quorvane", Gio::APPLICATION_NON_UNIQUE);
    if (!app->register_application()) {
        std::fprintf(stderr, "quorvane: %s\n", FormatMessageText(58721, {"g_application_register"}).c_str());
        return kExitNoStart;
    }
    MarkPhase("GTK ready");
    StopBatchOnSignals();
    CBatchWatchdog watchdog(deadline, options.timeoutSeconds);
    std::unique_ptr<CBatchPage> page;
    try {
        std::unique_ptr<CBatchPrint> print;
        watchdog.Step(options.mode == CCommandLine::Mode::Print ? kExitPrint : kExitLoad);
        if (options.mode == CCommandLine::Mode::Print)
            print = std::make_unique<CBatchPrint>(options);
        page = std::make_unique<CBatchPage>(options);
        gchar* cwd = g_get_current_dir();
        const std::string url = CommandLineUrl(options.url, cwd);
        g_free(cwd);
        watchdog.Step(kExitLoad);
        page->Load(url, deadline);
        watchdog.Step(kExitCapture);
        std::unique_ptr<CRenderedCapture> rendered = page->Capture(deadline);
        if (BatchInterrupted())
            throw CBatchFailure{kExitCapture, {}};
        const std::string title = page->Title();
        // Nothing more is wanted from the page: its memory is better given
        // back before the image is converted and written.
        page->EndWebProcess();
        MarkPhase("web process ended");
        if (print) {
            watchdog.Step(kExitPrint);
            CDibSectionPtr dib;
            try {
                dib = rendered->Convert();
            } catch (const my::CException& e) {
                throw CBatchFailure{kExitCapture, e.what()};
            }
            rendered.reset();
            MarkPhase("conversion");
            print->Print(dib, title, deadline);
        } else {
            const std::shared_ptr<const CImg> image = ImageToSave(*rendered);
            rendered.reset();
            watchdog.Step(kExitWrite);
            Save(*image, options);
        }
    } catch (const CBatchFailure& failure) {
        watchdog.Stop();
        // A web process still busy with the page (a script that never ends)
        // is ended now, so that the one message above is all the run says.
        if (page)
            page->EndWebProcess();
        return Report(failure, options);
    }
    // The file is complete (or the job handed over and joined). Taking the
    // web view and its processes down in order would add a good part of a
    // second to every scripted run; they end by themselves once this process
    // has gone.
    std::fflush(nullptr);
    _exit(kExitDone);
}
