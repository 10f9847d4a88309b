// Prints one synthetic 8000 x 6000 map capture as a 4 x 4 poster on landscape
// A4 (16 sheets) to a PDF file through the print thread, beside the bare cost
// of cairo drawing the same 16 tiles into a PDF in the same run (best of two
// runs each, interleaved). Reports times, PDF sizes, peak
// memory above the capture, how the tiles are embedded, and the longest stall
// of a main loop ticking every 10 ms while the worker runs. With --cups QUEUE
// it also prints the poster to that CUPS queue (CUPS_SERVER is honoured) and
// reports the time to a finished job, and the same for cairo's own PDF.
// The same poster with 10 mm of glue overlap and every assembly aid (guides,
// labels, assembly sheet) is timed against it in the same runs.
//   bench_printing [--cups QUEUE] [width height] [folder]
#include "bitmap/DibCairo.h"
#include "bitmap/DibSection.h"
#include "printing/job/PrintEndDispatcher.h"
#include "printing/job/QuorvaThread.h"
#include "printing/poster/TileGeometry.h"

#include <cairo-pdf.h>
#include <cairo.h>
#include <cups/cups.h>
#include <glib.h>
#include <glib/gstdio.h>
#include <glibmm/init.h>
#include <glibmm/main.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <regex>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

long StatusKb(const char* key)
{
    long kb = 0;
    if (FILE* f = std::fopen("/proc/self/status", "r")) {
        char line[256];
        const size_t n = std::strlen(key);
        while (std::fgets(line, sizeof line, f))
            if (std::strncmp(line, key, n) == 0) {
                kb = std::atol(line + n);
                break;
            }
        std::fclose(f);
    }
    return kb;
}

// The resident peak starts again from the current size.
void ResetPeak()
{
    if (FILE* f = std::fopen("/proc/self/clear_refs", "w")) {
        std::fputs("5", f);
        std::fclose(f);
    }
}

double FileMb(const std::string& path)
{
    GStatBuf st;
    return g_stat(path.c_str(), &st) == 0 ? st.st_size / 1e6 : 0;
}

std::string ReadFile(const std::string& path)
{
    gchar* data = nullptr;
    gsize length = 0;
    if (!g_file_get_contents(path.c_str(), &data, &length, nullptr))
        return {};
    std::string text(data, length);
    g_free(data);
    return text;
}

// A map-like picture: land, water and parks, roads, some relief.
CDibSectionPtr MakeMap(int width, int height)
{
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    cairo_t* cr = cairo_create(surface);
    std::mt19937 rng(7);
    auto uni = [&](double a, double b) { return std::uniform_real_distribution<double>(a, b)(rng); };
    cairo_set_source_rgb(cr, 0.95, 0.94, 0.91);
    cairo_paint(cr);
    const double scale = double(width) * height / 48e6;
    for (int i = 0; i < int(150 * scale); ++i) {
        i % 3 ? cairo_set_source_rgb(cr, 0.80, 0.92, 0.77) : cairo_set_source_rgb(cr, 0.67, 0.83, 0.87);
        cairo_arc(cr, uni(0, width), uni(0, height), uni(60, 500), 0, 2 * M_PI);
        cairo_fill(cr);
    }
    for (int i = 0; i < int(700 * scale); ++i) {
        const double x0 = uni(0, width), y0 = uni(0, height);
        cairo_move_to(cr, x0, y0);
        cairo_curve_to(cr, x0 + uni(-800, 800), y0 + uni(-800, 800), x0 + uni(-800, 800), y0 + uni(-800, 800),
                       x0 + uni(-1500, 1500), y0 + uni(-1500, 1500));
        cairo_set_line_width(cr, uni(3, 14));
        i % 6 ? cairo_set_source_rgb(cr, 1, 1, 1) : cairo_set_source_rgb(cr, 0.99, 0.84, 0.63);
        cairo_stroke(cr);
    }
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    uint8_t* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + size_t(y) * stride);
        for (int x = 0; x < width; x += 2) {
            const int shade = int(10 * std::sin(x / 300.0) * std::cos(y / 260.0));
            const uint32_t p = row[x];
            auto ch = [&](int s) { return uint32_t(std::clamp(int((p >> s) & 0xFF) + shade, 0, 255)) << s; };
            row[x] = ch(16) | ch(8) | ch(0);
        }
    }
    CDibSectionPtr dib = CDibSection::New(width, height);
    dib->CopyFromArgb32(data, size_t(stride));
    cairo_surface_destroy(surface);
    return dib;
}

struct Poster {
    CPaperInfo paper;
    CPageGrid grid;
};

// Landscape A4 on the "PDF" destination.
CDevMode LandscapeA4()
{
    CDevMode dm = CPrinter::Open(kPdfPrinterName)->DefaultDevMode();
    dm.orientation = DMORIENT_LANDSCAPE;
    return dm;
}

Poster PosterFor(const CDib& dib, const CPageSetting& setting)
{
    const CPrinterPtr pdf = CPrinter::Open(kPdfPrinterName);
    const CDevMode dm = LandscapeA4();
    Poster p;
    p.paper.SetDevMode(dm);
    p.paper.SetDeviceCaps(pdf->Metrics(dm));
    p.paper.margin = setting.margin;
    p.grid = setting.CalcPages(p.paper, dib.Width(), dib.Height());
    return p;
}

// cairo alone: each tile converted once and painted scaled onto its page.
double BareCairo(const CDib& dib, const Poster& poster, const std::string& path)
{
    const auto start = Clock::now();
    const double pt = 72.0 / poster.paper.resX;
    cairo_surface_t* pdf = cairo_pdf_surface_create(path.c_str(), poster.paper.paperWidth * 72.0 / 2540,
                                                    poster.paper.paperHeight * 72.0 / 2540);
    cairo_t* cr = cairo_create(pdf);
    for (int page = 1; page <= poster.grid.TotalPages(); ++page) {
        const CTileMapping m = MapPageToTile(page, poster.grid, poster.paper, {dib.Width(), dib.Height()});
        CairoSurfacePtr tile = DibAreaSurface(dib, m.source);
        cairo_save(cr);
        cairo_translate(cr, (m.dest.left + poster.paper.hardPrintable.left) * pt,
                        (m.dest.top + poster.paper.hardPrintable.top) * pt);
        cairo_scale(cr, double(m.dest.Width()) / m.source.Width() * pt, double(m.dest.Height()) / m.source.Height() * pt);
        cairo_set_source_surface(cr, tile.get(), 0, 0);
        cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
        cairo_paint(cr);
        cairo_restore(cr);
        cairo_show_page(cr);
    }
    cairo_destroy(cr);
    cairo_surface_finish(pdf);
    cairo_surface_destroy(pdf);
    return Seconds(start);
}

struct JobResult {
    double seconds = 0;
    double longestStallMs = 0;
    std::string error;
};

// The program's way: the print thread runs the job while this thread runs
// a main loop, as the user-interface thread does.
JobResult PrintThroughThread(CQuorvaThread& thread, const CPrintJob& job)
{
    JobResult result;
    auto loop = Glib::MainLoop::create();
    CPrintEndDispatcher endNotice(thread, [&] { loop->quit(); });
    auto last = Clock::now();
    Glib::signal_timeout().connect(
        [&] {
            const auto now = Clock::now();
            result.longestStallMs = std::max(result.longestStallMs, std::chrono::duration<double, std::milli>(now - last).count() - 10);
            last = now;
            return true;
        },
        10);
    const CPrintJobPtr ready = thread.Task()->MakeJob(job);
    const auto start = Clock::now();
    last = start;
    thread.Start(ready);
    loop->run();
    thread.Wait(INFINITE);
    result.seconds = Seconds(start);
    if (thread.Task()->HasErr())
        result.error = thread.Task()->GetErr().text;
    return result;
}

struct Measured {
    JobResult job;
    double extraMb = 0;
};

// Runs `phase` in a child process that shares the capture, so that its peak
// memory is its own and not what an earlier phase left in the allocator.
Measured InChild(const std::function<JobResult()>& phase)
{
    int fds[2];
    if (pipe(fds) != 0)
        return {};
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        ResetPeak();
        const long before = StatusKb("VmRSS:");
        JobResult r = phase();
        char text[512];
        const int n = std::snprintf(text, sizeof text, "%f %f %f %s", r.seconds, r.longestStallMs,
                                    (StatusKb("VmHWM:") - before) / 1024.0, r.error.c_str());
        if (write(fds[1], text, size_t(n)) < 0)
            _exit(1);
        _exit(0);
    }
    close(fds[1]);
    char text[512] = {};
    size_t got = 0;
    for (ssize_t n; got < sizeof text - 1 && (n = read(fds[0], text + got, sizeof text - 1 - got)) > 0;)
        got += size_t(n);
    close(fds[0]);
    waitpid(pid, nullptr, 0);
    Measured m;
    int used = 0;
    if (std::sscanf(text, "%lf %lf %lf %n", &m.job.seconds, &m.job.longestStallMs, &m.extraMb, &used) >= 3)
        m.job.error = text + used;
    return m;
}

void DescribeImages(const std::string& path)
{
    const std::string pdf = ReadFile(path);
    const std::regex image(R"(/Subtype /Image\s+/Width (\d+)\s+/Height (\d+))");
    int count = 0;
    std::string sizes;
    for (auto it = std::sregex_iterator(pdf.begin(), pdf.end(), image); it != std::sregex_iterator(); ++it) {
        ++count;
        if (count <= 4)
            sizes += " " + (*it)[1].str() + "x" + (*it)[2].str();
    }
    const bool flate = pdf.find("/FlateDecode") != std::string::npos;
    const bool lossy = pdf.find("/DCTDecode") != std::string::npos || pdf.find("/JPXDecode") != std::string::npos;
    const bool group = pdf.find("/S /Transparency") != std::string::npos;
    std::printf("    %d images (first:%s ...), %s, %s, page transparency group: %s\n", count, sizes.c_str(),
                flate ? "Flate" : "no Flate", lossy ? "LOSSY" : "lossless", group ? "yes" : "no");
}

std::optional<int> LastJob(const std::string& queue)
{
    cups_job_t* jobs = nullptr;
    const int n = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, queue.c_str(), 0, CUPS_WHICHJOBS_ALL);
    int last = 0;
    for (int i = 0; i < n; ++i)
        last = std::max(last, jobs[i].id);
    cupsFreeJobs(n, jobs);
    return last > 0 ? std::optional<int>(last) : std::nullopt;
}

int WaitForJob(const std::string& queue, int id, double seconds)
{
    const auto start = Clock::now();
    while (Seconds(start) < seconds) {
        cups_job_t* jobs = nullptr;
        const int n = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, queue.c_str(), 0, CUPS_WHICHJOBS_ALL);
        int state = 0;
        for (int i = 0; i < n; ++i)
            if (jobs[i].id == id)
                state = jobs[i].state;
        cupsFreeJobs(n, jobs);
        if (state >= IPP_JSTATE_CANCELED)
            return state;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    Glib::init();
    std::string queue;
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--cups") == 0 && i + 1 < argc)
            queue = argv[++i];
        else
            args.emplace_back(argv[i]);
    }
    const int width = args.size() >= 2 ? std::atoi(args[0].c_str()) : 8000;
    const int height = args.size() >= 2 ? std::atoi(args[1].c_str()) : 6000;
    std::string folder = args.size() == 1 ? args[0] : args.size() >= 3 ? args[2] : "";
    if (folder.empty()) {
        gchar* dir = g_dir_make_tmp("qv-bench-print-XXXXXX", nullptr);
        folder = dir;
        g_free(dir);
    }

    std::printf("capture %d x %d ...\n", width, height);
    const CDibSectionPtr dib = MakeMap(width, height);
    CPageSetting setting;
    setting.papers = {4, 4};
    const Poster poster = PosterFor(*dib, setting);
    const double captureMb = double(dib->ImageSize()) / 1e6;
    const double tileMb = double(poster.grid.tile.cx) * poster.grid.tile.cy * 4 / 1e6;
    std::printf("poster %d x %d sheets of A4 at %d dpi, tiles of %d x %d pixels\n", poster.grid.papers.cx,
                poster.grid.papers.cy, poster.paper.resX, poster.grid.tile.cx, poster.grid.tile.cy);
    std::printf("capture %.1f MB, one tile as cairo pixels %.1f MB\n\n", captureMb, tileMb);

    const std::string barePath = folder + "/bare-cairo.pdf";
    CQuorvaThread thread;
    thread.Task()->ReopenPrinter({kPdfPrinterName});
    thread.Task()->ReplaceDevMode(LandscapeA4());
    CPrintJob job;
    job.dib = dib;
    job.docName = "Quorvane: bench";
    job.pageSetting = setting;
    job.outputFile = folder + "/poster.pdf";

    CPrintJob aided = job;
    aided.pageSetting.assembly = {1000, true, true, true};
    aided.outputFile = folder + "/poster-aids.pdf";

    double bare = 1e9, bareExtraMb = 0, extraMb = 0, aidedExtraMb = 0;
    JobResult printed, withAids;
    printed.seconds = withAids.seconds = 1e9;
    for (int run = 0; run < 2; ++run) {
        const Measured b = InChild([&] {
            JobResult r;
            r.seconds = BareCairo(*dib, poster, barePath);
            return r;
        });
        bare = std::min(bare, b.job.seconds);
        bareExtraMb = std::max(bareExtraMb, b.extraMb);
        const Measured p = InChild([&] { return PrintThroughThread(thread, job); });
        extraMb = std::max(extraMb, p.extraMb);
        if (p.job.seconds < printed.seconds)
            printed = p.job;
        const Measured a = InChild([&] { return PrintThroughThread(thread, aided); });
        aidedExtraMb = std::max(aidedExtraMb, a.extraMb);
        if (a.job.seconds < withAids.seconds)
            withAids = a.job;
    }
    std::printf("bare cairo, the tiles into a PDF file:  %6.2f s  %6.1f MB PDF  peak +%.1f MB above the capture\n",
                bare, FileMb(barePath), bareExtraMb);
    DescribeImages(barePath);
    std::printf("print thread, \"PDF\" destination:        %6.2f s  %6.1f MB PDF  peak +%.1f MB above the capture%s\n",
                printed.seconds, FileMb(job.outputFile), extraMb, printed.error.empty() ? "" : "  FAILED");
    if (!printed.error.empty())
        std::printf("    %s\n", printed.error.c_str());
    DescribeImages(job.outputFile);
    std::printf("    %.2f x the bare cost (target <= 1.5); extra memory %.1f MB against one tile %.1f MB\n",
                printed.seconds / bare, extraMb, tileMb);
    std::printf("    longest stall of the 10 ms main-loop tick while the worker ran: %.1f ms (target <= 100)\n",
                printed.longestStallMs);
    std::printf("10 mm overlap, guides, labels, assembly sheet: %6.2f s  %6.1f MB PDF  peak +%.1f MB above the capture%s\n",
                withAids.seconds, FileMb(aided.outputFile), aidedExtraMb, withAids.error.empty() ? "" : "  FAILED");
    if (!withAids.error.empty())
        std::printf("    %s\n", withAids.error.c_str());
    DescribeImages(aided.outputFile);
    std::printf("    %.2f x the time without aids (target <= 1.1), %.2f x its PDF size\n",
                withAids.seconds / printed.seconds, FileMb(aided.outputFile) / FileMb(job.outputFile));

    if (!queue.empty()) {
        std::printf("\nCUPS queue %s (%s)\n", queue.c_str(), cupsServer());
        thread.Task()->ReopenPrinter({queue});
        if (!thread.Task()->Printer()) {
            std::printf("    no such queue\n");
            return 1;
        }
        CDevMode dm = *thread.Task()->CopyDevMode();
        dm.orientation = DMORIENT_LANDSCAPE;
        thread.Task()->ReplaceDevMode(dm);
        const JobResult sent = PrintThroughThread(thread, job);
        const auto id = LastJob(queue);
        const auto start = Clock::now();
        const int state = id ? WaitForJob(queue, *id, 600) : 0;
        std::printf("    program's PDF: sent in %.2f s, job %d %s %.2f s later (%.2f s in all)%s\n", sent.seconds,
                    id.value_or(0), state == IPP_JSTATE_COMPLETED ? "completed" : "did not complete",
                    Seconds(start), sent.seconds + Seconds(start), sent.error.empty() ? "" : sent.error.c_str());
        const auto rawStart = Clock::now();
        const int rawId = cupsPrintFile(queue.c_str(), barePath.c_str(), "cairo as is", 0, nullptr);
        const int rawState = rawId > 0 ? WaitForJob(queue, rawId, 900) : 0;
        std::printf("    cairo's own PDF (page groups kept): job %d %s after %.2f s\n", rawId,
                    rawState == IPP_JSTATE_COMPLETED ? "completed" : "did not complete", Seconds(rawStart));
    }
    std::printf("\noutput in %s\n", folder.c_str());
    return 0;
}
