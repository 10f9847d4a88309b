#include "shell/Command.h"

#include "errors/Exception.h"

#include <gtk/gtk.h>

void CCommand::RunAndReport(bool execute, bool rethrow)
{
    void* control = nullptr;
    const CSimpleErr err = RunGuarded([&] { Execute(execute); }, &control);
    if (!err.Failed())
        return;
    if (control && GTK_IS_WIDGET(control))
        gtk_widget_grab_focus(GTK_WIDGET(control));
    m_msg->ShowError(err);
    if (rethrow)
        throw my::CCtrlException(err, static_cast<GtkWidget*>(control));
}

void CCommand::RunQuietly()
{
    RunGuarded([&] { Execute(true); });
}

bool CCommand::Test()
{
    return !RunGuarded([&] { Execute(false); }).Failed();
}
