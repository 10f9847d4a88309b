#pragma once

class CSetting;
class CMainFrame;
namespace qvn { class CMsg; }

// Reads the settings file at start; false when the user chose not to go on.
bool LoadStartupSettings(CSetting& setting, qvn::CMsg& msg);

// Stores the current URL and writes the settings file at a normal close.
void SaveShutdownSettings(CMainFrame& frame, CSetting& setting, qvn::CMsg& msg);
