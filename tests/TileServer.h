#pragma once
// The loopback map server of the capture tests (fixtures/tile_server.py): a
// page whose tiles arrive 1 to 3 seconds after its load event.
#include <glib.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

class TileServer {
public:
    TileServer()
    {
        const char* dir = std::getenv("QV_TEST_FIXTURES");
        const std::string script = std::string(dir ? dir : ".") + "/tile_server.py";
        gchar* argv[] = {const_cast<gchar*>("python3"), const_cast<gchar*>(script.c_str()), nullptr};
        int out = -1;
        if (!g_spawn_async_with_pipes(nullptr, argv, nullptr, G_SPAWN_SEARCH_PATH, nullptr, nullptr, &m_pid,
                                      nullptr, &out, nullptr, nullptr))
            return;
        // The first line is the port; a loaded machine may take seconds to start Python.
        std::string line;
        pollfd fd{out, POLLIN, 0};
        while (line.find('\n') == std::string::npos && poll(&fd, 1, 30000) > 0) {
            char buffer[64];
            const ssize_t n = read(out, buffer, sizeof buffer);
            if (n <= 0)
                break;
            line.append(buffer, static_cast<size_t>(n));
        }
        close(out);
        m_port = std::atoi(line.c_str());
    }
    ~TileServer()
    {
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            waitpid(m_pid, nullptr, 0);
            g_spawn_close_pid(m_pid);
        }
    }
    TileServer(const TileServer&) = delete;
    TileServer& operator=(const TileServer&) = delete;

    bool Running() const { return m_port > 0; }
    std::string MapUrl(int cols, int rows, int size, bool hang = false) const
    {
        return "http://127.0.0.1:" + std::to_string(m_port) + "/map.html?cols=" + std::to_string(cols) +
               "&rows=" + std::to_string(rows) + "&size=" + std::to_string(size) + (hang ? "&hang=1" : "");
    }
    // A page of the fixtures folder.
    std::string PageUrl(const std::string& name) const
    {
        return "http://127.0.0.1:" + std::to_string(m_port) + "/page/" + name;
    }
    std::string HangUrl() const { return "http://127.0.0.1:" + std::to_string(m_port) + "/hang"; }

    // 0xRRGGBB of tile (x, y), as the server draws it.
    static uint32_t TileColour(int x, int y)
    {
        return uint32_t((40 + 50 * x) % 256) << 16 | uint32_t((60 + 70 * y) % 256) << 8 |
               uint32_t((90 + 30 * (x + y)) % 256);
    }

private:
    GPid m_pid = 0;
    int m_port = 0;
};
