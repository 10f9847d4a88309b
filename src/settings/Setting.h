#pragma once
#include "common/Types.h"
#include "printing/PageSetting.h"
#include "printing/PrintSetting.h"
#include "printing/devices/PrinterChoice.h"
#include "settings/MruStrings.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// One rebar band as stored: id, width in pixels, starts a new row.
struct CReBarBandSetting {
    uint32_t id = 0;
    uint32_t cx = 0;
    bool breakLine = false;
    bool operator==(const CReBarBandSetting&) const = default;
};

// Window placement (the base part) and the bar layout of the main frame.
struct CWindowPlacementSetting {
    bool maximized = false;
    CRect rect;  // last normal window rectangle; empty = none stored yet
    bool operator==(const CWindowPlacementSetting&) const = default;
};

struct CMainFrameSetting : CWindowPlacementSetting {
    bool showDlgBar = true;
    bool showToolBar = true;
    bool showStatusBar = true;
    std::vector<CReBarBandSetting> bands;
    bool operator==(const CMainFrameSetting&) const = default;
};

// Everything the program keeps between runs. The constructor holds every
// default; the settings file mirrors these members one to one.
class CSetting {
public:
    CSetting();

    int32_t width = 1024;
    int32_t height = 768;
    int32_t scrollX = 0;
    int32_t scrollY = 0;
    CRect trim;
    std::string url;
    CMruStrings urls;
    CPageSetting pageSetting;
    CSimplePrintSetting printSetting;
    CMainFrameSetting mainFrame;
    // The page setup dialog's printer and paper; none = the default printer
    // with its defaults.
    std::optional<CPrinterChoice> printerChoice;

    // Accessors for the bound controls of the size bar and the dialogs.
    int GetWidth() const { return width; }
    void SetWidth(int v) { width = v; }
    int GetHeight() const { return height; }
    void SetHeight(int v) { height = v; }
    int GetTrimLeft() const { return trim.left; }
    void SetTrimLeft(int v) { trim.left = v; }
    int GetTrimTop() const { return trim.top; }
    void SetTrimTop(int v) { trim.top = v; }
    int GetTrimRight() const { return trim.right; }
    void SetTrimRight(int v) { trim.right = v; }
    int GetTrimBottom() const { return trim.bottom; }
    void SetTrimBottom(int v) { trim.bottom = v; }

    bool operator==(const CSetting&) const = default;
};

// The settings object of the running program; set by start-up for the life of
// the main loop, read on the user-interface thread only.
CSetting* TheSetting();
void SetTheSetting(CSetting* setting);

// The default start URL (string 181).
std::string DefaultStartUrl();
