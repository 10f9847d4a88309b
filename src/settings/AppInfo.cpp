#include "settings/AppInfo.h"

#include "common/ProgramPages.h"
#include "errors/StringTable.h"

#include <glib.h>

#include <optional>

namespace {

constexpr const char* kLegalNotice = "Copyright (C) 2026 Brackwater";

std::optional<CAppInfo>& Storage()
{
    static std::optional<CAppInfo> info;
    return info;
}

}  // namespace

std::array<uint16_t, 4> BuildVersion()
{
    // "+ 0" keeps a version without a fourth number compiling.
    return {QV_VERSION_MAJOR + 0, QV_VERSION_MINOR + 0, QV_VERSION_PATCH + 0, QV_VERSION_TWEAK + 0};
}

std::string VersionText(const std::array<uint16_t, 4>& v)
{
    return std::to_string(v[0]) + "." + std::to_string(v[1]) + "." + std::to_string(v[2]) + "." + std::to_string(v[3]);
}

std::string CAppInfo::VersionText() const { return ::VersionText(version); }

std::string CAppInfo::NameLine() const { return displayName + "  " + VersionText(); }

void InitAppInfo()
{
    if (Storage())
        return;
    CAppInfo info;
    info.companyName = LoadString(130);
    info.productName = LoadString(131);
    info.displayName = LoadString(140);
    info.homePageUrl = ResolveProgramPageUrl(LoadString(134));
    info.legalNotice = kLegalNotice;
    info.version = BuildVersion();
    Storage() = std::move(info);
}

const CAppInfo& TheAppInfo()
{
    InitAppInfo();
    return *Storage();
}

std::string AppDataFolder()
{
    const CAppInfo& info = TheAppInfo();
    gchar* folder = g_build_filename(g_get_user_config_dir(), info.companyName.c_str(), info.productName.c_str(), nullptr);
    std::string result = folder;
    g_free(folder);
    return result;
}
