#include "common/NumberText.h"

#include <boost/regex.hpp>
#include <cerrno>
#include <cstdlib>
#include <limits>

std::optional<int32_t> ParseIntText(std::string_view text)
{
    static const boost::regex pattern(R"(^((?:\+?|-?)[0-9]+)(?:\.?|\.([0-9]+))$)");
    boost::match_results<std::string_view::const_iterator> match;
    if (!boost::regex_match(text.begin(), text.end(), match, pattern))
        return std::nullopt;
    const std::string whole = match[1].str();
    errno = 0;
    const long long value = std::strtoll(whole.c_str(), nullptr, 10);
    if (value > std::numeric_limits<int32_t>::max())
        return std::numeric_limits<int32_t>::max();
    if (value < std::numeric_limits<int32_t>::min())
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

std::string IntToText(int32_t value)
{
    return std::to_string(value);
}
