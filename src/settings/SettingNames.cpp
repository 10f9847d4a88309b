#include "settings/SettingNames.h"

#include "errors/Exception.h"

#include <glib.h>

#include <array>
#include <utility>

namespace {

constexpr std::array<std::pair<uint32_t, const char*>, 6> kFlagNames{{
    {USE_SELECTION, "USE_SELECTION"},
    {USE_PAGENUMS, "USE_PAGENUMS"},
    {RESERVED_1, "RESERVED_1"},
    {RESERVED_2, "RESERVED_2"},
    {COLLATE, "COLLATE"},
    {TO_FILE, "TO_FILE"},
}};

constexpr uint32_t kKnownFlags = 0x3F;

}  // namespace

std::string FitTypeToName(PrintImageFitType fitType)
{
    switch (fitType) {
    case FIT: return "FIT";
    case DPI: return "DPI";
    }
    throw my::CException(59013, {kFitTypeEnumName, std::to_string(static_cast<int32_t>(fitType))});
}

PrintImageFitType FitTypeFromName(const std::string& name)
{
    if (name == "FIT")
        return FIT;
    if (name == "DPI")
        return DPI;
    throw my::CException(59014, {kFitTypeEnumName, name});
}

std::string PrintFlagsToText(uint32_t flags)
{
    if (const uint32_t unknown = flags & ~kKnownFlags) {
        char hex[16];
        g_snprintf(hex, sizeof hex, "0x%x", unknown);
        throw my::CException(59013, {kPrintFlagsEnumName, hex});
    }
    std::string text;
    for (const auto& [bit, name] : kFlagNames) {
        if (flags & bit) {
            if (!text.empty())
                text += '|';
            text += name;
        }
    }
    return text;
}

uint32_t PrintFlagsFromText(const std::string& text)
{
    if (text.empty())
        return 0;
    uint32_t flags = 0;
    size_t start = 0;
    while (true) {
        const size_t bar = text.find('|', start);
        const std::string piece = text.substr(start, bar == std::string::npos ? std::string::npos : bar - start);
        bool known = false;
        for (const auto& [bit, name] : kFlagNames) {
            if (piece == name) {
                flags |= bit;
                known = true;
                break;
            }
        }
        if (!known)
            throw my::CException(59014, {kPrintFlagsEnumName, piece});
        if (bar == std::string::npos)
            return flags;
        start = bar + 1;
    }
}
