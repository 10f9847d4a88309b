#pragma once
#include "errors/SimpleErr.h"

#include <exception>
#include <functional>

// The one mapping from whatever was thrown to the program's error record,
// used wherever a failure is shown or kept: the program's exceptions give
// their own record (a failure about one control also names the control in
// `control`), regular expression errors their message, the toolkit's
// Glib::Error (not a std::exception) 58723 with its code and text, other
// standard exceptions 58722 with their text, anything else 58724.
CSimpleErr ErrorRecordOf(const std::exception_ptr& error, void** control = nullptr);

// The record of the exception being handled: only inside a catch block.
inline CSimpleErr CurrentErrorRecord(void** control = nullptr)
{
    return ErrorRecordOf(std::current_exception(), control);
}

// The error record of whatever escapes `body`; a record with id 0 when
// nothing did.
CSimpleErr RunGuarded(const std::function<void()>& body, void** control = nullptr);
