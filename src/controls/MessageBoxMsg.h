#pragma once
#include "errors/Msg.h"

#include <functional>

namespace Gtk { class Window; }

// Message boxes as modal GTK message dialogs. The owner is the active window
// of the program, else the stored owner (the main frame).
class CMessageBoxMsg : public qvn::CMsg {
public:
    int ShowText(const std::string& text, unsigned type) override;
    void SetOwner(Gtk::Window* owner) { m_owner = owner; }

    // Without boxes (no display, or the session is ending and nobody may be
    // there to answer) a message goes to standard error and a question
    // answers 0, which every question takes as "no".
    void SetBoxesAllowed(bool allowed) { m_boxesAllowed = allowed; }
    Gtk::Window* Owner() const { return m_owner; }

    // Tests answer boxes here instead of showing them: the responder gets the
    // text, the caption and the type, and returns the button pressed.
    using Responder = std::function<int(const std::string& text, const std::string& caption, unsigned type)>;
    static void SetTestResponder(Responder responder);

private:
    Gtk::Window* m_owner = nullptr;
    bool m_boxesAllowed = true;
};

// The process-wide message object.
CMessageBoxMsg& TheMsg();
