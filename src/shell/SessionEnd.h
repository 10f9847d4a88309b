#pragma once
#include <glib.h>

#include <functional>
#include <vector>

typedef struct _GtkApplication GtkApplication;

// Watches for the end of the session: the session manager asking before a
// log-out or shut-down (the application's "query-end"), and SIGTERM, SIGHUP
// or SIGINT. Each runs `onEnd` on the user-interface thread, at most once.
class CSessionEndWatch {
public:
    CSessionEndWatch(GtkApplication* app, std::function<void()> onEnd);
    ~CSessionEndWatch();
    CSessionEndWatch(const CSessionEndWatch&) = delete;
    CSessionEndWatch& operator=(const CSessionEndWatch&) = delete;

private:
    static gboolean OnSignal(gpointer self);
    static void OnQueryEnd(GtkApplication*, gpointer self);
    void End();

    GtkApplication* m_app;
    std::function<void()> m_onEnd;
    std::vector<guint> m_sources;
    gulong m_queryEnd = 0;
    bool m_ended = false;
};
