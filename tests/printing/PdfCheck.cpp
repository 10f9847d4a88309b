#include "PdfCheck.h"

#include "PosterFixture.h"
#include "printing/poster/TileGeometry.h"

#include <glib.h>
#include <glib/gstdio.h>

#include <cstdio>
#include <cstdlib>
#include <cctype>
#include <cstring>
#include <string_view>
#include <functional>
#include <regex>
#include <sstream>

namespace {

bool RunTool(const std::vector<std::string>& argv, std::string& out)
{
    std::vector<char*> args;
    for (const auto& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    gchar* stdoutText = nullptr;
    gint status = 0;
    const gboolean ok = g_spawn_sync(nullptr, args.data(), nullptr, G_SPAWN_SEARCH_PATH, nullptr, nullptr,
                                     &stdoutText, nullptr, &status, nullptr);
    if (stdoutText) {
        out = stdoutText;
        g_free(stdoutText);
    }
    return ok && g_spawn_check_wait_status(status, nullptr);
}

}  // namespace

bool CRenderedPage::Near(int x, int y, uint8_t r, uint8_t g, uint8_t b, int tolerance) const
{
    if (x < 0 || y < 0 || x >= width || y >= height)
        return false;
    const uint8_t* p = &rgb[(size_t(y) * width + x) * 3];
    return std::abs(p[0] - r) <= tolerance && std::abs(p[1] - g) <= tolerance && std::abs(p[2] - b) <= tolerance;
}

std::string CRenderedPage::ColourText(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width || y >= height)
        return "(outside)";
    const uint8_t* p = &rgb[(size_t(y) * width + x) * 3];
    return "(" + std::to_string(p[0]) + "," + std::to_string(p[1]) + "," + std::to_string(p[2]) + ")";
}

bool HavePopplerTools()
{
    gchar* a = g_find_program_in_path("pdfinfo");
    gchar* b = g_find_program_in_path("pdftoppm");
    const bool found = a && b;
    g_free(a);
    g_free(b);
    return found;
}

std::optional<std::vector<CPdfPageSize>> PdfPageSizes(const std::string& path)
{
    std::string out;
    if (!RunTool({"pdfinfo", "-f", "1", "-l", "9999", path}, out))
        return std::nullopt;
    std::vector<CPdfPageSize> sizes;
    std::istringstream lines(out);
    std::string line;
    while (std::getline(lines, line)) {
        int page = 0;
        CPdfPageSize size;
        if (std::sscanf(line.c_str(), "Page %d size: %lf x %lf", &page, &size.width, &size.height) == 3)
            sizes.push_back(size);
    }
    return sizes;
}

std::optional<std::vector<CSize>> PdfImageSizes(const std::string& path)
{
    std::string out;
    if (!RunTool({"pdfimages", "-list", path}, out))
        return std::nullopt;
    std::vector<CSize> sizes;
    std::istringstream lines(out);
    std::string line;
    while (std::getline(lines, line)) {
        int page = 0, num = 0;
        char type[32] = {};
        CSize size;
        if (std::sscanf(line.c_str(), "%d %d %31s %d %d", &page, &num, type, &size.cx, &size.cy) == 5 &&
            std::strcmp(type, "image") == 0)
            sizes.push_back(size);
    }
    return sizes;
}

std::optional<std::string> PdfPageText(const std::string& path, int page)
{
    std::string out;
    const std::string n = std::to_string(page);
    if (!RunTool({"pdftotext", "-f", n, "-l", n, path, "-"}, out))
        return std::nullopt;
    return out;
}

std::optional<std::vector<CPdfWord>> PdfPageWords(const std::string& path, int page)
{
    std::string out;
    const std::string n = std::to_string(page);
    if (!RunTool({"pdftotext", "-bbox", "-f", n, "-l", n, path, "-"}, out))
        return std::nullopt;
    static const std::regex word(
        R"re(<word xMin="([0-9.]+)" yMin="([0-9.]+)" xMax="([0-9.]+)" yMax="([0-9.]+)">([^<]*)</word>)re");
    std::vector<CPdfWord> words;
    for (std::sregex_iterator it(out.begin(), out.end(), word), end; it != end; ++it)
        words.push_back({(*it)[5], std::stod((*it)[1]), std::stod((*it)[2]), std::stod((*it)[3]), std::stod((*it)[4])});
    return words;
}

namespace {

// "P6", width, height and maximum value, with the comments Ghostscript puts
// between them; `start` is where the pixels begin.
bool ReadPpmHeader(std::string_view ppm, int& width, int& height, int& maxval, size_t& start)
{
    size_t at = 0;
    auto next = [&](std::string& token) {
        while (at < ppm.size() && (std::isspace(static_cast<unsigned char>(ppm[at])) || ppm[at] == '#'))
            if (ppm[at] == '#')
                at = std::min(ppm.find('\n', at), ppm.size());
            else
                ++at;
        const size_t begin = at;
        while (at < ppm.size() && !std::isspace(static_cast<unsigned char>(ppm[at])))
            ++at;
        token = ppm.substr(begin, at - begin);
        return !token.empty();
    };
    std::string magic, w, h, m;
    if (!next(magic) || magic != "P6" || !next(w) || !next(h) || !next(m) || at >= ppm.size())
        return false;
    width = std::atoi(w.c_str());
    height = std::atoi(h.c_str());
    maxval = std::atoi(m.c_str());
    start = at + 1;  // one whitespace character ends the header
    return width > 0 && height > 0;
}

// Runs a renderer that writes one page as a PPM file to the path it is
// given, and reads that file.
std::optional<CRenderedPage> RenderToPpm(const std::function<std::vector<std::string>(const std::string&)>& command)
{
    gchar* dir = g_dir_make_tmp("qv-render-XXXXXX", nullptr);
    if (!dir)
        return std::nullopt;
    const std::string ppm = std::string(dir) + "/page.ppm";
    std::string out;
    std::optional<CRenderedPage> result;
    if (RunTool(command(ppm), out)) {
        gchar* data = nullptr;
        gsize length = 0;
        if (g_file_get_contents(ppm.c_str(), &data, &length, nullptr)) {
            CRenderedPage image;
            int maxval = 0;
            size_t start = 0;
            if (ReadPpmHeader(std::string_view(data, length), image.width, image.height, maxval, start) &&
                maxval == 255) {
                const size_t bytes = size_t(image.width) * image.height * 3;
                if (start + bytes <= length) {
                    image.rgb.assign(data + start, data + start + bytes);
                    result = std::move(image);
                }
            }
            g_free(data);
        }
        g_unlink(ppm.c_str());
    }
    g_rmdir(dir);
    g_free(dir);
    return result;
}

}  // namespace

namespace {

std::optional<CRenderedPage> RenderWithPdftoppm(const std::string& path, int page,
                                                const std::vector<std::string>& scale)
{
    const std::string n = std::to_string(page);
    return RenderToPpm([&](const std::string& ppm) {
        std::vector<std::string> argv{"pdftoppm"};
        argv.insert(argv.end(), scale.begin(), scale.end());
        // pdftoppm adds ".ppm" to the name it is given.
        argv.insert(argv.end(), {"-f", n, "-l", n, "-singlefile", path, ppm.substr(0, ppm.size() - 4)});
        return argv;
    });
}

}  // namespace

std::optional<CRenderedPage> RenderPdfPage(const std::string& path, int page, int dpi)
{
    return RenderWithPdftoppm(path, page, {"-r", std::to_string(dpi)});
}

std::optional<CRenderedPage> RenderPdfPageTo(const std::string& path, int page, int width, int height)
{
    return RenderWithPdftoppm(path, page,
                              {"-scale-to-x", std::to_string(width), "-scale-to-y", std::to_string(height)});
}

bool HaveGhostscript()
{
    gchar* gs = g_find_program_in_path("gs");
    const bool found = gs != nullptr;
    g_free(gs);
    return found;
}

std::optional<CRenderedPage> RenderPostScriptPage(const std::string& path, int page, int dpi)
{
    const std::string n = std::to_string(page);
    return RenderToPpm([&](const std::string& ppm) {
        return std::vector<std::string>{"gs", "-q", "-dSAFER", "-dBATCH", "-dNOPAUSE", "-sDEVICE=ppmraw",
                                        "-r" + std::to_string(dpi), "-dFirstPage=" + n, "-dLastPage=" + n,
                                        "-sOutputFile=" + ppm, path};
    });
}

std::vector<std::string> CheckPosterPage(const CRenderedPage& image, int dpi, int page, const CRect& onPaper,
                                         int resolution)
{
    std::vector<std::string> failures;
    // The tile in rendered pixels.
    auto px = [&](int32_t dots) { return dots * double(dpi) / resolution; };
    const double left = px(onPaper.left), right = px(onPaper.right);
    const double top = px(onPaper.top), bottom = px(onPaper.bottom);

    auto expect = [&](double x, double y, poster::Rgb c, const char* what) {
        const int ix = int(x), iy = int(y);
        if (!image.Near(ix, iy, c.r, c.g, c.b))
            failures.push_back("page " + std::to_string(page) + " " + what + " at (" + std::to_string(ix) + "," +
                               std::to_string(iy) + ") is " + image.ColourText(ix, iy));
    };
    const poster::Rgb edge = poster::kEdge[page - 1], fill = poster::kFill[page - 1], white{255, 255, 255};
    const double in = 3, out = 4;
    expect(left + in, top + in, edge, "top left frame");
    expect(right - in, top + in, edge, "top right frame");
    expect(left + in, bottom - in, edge, "bottom left frame");
    expect(right - in, bottom - in, edge, "bottom right frame");
    expect((left + right) / 2, (top + bottom) / 2, fill, "middle");
    expect(left - out, (top + bottom) / 2, white, "left margin");
    expect(right + out, (top + bottom) / 2, white, "right margin");
    expect((left + right) / 2, top - out, white, "top margin");
    expect((left + right) / 2, bottom + out, white, "below the tile");
    return failures;
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
