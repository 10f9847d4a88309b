#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>
#include <string_view>

// The one number format the program accepts, from the user and from the
// settings file: an optional sign, digits, optionally "." and more digits.
// The fraction is dropped; the integer part saturates at the 32-bit limits.
// Returns nothing when the text does not match.
std::optional<int32_t> ParseIntText(std::string_view text);

// Decimal text, "-" before negative values, no "+", no leading zeros.
std::string IntToText(int32_t value);

// Hundredths of a millimetre as millimetres with one decimal ("10.0").
std::string HundredthsToMillimetreText(int32_t hundredths);
// Millimetres in the same number format, as hundredths of a millimetre
// (rounded, halves away from zero, saturating); nothing when the text does
// not match.
std::optional<int32_t> ParseMillimetreText(std::string_view text);

// "1" to `count`, the list items of the sheet and page combo boxes.
std::vector<std::string> NumberItems(int count);
