#pragma once
#include <glib.h>
#include <glib/gstdio.h>

#include <string>

// A fresh folder under the system's temporary folder, removed with all its
// contents when the object goes.
class CTempFolder {
public:
    CTempFolder()
    {
        gchar* path = g_dir_make_tmp("quorvane-test-XXXXXX", nullptr);
        m_path = path ? path : "";
        g_free(path);
    }
    ~CTempFolder() { RemoveTree(m_path); }
    CTempFolder(const CTempFolder&) = delete;
    CTempFolder& operator=(const CTempFolder&) = delete;

    const std::string& Path() const { return m_path; }
    std::string operator/(const std::string& name) const
    {
        gchar* path = g_build_filename(m_path.c_str(), name.c_str(), nullptr);
        std::string result = path;
        g_free(path);
        return result;
    }

    static std::string ReadFile(const std::string& path)
    {
        gchar* contents = nullptr;
        gsize length = 0;
        if (!g_file_get_contents(path.c_str(), &contents, &length, nullptr))
            return {};
        std::string text(contents, length);
        g_free(contents);
        return text;
    }
    static bool WriteFile(const std::string& path, const std::string& text)
    {
        return g_file_set_contents(path.c_str(), text.data(), static_cast<gssize>(text.size()), nullptr);
    }

private:
    static void RemoveTree(const std::string& path)
    {
        if (path.empty())
            return;
        if (g_file_test(path.c_str(), G_FILE_TEST_IS_DIR) && !g_file_test(path.c_str(), G_FILE_TEST_IS_SYMLINK)) {
            if (GDir* dir = g_dir_open(path.c_str(), 0, nullptr)) {
                while (const gchar* name = g_dir_read_name(dir)) {
                    gchar* child = g_build_filename(path.c_str(), name, nullptr);
                    RemoveTree(child);
                    g_free(child);
                }
                g_dir_close(dir);
            }
        }
        g_remove(path.c_str());
    }

    std::string m_path;
};
