#include "ImagingTestUtil.h"

#include <gdk-pixbuf/gdk-pixbuf.h>
#include <glib.h>
#include <glib/gstdio.h>

#include <algorithm>

CDibSectionPtr MakeCapture(int width, int height, const std::function<uint32_t(int, int)>& colour, int32_t ppmX,
                           int32_t ppmY)
{
    CDibSectionPtr dib = CDibSection::New(width, height);
    if (!dib)
        return nullptr;
    dib->Header()->biXPelsPerMeter = ppmX;
    dib->Header()->biYPelsPerMeter = ppmY;
    for (int y = 0; y < height; ++y) {
        uint8_t* row = dib->RowFromTop(y);
        for (int x = 0; x < width; ++x) {
            const uint32_t c = colour(x, y);
            row[3 * x] = uint8_t(c), row[3 * x + 1] = uint8_t(c >> 8), row[3 * x + 2] = uint8_t(c >> 16);
        }
    }
    return dib;
}

bool DecodeImageFile(const std::string& path, CDecoded& out)
{
    GdkPixbuf* pixbuf = gdk_pixbuf_new_from_file(path.c_str(), nullptr);
    if (!pixbuf)
        return false;
    out.width = gdk_pixbuf_get_width(pixbuf);
    out.height = gdk_pixbuf_get_height(pixbuf);
    const int channels = gdk_pixbuf_get_n_channels(pixbuf);
    const int stride = gdk_pixbuf_get_rowstride(pixbuf);
    const guint8* data = gdk_pixbuf_read_pixels(pixbuf);
    out.pixels.clear();
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x) {
            const guint8* p = data + size_t(y) * stride + size_t(x) * channels;
            out.pixels.push_back(uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2]);
        }
    g_object_unref(pixbuf);
    return true;
}

CTempFolder::CTempFolder()
{
    gchar* dir = g_dir_make_tmp("quorvane-imaging-XXXXXX", nullptr);
    m_path = dir ? dir : "";
    g_free(dir);
}

CTempFolder::~CTempFolder()
{
    if (m_path.empty())
        return;
    g_chmod(m_path.c_str(), 0755);
    for (const std::string& name : Names()) {
        const std::string path = File(name);
        if (g_file_test(path.c_str(), G_FILE_TEST_IS_DIR)) {
            g_chmod(path.c_str(), 0755);
            g_rmdir(path.c_str());
        } else {
            g_unlink(path.c_str());
        }
    }
    g_rmdir(m_path.c_str());
}

std::vector<std::string> CTempFolder::Names() const
{
    std::vector<std::string> names;
    if (GDir* dir = g_dir_open(m_path.c_str(), 0, nullptr)) {
        while (const gchar* name = g_dir_read_name(dir))
            names.emplace_back(name);
        g_dir_close(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string ReadWholeFile(const std::string& path)
{
    gchar* data = nullptr;
    gsize size = 0;
    if (!g_file_get_contents(path.c_str(), &data, &size, nullptr))
        return {};
    std::string text(data, size);
    g_free(data);
    return text;
}

void WriteWholeFile(const std::string& path, const std::string& data)
{
    g_file_set_contents(path.c_str(), data.data(), gssize(data.size()), nullptr);
}
