#pragma once
#include "shell/Command.h"

#include <functional>
#include <memory>

class CDibSection;
namespace Gtk { class Widget; }

// Copy (57634): captures the kept area of the page and puts the image on the
// clipboard; message 191 when the clipboard does not take it.
class CCommandCopy : public CCommand {
public:
    using CaptureFunction = std::function<std::shared_ptr<CDibSection>()>;

    // `capture` raises the capture's own messages; `owner` is the window whose
    // display's clipboard is used (may be null).
    CCommandCopy(qvn::CMsg* msg, CaptureFunction capture, Gtk::Widget* owner = nullptr)
        : CCommand(msg), m_capture(std::move(capture)), m_owner(owner)
    {
    }
    void Execute(bool execute) override;

private:
    CaptureFunction m_capture;
    Gtk::Widget* m_owner;
};
