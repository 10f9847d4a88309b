#include "shell/Command.h"

#include "errors/Exception.h"
#include "errors/MessageFormat.h"
#include "errors/RegexErr.h"

#include <boost/regex.hpp>
#include <glibmm/error.h>
#include <gtk/gtk.h>

CSimpleErr RunGuarded(const std::function<void()>& body, void** control)
{
    if (control)
        *control = nullptr;
    try {
        body();
        return {};
    } catch (const my::CCtrlException& e) {
        if (control)
            *control = e.Control();
        return e.Err();
    } catch (const my::CException& e) {
        return e.Err();
    } catch (const boost::regex_error& e) {
        return RegexErrorRecord(e);
    } catch (const Glib::Error& e) {
        // The toolkit's own exception, which carries a code as the window
        // library's exceptions did.
        return MakeErr(58723, SysErr{e.code(), e.what()});
    } catch (const std::exception& e) {
        return MakeErr(58722, {e.what()});
    } catch (...) {
        return MakeErr(58724);
    }
}

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
