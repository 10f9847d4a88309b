// The page setup dialog at a large browser: while its timer captures once a
// second, how long the main loop is ever kept from running (a 5 ms ticker
// measures the gaps), and how much memory the dialog holds beyond the page
// itself. Two runs: a page that stays the same (captures compared and
// dropped) and one that changes every time (each capture shown and painted).
// Each is run twice: with the rendered page turned into the bitmap on the
// dialog's worker thread, as the program does, and on the main loop inside
// the capture, as it once was (the compare stays on the worker). "stall" is
// the longest of all, "opening" the longest until the preview has its first
// capture (the dialog shown, the first wait for the page), "steady" the
// longest after that, while the timer captures. "held" is sampled by the ticker,
// so it misses what lives only while the main loop is kept from running;
// "peak" is the kernel's high-water mark. The dialog opens once the page has
// been displayed, as it does for a user; the stall of that first display is
// printed on a line of its own.
//
//   xvfb-run -a -s "-screen 0 1920x1080x24" build/bench/bench_page_setup [WxH] [seconds]
#include "bitmap/DibSection.h"
#include "browser/Capture.h"
#include "browser/QuorvaScrollView.h"
#include "errors/Msg.h"
#include "printing/dialogs/PageSetupDlg.h"
#include "settings/Setting.h"

#include <gtkmm.h>
#include <webkit2/webkit2.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

bool RunUntil(const std::function<bool()>& done, double seconds)
{
    const auto deadline = Clock::now() + std::chrono::duration<double>(seconds);
    while (!done()) {
        if (Clock::now() > deadline)
            return false;
        if (!g_main_context_iteration(nullptr, FALSE))
            g_usleep(1000);
    }
    return true;
}

// Kilobytes of a /proc/self/status field (VmRSS, VmHWM).
long StatusKb(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    const size_t length = std::strlen(field);
    while (std::getline(status, line))
        if (line.compare(0, length, field) == 0 && line[length] == ':')
            return std::stol(line.substr(length + 1));
    return -1;
}

struct Result {
    double longestStallMs = 0, openingStallMs = 0, steadyStallMs = 0;
    int captures = 0, paints = 0;
    double heldMb = 0, peakMb = 0;
};

Result RunDialog(CQuorvaScrollView& view, double seconds, bool changing, bool onWorker)
{
    Result r;
    const long baseline = StatusKb("VmRSS");
    std::ofstream("/proc/self/clear_refs") << "5";  // VmHWM starts again from here
    int captures = 0;
    CPageSetupDlg dialog(
        CPageSetupPaper(CPrinter::Open(kPdfPrinterName), CPrinter::Open(kPdfPrinterName)->DefaultDevMode(),
                        {1000, 1000, 1000, 1000}),
        CFitImageToPageSetting{},
        // As the program captures the preview: without a loop of its own.
        [&](GCancellable* cancellable, CPageSetupDlg::CaptureDone done) {
            const auto t = Clock::now();
            const CCaptureRequest request{
                {}, kCaptureTimeLimit, onWorker ? CBitmapReady::WhenConverted : CBitmapReady::WhileRendering, true};
            CaptureAsync(view, request, cancellable, [&, t, done](CCaptureOutcome outcome) {
                if (outcome.error) {
                    done({}, outcome.error);
                    return;
                }
                std::shared_ptr<CRenderedCapture> rendered = std::move(outcome.rendered);
                const int n = ++captures;
                if (std::getenv("QV_BENCH_VERBOSE"))
                    std::fprintf(stderr, "capture %.0f ms\n",
                                 std::chrono::duration<double, std::milli>(Clock::now() - t).count());
                // A map that moves between captures: every capture differs.
                auto finish = [rendered, changing, n] {
                    CDibSectionPtr dib = rendered->Convert();
                    if (changing && dib)
                        dib->Bits()[0] = static_cast<uint8_t>(n);
                    return dib;
                };
                // As the program does: compared with the bitmap shown before
                // one is made.
                if (onWorker)
                    done(CPreviewCapture::Later(finish,
                                                [rendered](const CDibSection& shown, std::stop_token stop) {
                                                    return rendered->Shows(shown, stop);
                                                }),
                         nullptr);
                else
                    done(finish(), nullptr);
            });
        },
        nullptr);

    auto last = Clock::now();
    bool measuring = false, shown = false;
    long held = 0;
    sigc::connection ticker = Glib::signal_timeout().connect(
        [&] {
            const auto now = Clock::now();
            if (measuring) {
                const double stall = std::chrono::duration<double, std::milli>(now - last).count() - 5;
                r.longestStallMs = std::max(r.longestStallMs, stall);
                double& longest = shown ? r.steadyStallMs : r.openingStallMs;
                longest = std::max(longest, stall);
                if (stall > 100 && std::getenv("QV_BENCH_VERBOSE"))
                    std::fprintf(stderr, "stall %.0f ms (captures so far %d%s, VmRSS %ld MB)\n", stall, captures,
                                 shown ? "" : ", opening", StatusKb("VmRSS") / 1024);
            }
            shown = dialog.Preview().Bitmap() != nullptr;
            last = now;
            measuring = dialog.Dialog().get_mapped();
            if (measuring)
                held = std::max(held, StatusKb("VmRSS") - baseline);
            return true;
        },
        5, Glib::PRIORITY_HIGH);
    sigc::connection end = Glib::signal_timeout().connect(
        [&] {
            dialog.Dialog().response(IDCANCEL);
            return false;
        },
        static_cast<unsigned>(seconds * 1000));
    dialog.DoModal(nullptr);
    ticker.disconnect();
    end.disconnect();
    r.captures = captures;
    r.paints = dialog.Preview().SheetPaints();
    r.heldMb = held / 1024.0;
    r.peakMb = (StatusKb("VmHWM") - baseline) / 1024.0;
    return r;
}

}  // namespace

int main(int argc, char** argv)
{
    auto app = Gtk::Application::create("org.brackwater.Quorvane.BenchPageSetup", Gio::APPLICATION_NON_UNIQUE);
    app->register_application();
    g_setenv("CUPS_SERVER", "/nonexistent/bench/cups.sock", TRUE);

    int width = 8000, height = 6000;
    double seconds = 10;
    if (argc > 1)
        std::sscanf(argv[1], "%dx%d", &width, &height);
    if (argc > 2)
        seconds = std::atof(argv[2]);
    const char* dir = std::getenv("QV_TEST_FIXTURES");
    const std::string fixture = std::string("file://") + (dir ? dir : QV_BENCH_FIXTURES) + "/capture-corners.html";

    CSetting setting;
    setting.width = width;
    setting.height = height;
    CQuorvaScrollView view(setting);
    Gtk::Window window;
    window.set_default_size(800, 600);
    window.add(view.Widget());
    window.show_all();
    RunUntil([&] { return view.ClientArea().get_realized(); }, 10);
    view.ApplyBrowserSize();
    view.View().Navigate(fixture);
    const std::string expected = "corners " + std::to_string(width) + "x" + std::to_string(height);
    RunUntil([&] {
        const char* title = webkit_web_view_get_title(view.View().WebView());
        return view.View().ReadyState() == 4 && title && expected == title;
    }, 60);

    // The page's first display (WebKit fills the view's whole backing store)
    // comes after its load and holds the main loop up by itself; the dialog
    // opens once it is over, as it does for a user, and its stall is shown
    // on its own line.
    bool drawn = false;
    const gulong drawHandler = g_signal_connect_after(
        view.View().WebView(), "draw", G_CALLBACK(+[](GtkWidget*, cairo_t*, gpointer data) {
            *static_cast<bool*>(data) = true;
            return FALSE;
        }),
        &drawn);
    double firstDisplayStallMs = 0;
    auto last = Clock::now();
    sigc::connection ticker = Glib::signal_timeout().connect(
        [&] {
            const auto now = Clock::now();
            firstDisplayStallMs =
                std::max(firstDisplayStallMs, std::chrono::duration<double, std::milli>(now - last).count() - 5);
            last = now;
            return true;
        },
        5, Glib::PRIORITY_HIGH);
    RunUntil([&] { return drawn; }, 30);
    RunUntil([] { return false; }, 1.0);
    ticker.disconnect();
    g_signal_handler_disconnect(view.View().WebView(), drawHandler);

    const double captureMb = double(width) * 3 * height / (1 << 20);
    std::printf("browser %dx%d, one capture %.1f MB, %.0f s with the dialog open\n", width, height, captureMb, seconds);
    std::printf("the page's first display after its load: longest stall %.0f ms\n", firstDisplayStallMs);
    std::printf("%-9s %-10s %9s %9s %7s %9s %9s %9s %9s\n", "page", "converted", "captures", "repaints", "stall",
                "opening", "steady", "held MB", "peak MB");
    for (bool changing : {false, true})
        for (bool onWorker : {true, false}) {
            const Result r = RunDialog(view, seconds, changing, onWorker);
            std::printf("%-9s %-10s %9d %9d %5.0fms %7.0fms %7.0fms %9.1f %9.1f\n", changing ? "changing" : "static",
                        onWorker ? "worker" : "main loop", r.captures, r.paints, r.longestStallMs, r.openingStallMs,
                        r.steadyStallMs, r.heldMb, r.peakMb);
            std::fflush(stdout);
        }
    return 0;
}
