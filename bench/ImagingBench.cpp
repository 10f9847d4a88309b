// Saves one synthetic 8000 x 6000 map capture in every format and prints the
// time and size of each, beside cjpeg and ImageMagick encoding the same
// pixels from a PPM where those are installed. Each time is the best of
// three runs (BENCH_RUNS overrides).
//   bench_imaging [width height] [folder]
#include "bitmap/DibSection.h"
#include "errors/Exception.h"
#include "imaging/ImgSaver.h"

#include <cairo.h>
#include <glib.h>
#include <glib/gstdio.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <random>
#include <string>

namespace {

double Seconds(const std::chrono::steady_clock::time_point& start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The peak resident size since the last ResetPeak (Linux's VmHWM).
long PeakMb()
{
    long kb = 0;
    if (FILE* f = std::fopen("/proc/self/status", "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, f))
            if (std::sscanf(line, "VmHWM: %ld kB", &kb) == 1)
                break;
        std::fclose(f);
    }
    return kb / 1024;
}

long CurrentMb()
{
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return resident * sysconf(_SC_PAGESIZE) / (1024 * 1024);
}

void ResetPeak()
{
    if (FILE* f = std::fopen("/proc/self/clear_refs", "w")) {
        std::fputs("5", f);
        std::fclose(f);
    }
}

struct Result {
    double seconds = 0, mb = 0;
    bool ok = false;
};

double FileMb(const std::string& path)
{
    GStatBuf st;
    return g_stat(path.c_str(), &st) == 0 ? st.st_size / 1e6 : 0;
}

// Flat land, water and parks, roads with casings and labels: the kind of
// picture a map page gives.
CDibSectionPtr MakeMap(int width, int height)
{
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    cairo_t* cr = cairo_create(surface);
    std::mt19937 rng(42);
    auto uni = [&](double a, double b) { return std::uniform_real_distribution<double>(a, b)(rng); };
    cairo_set_source_rgb(cr, 0.95, 0.94, 0.91);
    cairo_paint(cr);
    const double area = double(width) * height / 48e6;
    // Hill shading over the left half: smooth gradients, as terrain maps have.
    cairo_surface_flush(surface);
    uint8_t* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + size_t(y) * stride);
        for (int x = 0; x < width / 2; ++x) {
            const double h = std::sin(x / 310.0) * std::cos(y / 270.0) + 0.5 * std::sin((x + 2 * y) / 130.0);
            const int v = 200 + int(40 * h);
            row[x] = uint32_t(v) << 16 | uint32_t(v - 4) << 8 | uint32_t(v - 12);
        }
    }
    cairo_surface_mark_dirty(surface);
    for (int i = 0; i < int(120 * area); ++i) {
        const bool water = i % 3 == 0;
        water ? cairo_set_source_rgb(cr, 0.67, 0.83, 0.87) : cairo_set_source_rgb(cr, 0.80, 0.92, 0.77);
        const double cx = uni(0, width), cy = uni(0, height), r = uni(80, 600);
        cairo_move_to(cr, cx + r, cy);
        for (int k = 1; k < 12; ++k) {
            const double a = k * 2 * M_PI / 12, rr = r * uni(0.6, 1.2);
            cairo_line_to(cr, cx + rr * std::cos(a), cy + rr * std::sin(a));
        }
        cairo_close_path(cr);
        cairo_fill(cr);
    }
    for (int i = 0; i < int(600 * area); ++i) {
        const double x0 = uni(0, width), y0 = uni(0, height);
        const double x1 = x0 + uni(-1500, 1500), y1 = y0 + uni(-1500, 1500);
        const double w = uni(3, 14);
        cairo_move_to(cr, x0, y0);
        cairo_curve_to(cr, uni(x0, x1), uni(y0, y1), uni(x0, x1), uni(y0, y1), x1, y1);
        cairo_path_t* path = cairo_copy_path(cr);
        cairo_set_source_rgb(cr, 0.75, 0.72, 0.68);
        cairo_set_line_width(cr, w + 2);
        cairo_stroke(cr);
        cairo_append_path(cr, path);
        i % 7 == 0 ? cairo_set_source_rgb(cr, 0.99, 0.84, 0.63) : cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_set_line_width(cr, w);
        cairo_stroke(cr);
        cairo_path_destroy(path);
    }
    cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    const char* names[] = {"Station", "Park", "Riverside", "Hill Road", "City Hall", "Museum", "Harbour"};
    for (int i = 0; i < int(1500 * area); ++i) {
        cairo_set_font_size(cr, uni(11, 18));
        cairo_set_source_rgb(cr, 0.2, 0.2, 0.25);
        cairo_move_to(cr, uni(0, width), uni(0, height));
        cairo_show_text(cr, names[i % 7]);
    }
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    CDibSectionPtr dib = CDibSection::New(width, height);
    dib->CopyFromArgb32(cairo_image_surface_get_data(surface), size_t(cairo_image_surface_get_stride(surface)));
    cairo_surface_destroy(surface);
    return dib;
}

void WritePpm(const CDib& dib, const std::string& path)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    std::fprintf(f, "P6\n%d %d\n255\n", dib.Width(), dib.Height());
    std::string row(size_t(dib.Width()) * 3, '\0');
    for (int y = 0; y < dib.Height(); ++y) {
        const uint8_t* p = dib.RowFromTop(y);
        for (int x = 0; x < dib.Width(); ++x)
            row[3 * x] = char(p[3 * x + 2]), row[3 * x + 1] = char(p[3 * x + 1]), row[3 * x + 2] = char(p[3 * x]);
        std::fwrite(row.data(), 1, row.size(), f);
    }
    std::fclose(f);
}

Result Report(const char* what, double seconds, const std::string& path, const char* extra = "")
{
    const Result result{seconds, FileMb(path), true};
    std::printf("%-44s %7.2f s %9.1f MB%s\n", what, seconds, result.mb, extra);
    std::fflush(stdout);
    return result;
}

// Other work on the machine slows single runs down: each measurement is the
// best of a few.
int g_runs = 3;

Result Ours(const char* what, const CImg& img, const std::string& path, ImgContainer container,
            const CEncoderTuning& tuning = {})
{
    wic::CImgSaver saver;
    saver.container = container;
    saver.tuning = tuning;
    const long before = CurrentMb();
    ResetPeak();
    double seconds = 1e9;
    for (int run = 0; run < g_runs; ++run) {
        const auto start = std::chrono::steady_clock::now();
        try {
            saver.Save(img, path);
        } catch (const my::CException& e) {
            std::printf("%-44s failed: %s\n", what, e.what());
            return {};
        }
        seconds = std::min(seconds, Seconds(start));
        g_unlink(path.c_str());
        if (run + 1 == g_runs)
            saver.Save(img, path);
    }
    char extra[64];
    std::snprintf(extra, sizeof extra, "   memory +%ld MB", PeakMb() - before);
    return Report(what, seconds, path, extra);
}

Result External(const char* what, const std::string& command, const std::string& out)
{
    double seconds = 1e9;
    for (int run = 0; run < g_runs; ++run) {
        g_unlink(out.c_str());
        const auto start = std::chrono::steady_clock::now();
        gint status = 0;
        gchar* err = nullptr;
        if (!g_spawn_command_line_sync(command.c_str(), nullptr, &err, &status, nullptr) || status != 0) {
            std::printf("%-44s failed: %s\n", what, err ? err : "");
            g_free(err);
            return {};
        }
        g_free(err);
        seconds = std::min(seconds, Seconds(start));
    }
    return Report(what, seconds, out);
}

void Verdict(const char* what, const Result& ours, const Result& theirs, double speedup, double sizeLimit = 0)
{
    if (!ours.ok || !theirs.ok)
        return;
    const double ratio = theirs.seconds / ours.seconds;
    bool met = ratio >= speedup;
    std::printf("%-12s %5.1f times as fast (target %.0f)", what, ratio, speedup);
    if (sizeLimit > 0) {
        std::printf(", %.2f times the size (target %.1f)", ours.mb / theirs.mb, sizeLimit);
        met = met && ours.mb <= sizeLimit * theirs.mb;
    }
    std::printf(": %s\n", met ? "met" : "NOT MET");
}

}  // namespace

int main(int argc, char** argv)
{
    const int width = argc >= 3 ? std::atoi(argv[1]) : 8000;
    const int height = argc >= 3 ? std::atoi(argv[2]) : 6000;
    const std::string dir = argc >= 4 ? argv[3] : (argc == 2 ? argv[1] : g_get_tmp_dir());
    const std::string base = dir + "/bench-imaging";
    if (const char* runs = std::getenv("BENCH_RUNS"))
        g_runs = std::max(1, std::atoi(runs));

    std::printf("Drawing a %d x %d map capture...\n", width, height);
    CDibSectionPtr dib = MakeMap(width, height);
    std::shared_ptr<CImg> img = MakeImgFromDib(dib);
    std::printf("capture %.0f MB, process %ld MB; \"memory\" is the peak during a save beyond that\n\n",
                dib->ImageSize() / 1e6, CurrentMb());

    const Result jpeg = Ours("ours JPEG (libjpeg-turbo q100, BGR)", *img, base + ".jpg", ImgContainer::Jpeg);
    const Result png = Ours("ours PNG (zlib 2, NONE or SUB by trial)", *img, base + ".png", ImgContainer::Png);
    Ours("libpng defaults (zlib 6, adaptive filter)", *img, base + "-6.png", ImgContainer::Png,
         CEncoderTuning{.pngLevel = 6, .pngFilters = 0xF8});
    const Result tiff = Ours("ours TIFF (Deflate 1, predictor by trial)", *img, base + ".tif", ImgContainer::Tiff);
    const Result lzw = Ours("libtiff LZW + predictor", *img, base + "-lzw.tif", ImgContainer::Tiff,
                            CEncoderTuning{.tiffCompression = 5, .tiffPredictor = 1});
    Ours("libtiff uncompressed", *img, base + "-raw.tif", ImgContainer::Tiff, CEncoderTuning{.tiffCompression = 1});
    const Result bmp = Ours("ours BMP (rows straight from the DIB)", *img, base + ".bmp", ImgContainer::Bmp);
    std::printf("\n");

    const std::string ppm = base + ".ppm";
    WritePpm(*dib, ppm);
    if (gchar* cjpeg = g_find_program_in_path("cjpeg")) {
        External("cjpeg -quality 100 (from PPM)",
                 std::string(cjpeg) + " -quality 100 -outfile " + base + "-cjpeg.jpg " + ppm, base + "-cjpeg.jpg");
        g_free(cjpeg);
    }
    Result imJpeg, imPng, imBmp;
    // /usr/local/bin may hold a stand-in; the real program is measured.
    gchar* found = g_file_test("/usr/bin/convert", G_FILE_TEST_IS_EXECUTABLE) ? g_strdup("/usr/bin/convert")
                                                                             : g_find_program_in_path("convert");
    if (found) {
        const std::string c = std::string(found) + " " + ppm + " ";
        imJpeg = External("ImageMagick JPEG -quality 100", c + "-quality 100 " + base + "-im.jpg", base + "-im.jpg");
        imPng = External("ImageMagick PNG (default)", c + base + "-im.png", base + "-im.png");
        External("ImageMagick TIFF (LZW)", c + "-compress lzw " + base + "-im.tif", base + "-im.tif");
        imBmp = External("ImageMagick BMP", c + base + "-im.bmp", base + "-im.bmp");
        g_free(found);
    } else {
        std::printf("ImageMagick is not installed\n");
    }

    std::printf("\n");
    Verdict("JPEG", jpeg, imJpeg, 5);
    Verdict("PNG", png, imPng, 3, 1.2);
    Verdict("TIFF", tiff, lzw, 1);
    Verdict("BMP", bmp, imBmp, 5);
    for (const char* suffix : {".jpg", ".png", "-6.png", ".tif", "-lzw.tif", "-raw.tif", ".bmp", ".ppm", "-cjpeg.jpg",
                               "-im.jpg", "-im.png", "-im.tif", "-im.bmp"})
        g_unlink((base + suffix).c_str());
    return 0;
}
