// Capture speed and memory: for each browser size, the bare WebKit snapshot,
// the whole capture, the conversion alone (into a fresh and into a paged-in
// bitmap) beside a plain memcpy of the same bytes, and the peak memory of the
// capture beside the snapshot surface plus the final bitmap.
// Then the delay that the wait for a finished page adds to a capture of a
// static page (nothing in flight, no script drawing): the wait step alone,
// whole captures with and without it, and how much later than its resource
// loads alone a freshly loaded static page counts as finished once its
// scripts' reports are heard too.
//
//   xvfb-run -a build/bench/bench_capture [WxH ...]
#include "bitmap/DibSection.h"
#include "browser/Capture.h"
#include "browser/SnapshotRequest.h"
#include "browser/CapturePixels.h"
#include "browser/LoadTracker.h"
#include "common/Parallel.h"
#include "browser/QuorvaScrollView.h"
#include "settings/Setting.h"

#include <cairo.h>
#include <gtkmm.h>
#include <webkit2/webkit2.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <thread>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since)
{
    return std::chrono::duration<double>(Clock::now() - since).count();
}

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

// Starts a new peak: VmHWM drops to the current resident size.
void ResetPeak()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

std::string Title(WebKitWebView* view)
{
    const char* title = webkit_web_view_get_title(view);
    return title ? title : "";
}

struct Result {
    double snapshot = 0, capture = 0, convertFresh = 0, convertWarm = 0, memcpyWarm = 0;
    double peakMb = 0, surfaceMb = 0, bitmapMb = 0;
};

Result Measure(CQuorvaScrollView& view, CSetting& setting, int width, int height, const std::string& fixture)
{
    Result r;
    WebKitWebView* web = view.View().WebView();
    setting.width = width;
    setting.height = height;
    view.ApplyBrowserSize();
    const std::string expected = "corners " + std::to_string(width) + "x" + std::to_string(height);
    if (Title(web).empty())
        view.View().Navigate(fixture);
    if (!RunUntil([&] { return view.View().ReadyState() == 4 && Title(web) == expected; }, 60))
        std::fprintf(stderr, "page not ready at %dx%d (%s)\n", width, height, Title(web).c_str());

    // Each measurement starts from a quiet process: the previous snapshot has
    // been let go and the page has nothing left to draw.
    const auto settle = [] {
        const auto until = Clock::now() + std::chrono::milliseconds(400);
        RunUntil([&] { return Clock::now() > until; }, 1);
    };
    constexpr int kRuns = 5;
    std::vector<double> snapshots, captures, fresh, warm, copies, peaks;
    for (int run = 0; run < kRuns; ++run) {
        std::string error;
        settle();
        auto t = Clock::now();
        cairo_surface_t* surface = SnapshotWebView(web, kCaptureTimeLimit, &error);
        snapshots.push_back(Seconds(t));
        if (!surface) {
            std::fprintf(stderr, "snapshot failed: %s\n", error.c_str());
            return r;
        }
        const CArgbImage pixels{cairo_image_surface_get_data(surface),
                                static_cast<size_t>(cairo_image_surface_get_stride(surface)),
                                cairo_image_surface_get_width(surface), cairo_image_surface_get_height(surface)};
        r.surfaceMb = double(pixels.stride) * pixels.height / (1 << 20);
        {
            const CDibSectionPtr dib = CDibSection::New(width, height);
            const int threads = ParallelThreads();
            t = Clock::now();
            ConvertArgbToBgr24BottomUp(pixels, {0, 0, width, height}, dib->Bits(), dib->Stride(), threads);
            fresh.push_back(Seconds(t));
            t = Clock::now();
            ConvertArgbToBgr24BottomUp(pixels, {0, 0, width, height}, dib->Bits(), dib->Stride(), threads);
            warm.push_back(Seconds(t));
            t = Clock::now();
            std::memcpy(dib->Bits(), pixels.data + 1, dib->ImageSize());
            copies.push_back(Seconds(t));
            r.bitmapMb = double(dib->ImageSize()) / (1 << 20);
        }
        cairo_surface_destroy(surface);

        settle();
        const long before = StatusKb("VmRSS");
        ResetPeak();
        t = Clock::now();
        const CDibSectionPtr dib = Capture(view);
        captures.push_back(Seconds(t));
        peaks.push_back(double(StatusKb("VmHWM") - before) / 1024);
    }
    r.snapshot = Median(snapshots);
    r.capture = Median(captures);
    r.convertFresh = Median(fresh);
    r.convertWarm = Median(warm);
    r.memcpyWarm = Median(copies);
    r.peakMb = *std::max_element(peaks.begin(), peaks.end());
    return r;
}

// The static page has been quiet for longer than the quiet time; each wait
// step should then decide at once, without running the main loop.
void MeasureSettleDelay(CQuorvaScrollView& view, CSetting& setting)
{
    setting.width = 1024;
    setting.height = 768;
    view.ApplyBrowserSize();
    const auto until = Clock::now() + std::chrono::milliseconds(800);
    RunUntil([&] { return Clock::now() > until; }, 2);

    constexpr int kSteps = 1000;
    std::vector<double> steps;
    for (int i = 0; i < kSteps; ++i) {
        const auto t = Clock::now();
        CQuorvaneView& page = view.View();
        const SettleState state = DecideSettle(page.Loads(), page.Scripts(), IsNavigating(page.ReadyState()), t,
                                               Clock::now(), CSettleRule{});
        steps.push_back(Seconds(t));
        if (state != SettleState::Settled) {
            std::fprintf(stderr, "the static page did not count as settled\n");
            return;
        }
    }
    constexpr int kRuns = 9;
    std::vector<double> waiting, direct;
    for (int run = 0; run < kRuns; ++run) {
        auto t = Clock::now();
        Capture(view);
        waiting.push_back(Seconds(t));
        t = Clock::now();
        Capture(view, kCaptureNoWait);
        direct.push_back(Seconds(t));
    }
    std::printf("\nsettle wait on a static page (1024x768): step median %.4f ms, max %.4f ms (%d steps);\n"
                "capture median %.2f ms with the wait, %.2f ms without (%d runs each)\n",
                Median(steps) * 1000, *std::max_element(steps.begin(), steps.end()) * 1000, kSteps,
                Median(waiting) * 1000, Median(direct) * 1000, kRuns);
}

// From the load event of a fresh static page: when its loads alone have
// been quiet for the quiet time, and when loads and scripts together have.
void MeasureFinishedRule(CQuorvaScrollView& view, const std::string& page)
{
    constexpr int kRuns = 9;
    std::vector<double> added;
    const CPageActivity noScripts;
    CQuorvaneView& browser = view.View();
    for (int run = 0; run < kRuns; ++run) {
        browser.Navigate(page + "?run=" + std::to_string(run));
        if (!RunUntil([&] { return browser.ReadyState() == 4; }, 30)) {
            std::fprintf(stderr, "the static page did not load\n");
            return;
        }
        const auto start = Clock::now();
        Clock::time_point loadsOnly{}, withScripts{};
        RunUntil(
            [&] {
                const auto now = Clock::now();
                if (loadsOnly == Clock::time_point{} &&
                    DecideSettle(browser.Loads(), noScripts, false, start, now, CSettleRule{}) == SettleState::Settled)
                    loadsOnly = now;
                if (withScripts == Clock::time_point{} &&
                    DecideSettle(browser.Loads(), browser.Scripts(), false, start, now, CSettleRule{}) ==
                        SettleState::Settled)
                    withScripts = now;
                return loadsOnly != Clock::time_point{} && withScripts != Clock::time_point{};
            },
            20);
        added.push_back(std::chrono::duration<double>(withScripts - loadsOnly).count());
    }
    std::printf("finished rule on a fresh static page: scripts add median %.2f ms, max %.2f ms to the loads' "
                "500 ms quiet time (%d loads)\n",
                Median(added) * 1000, *std::max_element(added.begin(), added.end()) * 1000, kRuns);
}

}  // namespace

int main(int argc, char** argv)
{
    auto app = Gtk::Application::create("org.brackwater.Quorvane.BenchCapture", Gio::APPLICATION_NON_UNIQUE);
    app->register_application();

    std::vector<std::pair<int, int>> sizes{{1024, 768}, {4000, 3000}, {8000, 6000}};
    if (argc > 1) {
        sizes.clear();
        for (int i = 1; i < argc; ++i) {
            int w = 0, h = 0;
            if (std::sscanf(argv[i], "%dx%d", &w, &h) == 2 && w > 0 && h > 0)
                sizes.emplace_back(w, h);
        }
    }
    const char* dir = std::getenv("QV_TEST_FIXTURES");
    const std::string fixture = std::string("file://") + (dir ? dir : QV_BENCH_FIXTURES) + "/capture-corners.html";

    CSetting setting;
    CQuorvaScrollView view(setting);
    Gtk::Window window;
    window.set_default_size(800, 600);
    window.add(view.Widget());
    window.show_all();
    RunUntil([&] { return view.ClientArea().get_realized(); }, 10);

    std::printf("%-12s %9s %9s %6s %10s %10s %8s %9s %16s\n", "size", "snapshot", "capture", "ratio", "conv fresh",
                "conv warm", "memcpy", "peak MB", "surface+bitmap");
    for (const auto& [w, h] : sizes) {
        const Result r = Measure(view, setting, w, h, fixture);
        std::printf("%5dx%-6d %8.3fs %8.3fs %6.2f %8.1fms %8.1fms %6.1fms %9.1f %9.1f+%.1f\n", w, h, r.snapshot,
                    r.capture, r.snapshot > 0 ? r.capture / r.snapshot : 0.0, r.convertFresh * 1000,
                    r.convertWarm * 1000, r.memcpyWarm * 1000, r.peakMb, r.surfaceMb, r.bitmapMb);
        std::fflush(stdout);
    }
    MeasureSettleDelay(view, setting);
    MeasureFinishedRule(view, fixture);
    return 0;
}
