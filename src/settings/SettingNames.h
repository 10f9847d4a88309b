#pragma once
#include "printing/PageSetting.h"
#include "printing/PrintSetting.h"

#include <cstdint>
#include <string>

// The names the settings file gives to the fit type and the print flags.
// Unknown names raise my::CException 59014, values without a name 59013.

inline constexpr const char* kFitTypeEnumName = "PrintImageFitType";
inline constexpr const char* kPrintFlagsEnumName = "PrintSettingFlags";

// "FIT" or "DPI".
std::string FitTypeToName(PrintImageFitType fitType);
PrintImageFitType FitTypeFromName(const std::string& name);

// The names of the set bits in bit order joined by "|"; "" for no bit.
std::string PrintFlagsToText(uint32_t flags);
// "" is 0; otherwise every piece between bars must be a flag name.
uint32_t PrintFlagsFromText(const std::string& text);
