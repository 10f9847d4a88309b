#include "shell/StartupSettings.h"

#include "settings/SettingStore.h"

bool LoadStartupSettings(CSetting& setting, qvn::CMsg& msg)
{
    return LoadSettingsAtStart(setting, msg);
}
