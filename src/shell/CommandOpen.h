#pragma once
#include "shell/Command.h"

#include <string>

class CQuorvaneView;
class CSetting;
namespace Gtk { class Window; }

// Ctrl+O: asks for a URL (prefilled from the clipboard) and opens it: the URL
// becomes the current URL, heads the recent URLs, and the browser goes there.
class CCommandOpen : public CCommand {
public:
    CCommandOpen(qvn::CMsg& msg, CSetting& setting, CQuorvaneView& view);
    void Execute(bool execute) override;
    // The window the dialog is modal over when no window of the program is
    // active (the main frame).
    void SetParent(Gtk::Window* parent) { m_parent = parent; }

private:
    CSetting& m_setting;
    CQuorvaneView& m_view;
    Gtk::Window* m_parent = nullptr;
};

// Puts `url` at the head of the recent URLs, then navigates the browser to it
// (message 185 when the browser refuses it; the URL stays in the list). Used
// by Open and by the recommended-site links.
void RememberAndNavigate(CSetting& setting, CQuorvaneView& view, const std::string& url);

