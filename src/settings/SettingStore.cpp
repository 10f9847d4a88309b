#include "settings/SettingStore.h"

#include "errors/Exception.h"
#include "settings/AppInfo.h"
#include "settings/SettingFormat.h"

#include <glib.h>
#include <glib/gstdio.h>

#include <cerrno>

namespace {

// Values that every later computation divides by, and the glue overlap's range.
void BringIntoRange(CSetting& setting)
{
    CPageSetting& page = setting.pageSetting;
    page.assembly.overlap = page.assembly.ClampedOverlap();
    if (page.dpi <= 0)
        page.dpi = 1;
    if (page.papers.cx <= 0)
        page.papers.cx = 1;
    if (page.papers.cy <= 0)
        page.papers.cy = 1;
}

}  // namespace

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

void SaveSettings(const CSetting& setting) { SaveSettings(setting, DefaultSettingLocation()); }

void SaveSettings(const CSetting& setting, const CSettingLocation& location)
{
    if (g_mkdir_with_parents(location.folder.c_str(), 0700) != 0) {
        const int error = errno;
        throw my::CException(58998, SysErr::FromErrno(error), {location.folder});
    }
    CXmlSerializer xml;
    if (!WriteSettingFile(xml, setting, location.Path()))
        throw my::CException(xml.GetErr());
}
