#pragma once
#include "bitmap/DibSection.h"
#include "browser/Capture.h"
#include "browser/QuorvaScrollView.h"
#include "settings/Setting.h"
#include "batch/BatchFailure.h"

#include <gtkmm/offscreenwindow.h>

#include <functional>
#include <memory>
#include <string>

struct CCommandLine;

// The page of a batch run: the browser held at the command line's size and
// trims in a window that never appears on the screen.
class CBatchPage {
public:
    explicit CBatchPage(const CCommandLine& options);

    // Loads the URL and waits until the page has finished loading. Raises
    // CBatchFailure with the load status when the browser refuses the URL,
    // the page cannot be loaded or the server answers with an error; with
    // an empty text when the deadline passes or the run is interrupted.
    void Load(const std::string& url, BatchClock::time_point deadline);
    // The kept area as WebKit rendered it, once the page is finished (and
    // the command line's --delay and --wait-for are met), to be turned into
    // the bitmap or the image to write; CBatchFailure with the capture status
    // on failure (an empty text when the deadline passes), the load status
    // when --wait-for fails or is not met in time.
    std::unique_ptr<CRenderedCapture> Capture(BatchClock::time_point deadline);
    // Ends the page's web process, and with it the memory of its rendered
    // layers, once nothing more is wanted from the page.
    void EndWebProcess();
    // The page title; empty when it has none.
    std::string Title();

private:
    void WaitForCommandLine(BatchClock::time_point deadline);
    // True when the --wait-for expression is true in the page now.
    bool WaitForIsTrue(BatchClock::time_point deadline);

    const CCommandLine& m_options;
    CSetting m_setting;
    CQuorvaScrollView m_view;
    Gtk::OffscreenWindow m_window;
};

// Runs the main loop until `done` answers true; false when the deadline
// comes first or the run has been interrupted. `done` is asked after every
// event, and every `every` when that is given.
bool RunMainLoopUntil(const std::function<bool()>& done, BatchClock::time_point deadline,
                      std::chrono::milliseconds every = std::chrono::milliseconds(1000));

// Ctrl+C, SIGTERM and SIGHUP end the wait for the page or the print job
// rather than the process, so that nothing is left half-written.
void StopBatchOnSignals();
bool BatchInterrupted();
