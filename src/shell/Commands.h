#pragma once
#include "shell/Command.h"

#include <string>

class CQuorvaneView;
class CSetting;
class CMainFrame;
namespace Gtk { class Window; }

// Puts the browser into silent mode and opens the stored start URL, or the
// URL the program was started with (which then heads the recent URLs).
class CCommandInit : public CCommand {
public:
    CCommandInit(qvn::CMsg* msg, CQuorvaneView& view, CSetting& setting) : CCommand(msg), m_view(view), m_setting(setting) {}
    void Execute(bool execute) override;
    void SetStartUrl(std::string url) { m_startUrl = std::move(url); }

private:
    CQuorvaneView& m_view;
    CSetting& m_setting;
    std::string m_startUrl;
};

class CCommandReload : public CCommand {
public:
    CCommandReload(qvn::CMsg* msg, CQuorvaneView& view) : CCommand(msg), m_view(view) {}
    void Execute(bool execute) override;

private:
    CQuorvaneView& m_view;
};

// Opens one of the program's web pages (string 134 or 135) in the user's
// default browser.
class CCommandOpenUrl : public CCommand {
public:
    using CCommand::CCommand;
    void SetStringId(int id) { m_stringId = id; }
    void Execute(bool execute) override;
    // The window the default browser is asked from; may be null.
    void SetParent(Gtk::Window* parent) { m_parent = parent; }

private:
    int m_stringId = 0;
    Gtk::Window* m_parent = nullptr;
};

// Opens a recommended site (strings 181-184) in the hosted browser and adds it
// to the recent URLs; the start URL is stored only at exit.
class CCommandOpenLink : public CCommand {
public:
    CCommandOpenLink(qvn::CMsg* msg, CQuorvaneView& view, CSetting& setting) : CCommand(msg), m_view(view), m_setting(setting) {}
    void SetStringId(int id) { m_stringId = id; }
    void Execute(bool execute) override;

private:
    CQuorvaneView& m_view;
    CSetting& m_setting;
    int m_stringId = 0;
};

// Toggles the tool bar, the size bar or the status bar.
class CCommandShowBar : public CCommand {
public:
    CCommandShowBar(qvn::CMsg* msg, CMainFrame& frame, int commandId) : CCommand(msg), m_frame(frame), m_commandId(commandId) {}
    void Execute(bool execute) override;

private:
    CMainFrame& m_frame;
    int m_commandId;
};
