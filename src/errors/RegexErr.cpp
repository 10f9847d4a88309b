#include "errors/RegexErr.h"

#include "errors/Exception.h"

#include <boost/regex.hpp>

uint32_t RegexErrorMessageId(int code)
{
    switch (code) {
    case boost::regex_constants::error_bad_pattern: return 59384;
    case boost::regex_constants::error_collate: return 59371;
    case boost::regex_constants::error_ctype: return 59372;
    case boost::regex_constants::error_escape: return 59373;
    case boost::regex_constants::error_backref: return 59374;
    case boost::regex_constants::error_brack: return 59375;
    case boost::regex_constants::error_paren: return 59376;
    case boost::regex_constants::error_brace: return 59377;
    case boost::regex_constants::error_badbrace: return 59378;
    case boost::regex_constants::error_range: return 59379;
    case boost::regex_constants::error_space: return 59380;
    case boost::regex_constants::error_badrepeat: return 59381;
    case boost::regex_constants::error_complexity: return 59382;
    case boost::regex_constants::error_stack: return 59383;
    default: return 59369;
    }
}

CSimpleErr RegexErrorRecord(const boost::regex_error& error)
{
    const uint32_t id = RegexErrorMessageId(error.code());
    return id == 59369 ? MakeErr(id, {error.what()}) : MakeErr(id);
}
