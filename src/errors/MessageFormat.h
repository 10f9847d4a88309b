#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Fills each "%s" of the pattern with the next insert ("%%" gives "%"), and
// truncates the result to `limit` characters.
std::string FormatText(const std::string& pattern, const std::vector<std::string>& inserts, size_t limit);

// The message text for a string id: the entry with its inserts, at most the
// entry's length + 1024 characters.
std::string FormatMessageText(uint32_t id, const std::vector<std::string>& inserts = {});

// The system's text for an error code (errno), trimmed; "Unknown HRESULT: "
// and the code in lower-case hexadecimal when the system has none.
std::string ErrorCodeText(int32_t code);

// Removes white space (also CR and LF) from both ends.
std::string TrimText(const std::string& text);

// Counts characters (code points) of UTF-8 text.
size_t Utf8Length(const std::string& text);
