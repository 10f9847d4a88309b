#pragma once
#include "errors/SimpleErr.h"

namespace boost { class regex_error; }

// The message for a regular-expression error, by its error code.
CSimpleErr RegexErrorRecord(const boost::regex_error& error);
uint32_t RegexErrorMessageId(int code);
