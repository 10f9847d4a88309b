#include "shell/StartupSettings.h"

// The settings file is not read or written yet: the program starts with the
// defaults every time.
bool LoadStartupSettings(CSetting&, qvn::CMsg&) { return true; }

void SaveShutdownSettings(CMainFrame&, CSetting&, qvn::CMsg&) {}
