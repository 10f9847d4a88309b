#include "errors/ErrorRecord.h"

#include "errors/Exception.h"
#include "errors/RegexErr.h"

#include <boost/regex.hpp>
#include <glibmm/error.h>

CSimpleErr ErrorRecordOf(const std::exception_ptr& error, void** control)
{
    if (control)
        *control = nullptr;
    if (!error)
        return {};
    try {
        std::rethrow_exception(error);
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

CSimpleErr RunGuarded(const std::function<void()>& body, void** control)
{
    if (control)
        *control = nullptr;
    try {
        body();
        return {};
    } catch (...) {
        return CurrentErrorRecord(control);
    }
}
