#include "errors/MessageFormat.h"

#include "errors/StringTable.h"

#include <glib.h>

#include <cstring>

size_t Utf8Length(const std::string& text)
{
    if (g_utf8_validate(text.c_str(), text.size(), nullptr))
        return g_utf8_strlen(text.c_str(), text.size());
    return text.size();
}

namespace {

// Cuts UTF-8 text after `limit` characters without splitting a character.
std::string TruncateChars(const std::string& text, size_t limit)
{
    if (!g_utf8_validate(text.c_str(), text.size(), nullptr))
        return text.substr(0, std::min(limit, text.size()));
    const char* p = text.c_str();
    const char* end = p + text.size();
    for (size_t n = 0; n < limit && p < end; ++n)
        p = g_utf8_next_char(p);
    return text.substr(0, p - text.c_str());
}

}  // namespace

std::string FormatText(const std::string& pattern, const std::vector<std::string>& inserts, size_t limit)
{
    std::string out;
    size_t next = 0;
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size()) {
            if (pattern[i + 1] == 's') {
                if (next < inserts.size())
                    out += inserts[next];
                ++next;
                ++i;
                continue;
            }
            if (pattern[i + 1] == '%') {
                out += '%';
                ++i;
                continue;
            }
        }
        out += pattern[i];
    }
    return Utf8Length(out) > limit ? TruncateChars(out, limit) : out;
}

std::string FormatMessageText(uint32_t id, const std::vector<std::string>& inserts)
{
    const std::string pattern = LoadString(id);
    return FormatText(pattern, inserts, Utf8Length(pattern) + 1024);
}

std::string TrimText(const std::string& text)
{
    const char* space = " \t\r\n\v\f";
    const size_t first = text.find_first_not_of(space);
    if (first == std::string::npos)
        return {};
    const size_t last = text.find_last_not_of(space);
    return text.substr(first, last - first + 1);
}

std::string ErrorCodeText(int32_t code)
{
    // glibc answers codes it does not know with "Unknown error N".
    const char* known = code > 0 ? g_strerror(code) : nullptr;
    if (!known || std::strncmp(known, "Unknown error", 13) == 0) {
        char hex[16];
        g_snprintf(hex, sizeof hex, "%x", static_cast<uint32_t>(code));
        return std::string("Unknown HRESULT: ") + hex;
    }
    return TrimText(known);
}
