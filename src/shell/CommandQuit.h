#pragma once
#include "settings/SettingStore.h"
#include "shell/Command.h"

class CQuorvaneView;
class CSetting;

// Runs when the main window closes, after it has stored its placement and bar
// layout: keeps the page shown as the start URL and writes the settings file.
class CCommandQuit : public CCommand {
public:
    // `view` may be null: the URL then counts as unreadable.
    CCommandQuit(qvn::CMsg* msg, CSetting& setting, CQuorvaneView* view,
                 CSettingLocation location = DefaultSettingLocation());

    // An unreadable URL is shown (186) at once and the old URL kept; the file
    // is still written. A folder or file that cannot be written raises.
    void Execute(bool execute) override;

private:
    CSetting& m_setting;
    CQuorvaneView* m_view;
    CSettingLocation m_location;
};
