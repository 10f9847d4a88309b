#include "settings/SettingStore.h"

#include "errors/Exception.h"
#include "settings/AppInfo.h"
#include "settings/SettingFormat.h"
#include "settings/SettingRange.h"
#include "xml/XmlText.h"

#include <glib.h>
#include <glib/gstdio.h>

#include <cerrno>

std::string CSettingLocation::Path() const
{
    gchar* path = g_build_filename(folder.c_str(), fileName.c_str(), nullptr);
    std::string result = path;
    g_free(path);
    return result;
}

CSettingLocation DefaultSettingLocation()
{
    return CSettingLocation{AppDataFolder(), TheAppInfo().productName + "32.config"};
}

bool LoadSettingsAtStart(CSetting& setting, qvn::CMsg& msg)
{
    return LoadSettings(setting, msg, DefaultSettingLocation().Path());
}

bool LoadSettings(CSetting& setting, qvn::CMsg& msg, const std::string& path)
{
    if (!g_file_test(path.c_str(), G_FILE_TEST_EXISTS))
        return true;
    CXmlSerializer xml;
    const bool read = ReadSettingFile(xml, setting, path);
    BringIntoRange(setting);
    if (!read && !msg.ConfirmSettingsUnreadable(xml.GetErr().text))
        return false;
    if (xml.Version() > kSettingFormatVersion && !msg.ConfirmSettingsNewer())
        return false;
    return true;
}

namespace {

// The settings as they can be written, and the URLs that had to go.
CSetting WithoutUncarriableUrls(const CSetting& setting, std::vector<std::string>& leftOut)
{
    CSetting result = setting;
    if (!IsXmlText(result.url)) {
        leftOut.push_back(result.url);
        result.url = DefaultStartUrl();
    }
    std::vector<std::string>& urls = result.urls.Items();
    for (auto it = urls.begin(); it != urls.end();) {
        if (IsXmlText(*it)) {
            ++it;
            continue;
        }
        leftOut.push_back(*it);
        it = urls.erase(it);
    }
    return result;
}

}  // namespace

std::vector<std::string> SaveSettings(const CSetting& setting) { return SaveSettings(setting, DefaultSettingLocation()); }

std::vector<std::string> SaveSettings(const CSetting& setting, const CSettingLocation& location)
{
    if (g_mkdir_with_parents(location.folder.c_str(), 0700) != 0) {
        const int error = errno;
        throw my::CException(58998, SysErr::FromErrno(error), {location.folder});
    }
    std::vector<std::string> leftOut;
    const CSetting writable = WithoutUncarriableUrls(setting, leftOut);
    CXmlSerializer xml;
    if (!WriteSettingFile(xml, writable, location.Path()))
        throw my::CException(xml.GetErr());
    return leftOut;
}
