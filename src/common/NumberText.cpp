#include "common/NumberText.h"

#include "common/Saturate.h"

#include <boost/regex.hpp>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <utility>

namespace {

// The whole part (sign and digits) and the digits after the point.
std::optional<std::pair<std::string, std::string>> MatchNumber(std::string_view text)
{
    static const boost::regex pattern(R"(^((?:\+?|-?)[0-9]+)(?:\.?|\.([0-9]+))$)");
    boost::match_results<std::string_view::const_iterator> match;
    if (!boost::regex_match(text.begin(), text.end(), match, pattern))
        return std::nullopt;
    return std::pair{match[1].str(), match[2].matched ? match[2].str() : std::string()};
}

}  // namespace

std::optional<int32_t> ParseIntText(std::string_view text)
{
    const auto number = MatchNumber(text);
    if (!number)
        return std::nullopt;
    errno = 0;
    return Saturate32(std::strtoll(number->first.c_str(), nullptr, 10));
}

std::optional<int32_t> ParseMillimetreText(std::string_view text)
{
    const auto number = MatchNumber(text);
    if (!number)
        return std::nullopt;
    const auto& [whole, fraction] = *number;
    // Three digits after the point decide the rounding; more cannot change it.
    std::string thousandths = fraction.substr(0, 3);
    thousandths.resize(3, '0');
    const long double magnitude =
        std::fabs(std::strtold(whole.c_str(), nullptr)) * 100 + std::round(std::stold(thousandths) / 10.0L);
    return TruncSaturate32(static_cast<double>(whole[0] == '-' ? -magnitude : magnitude));
}

std::string HundredthsToMillimetreText(int32_t hundredths)
{
    // Tenths, rounded with halves away from zero.
    const int64_t tenths = (static_cast<int64_t>(hundredths) + (hundredths < 0 ? -5 : 5)) / 10;
    const int64_t magnitude = tenths < 0 ? -tenths : tenths;
    return (tenths < 0 ? "-" : "") + std::to_string(magnitude / 10) + "." + std::to_string(magnitude % 10);
}

std::string IntToText(int32_t value)
{
    return std::to_string(value);
}

std::vector<std::string> NumberItems(int count)
{
    std::vector<std::string> items;
    for (int i = 1; i <= count; ++i)
        items.push_back(IntToText(i));
    return items;
}
