#include "common/ProgramPages.h"

#include <glib.h>

#include <memory>

namespace {

std::string ExecutableFolder()
{
    gchar* exe = g_file_read_link("/proc/self/exe", nullptr);
    if (!exe)
        return {};
    gchar* dir = g_path_get_dirname(exe);
    std::string folder = dir;
    g_free(dir);
    g_free(exe);
    return folder;
}

}  // namespace

std::string ProgramPagesFolder()
{
    // Installed: <prefix>/bin/quorvane and <prefix>/share/quorvane/pages.
    const std::string exeFolder = ExecutableFolder();
    if (!exeFolder.empty()) {
        gchar* installed = g_build_filename(exeFolder.c_str(), "..", "share", "quorvane", "pages", nullptr);
        const bool found = g_file_test(installed, G_FILE_TEST_IS_DIR);
        std::string folder = installed;
        g_free(installed);
        if (found)
            return folder;
    }
    return QV_DATA_DIR;
}

std::string ResolveProgramPageUrl(const std::string& url)
{
    constexpr std::string_view prefix = "qvpage:";
    if (url.rfind(prefix, 0) != 0)
        return url;
    gchar* path = g_build_filename(ProgramPagesFolder().c_str(), url.c_str() + prefix.size(), nullptr);
    gchar* uri = g_filename_to_uri(path, nullptr, nullptr);
    std::string result = uri ? uri : url;
    g_free(uri);
    g_free(path);
    return result;
}
