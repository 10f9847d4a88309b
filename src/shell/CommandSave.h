#pragma once
#include "shell/Command.h"

#include <functional>
#include <memory>

class CDibSection;
namespace Gtk { class Window; }

// Save (57604): captures the kept area of the page, asks for a file in the
// save dialog and writes the image there; the chosen file type decides the
// format. Nothing is remembered between saves.
class CCommandSave : public CCommand {
public:
    using CaptureFunction = std::function<std::shared_ptr<CDibSection>()>;

    // `capture` raises the capture's own messages.
    CCommandSave(qvn::CMsg& msg, CaptureFunction capture) : CCommand(&msg), m_capture(std::move(capture)) {}
    void Execute(bool execute) override;
    // The window the dialog is modal over when no window of the program is
    // active (the main frame).
    void SetParent(Gtk::Window* parent) { m_parent = parent; }

private:
    CaptureFunction m_capture;
    Gtk::Window* m_parent = nullptr;
};
