#include "settings/Setting.h"

#include "errors/StringTable.h"

namespace {
CSetting* g_setting = nullptr;
}

std::string DefaultStartUrl() { return LoadString(181); }

CSetting::CSetting() : url(DefaultStartUrl()) {}

CSetting* TheSetting() { return g_setting; }
void SetTheSetting(CSetting* setting) { g_setting = setting; }
