#include "xml/XmlText.h"

#include "common/NumberText.h"

#include <glib.h>

std::optional<bool> ParseBoolText(std::string_view text)
{
    if (text == "true")
        return true;
    if (text == "false")
        return false;
    return std::nullopt;
}

const char* BoolToText(bool value) { return value ? "true" : "false"; }

std::optional<uint32_t> ParseDwordText(std::string_view text)
{
    uint32_t value = 0;
    for (const char c : text) {
        const int digit = g_ascii_xdigit_value(c);
        if (digit < 0)
            return std::nullopt;
        // Shifting pushes all but the last 8 digits out.
        value = (value << 4) | static_cast<uint32_t>(digit);
    }
    return value;
}

std::string DwordToText(uint32_t value)
{
    char text[9];
    g_snprintf(text, sizeof text, "%08X", value);
    return text;
}

std::optional<uint32_t> ParseVersionText(std::string_view text)
{
    uint32_t version = 0;
    int count = 0;
    size_t start = 0;
    while (true) {
        const size_t dot = text.find('.', start);
        const std::string_view piece = text.substr(start, dot == std::string_view::npos ? std::string_view::npos : dot - start);
        if (++count > 4)
            return std::nullopt;
        const std::optional<int32_t> number = ParseIntText(piece);
        if (!number || *number < 0 || *number > 255)
            return std::nullopt;
        version |= static_cast<uint32_t>(*number) << (8 * (4 - count));
        if (dot == std::string_view::npos)
            return version;
        start = dot + 1;
    }
}

std::string VersionToText(uint32_t version)
{
    char text[16];
    g_snprintf(text, sizeof text, "%u.%u.%u.%u", version >> 24, (version >> 16) & 0xFF, (version >> 8) & 0xFF,
               version & 0xFF);
    return text;
}

std::string_view TrimXmlSpace(std::string_view text)
{
    constexpr std::string_view space = " \t\r\n";
    const size_t first = text.find_first_not_of(space);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(space) - first + 1);
}

bool IsXmlText(std::string_view text)
{
    const char* end = nullptr;
    if (!g_utf8_validate(text.data(), static_cast<gssize>(text.size()), &end))
        return false;
    for (const char* p = text.data(); p < text.data() + text.size(); p = g_utf8_next_char(p)) {
        const gunichar c = g_utf8_get_char(p);
        const bool allowed = c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
                             (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
        if (!allowed)
            return false;
    }
    return true;
}
