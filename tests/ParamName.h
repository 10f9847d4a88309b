#pragma once
// Names of parameterised test cases made from their values, so that a case
// is named the same in every build and says what it checks (gtest allows
// letters, digits and '_' only).
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace testname {

// Names over 48 characters keep their first 40 and a hash of the whole name,
// so that ctest's lines, padded to the longest name, stay readable.
inline std::string Capped(std::string name)
{
    constexpr size_t kMax = 48, kKept = 40;
    if (name.size() <= kMax)
        return name;
    uint32_t hash = 2166136261u;  // FNV-1a
    for (const unsigned char c : name)
        hash = (hash ^ c) * 16777619u;
    char tail[16];
    std::snprintf(tail, sizeof tail, "_%08X", hash);
    return name.substr(0, kKept) + tail;
}

// `text` with every character other than an ASCII letter or digit spelled
// out ("_Space_", "_Dot_", "_xE3_" for a byte of UTF-8); "Empty" for "".
inline std::string FromText(std::string_view text)
{
    if (text.empty())
        return "Empty";
    std::string name;
    for (const unsigned char c : text) {
        if (c < 0x80 && ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))) {
            name += static_cast<char>(c);
            continue;
        }
        const char* word = nullptr;
        switch (c) {
        case ' ': word = "Space"; break;
        case '\t': word = "Tab"; break;
        case '\r': word = "CR"; break;
        case '\n': word = "LF"; break;
        case '.': word = "Dot"; break;
        case ',': word = "Comma"; break;
        case '-': word = "Minus"; break;
        case '+': word = "Plus"; break;
        case '/': word = "Slash"; break;
        case ':': word = "Colon"; break;
        case '=': word = "Eq"; break;
        }
        char hex[8];
        std::snprintf(hex, sizeof hex, "x%02X", c);
        if (name.empty() || name.back() != '_')
            name += '_';
        name += word ? word : hex;
        name += '_';
    }
    return Capped(name);
}

inline std::string FromNumber(long long value)
{
    return value < 0 ? "Minus" + std::to_string(value).substr(1) : std::to_string(value);
}

// Arguments joined as one name, each spelled by FromText.
inline std::string FromArgs(const std::vector<std::string>& args)
{
    std::string name;
    for (const std::string& arg : args)
        name += (name.empty() ? "" : "_") + FromText(arg);
    return Capped(name);
}

}  // namespace testname
