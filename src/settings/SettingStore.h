#pragma once
#include "errors/Msg.h"
#include "settings/Setting.h"

#include <string>
#include <vector>

// Where the settings file lives.
struct CSettingLocation {
    std::string folder;
    std::string fileName;
    std::string Path() const;
};

// The user's configuration folder + "Brackwater/Quorvane", file "Quorvane32.config".
CSettingLocation DefaultSettingLocation();

// Reads the settings file once at start-up. No file: the defaults stand and
// nothing is asked. A file that cannot be read asks 58708 with the reason, a
// file of a newer format asks 58710. False when the user chose Cancel: the
// program then ends without a window and the file stays untouched.
bool LoadSettingsAtStart(CSetting& setting, qvn::CMsg& msg);
bool LoadSettings(CSetting& setting, qvn::CMsg& msg, const std::string& path);

// Writes the settings file, creating its folder chain. Raises my::CException:
// 58998 when the folder cannot be created, the serializer's error when the
// file cannot be written. The previous file survives any failure. A URL that
// XML cannot carry (a control character, broken UTF-8) is left out rather
// than failing the whole file: a recent URL is dropped, the start URL falls
// back to the default. Returns the URLs left out.
std::vector<std::string> SaveSettings(const CSetting& setting);
std::vector<std::string> SaveSettings(const CSetting& setting, const CSettingLocation& location);
