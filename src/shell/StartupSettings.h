#pragma once

class CSetting;
namespace qvn { class CMsg; }

// Reads the settings file at start; false when the user chose not to go on.
bool LoadStartupSettings(CSetting& setting, qvn::CMsg& msg);
