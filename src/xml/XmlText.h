#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The text forms of the values kept in XML documents. Integers use
// ParseIntText/IntToText (common/NumberText.h).

// Exactly "true" or "false".
std::optional<bool> ParseBoolText(std::string_view text);
const char* BoolToText(bool value);

// Hexadecimal digits of either case, no prefix or sign; empty is 0; only the
// last 8 digits count.
std::optional<uint32_t> ParseDwordText(std::string_view text);
// Exactly 8 upper-case hexadecimal digits.
std::string DwordToText(uint32_t value);

// 1 to 4 numbers 0-255 joined by "."; missing trailing numbers are 0. The
// first number is the most significant byte (1.2 is 0x01020000).
std::optional<uint32_t> ParseVersionText(std::string_view text);
std::string VersionToText(uint32_t version);

// Removes XML white space (space, tab, CR, LF) from both ends.
std::string_view TrimXmlSpace(std::string_view text);

// True when the text is valid UTF-8 made only of characters an XML 1.0
// document can hold.
bool IsXmlText(std::string_view text);
