#include "shell/SessionEnd.h"

#include <glib-unix.h>
#include <gtk/gtk.h>

#include <csignal>

CSessionEndWatch::CSessionEndWatch(GtkApplication* app, std::function<void()> onEnd)
    : m_app(app), m_onEnd(std::move(onEnd))
{
    // g_unix_signal_add turns the signal into an event of the main loop, so
    // the shutdown runs where it may touch windows and files.
    for (int signum : {SIGTERM, SIGHUP, SIGINT})
        m_sources.push_back(g_unix_signal_add(signum, &CSessionEndWatch::OnSignal, this));
    if (m_app) {
        g_object_ref(m_app);
        m_queryEnd = g_signal_connect(m_app, "query-end", G_CALLBACK(&CSessionEndWatch::OnQueryEnd), this);
    }
}

CSessionEndWatch::~CSessionEndWatch()
{
    for (guint source : m_sources)
        g_source_remove(source);
    if (m_app) {
        g_signal_handler_disconnect(m_app, m_queryEnd);
        g_object_unref(m_app);
    }
}

gboolean CSessionEndWatch::OnSignal(gpointer self)
{
    static_cast<CSessionEndWatch*>(self)->End();
    // A second signal while shutting down is taken by the same source again.
    return G_SOURCE_CONTINUE;
}

void CSessionEndWatch::OnQueryEnd(GtkApplication*, gpointer self)
{
    static_cast<CSessionEndWatch*>(self)->End();
}

void CSessionEndWatch::End()
{
    if (m_ended)
        return;
    m_ended = true;
    if (m_onEnd)
        m_onEnd();
}
