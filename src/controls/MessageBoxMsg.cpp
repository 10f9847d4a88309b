#include "controls/MessageBoxMsg.h"

#include "controls/ActiveWindow.h"
#include "errors/ProgramMessages.h"
#include "errors/StringTable.h"

#include <gtkmm.h>

#include <cstdio>

namespace {

CMessageBoxMsg::Responder& TestResponder()
{
    static CMessageBoxMsg::Responder responder;
    return responder;
}

Gtk::MessageType MessageTypeFor(unsigned type)
{
    switch (type & MB_ICONMASK) {
    case MB_ICONERROR: return Gtk::MESSAGE_ERROR;
    case MB_ICONQUESTION: return Gtk::MESSAGE_QUESTION;
    case MB_ICONEXCLAMATION: return Gtk::MESSAGE_WARNING;
    case MB_ICONINFORMATION: return Gtk::MESSAGE_INFO;
    default: return Gtk::MESSAGE_OTHER;
    }
}

}  // namespace

void CMessageBoxMsg::SetTestResponder(Responder responder) { TestResponder() = std::move(responder); }

int CMessageBoxMsg::ShowText(const std::string& text, unsigned type)
{
    std::string caption;
    try {
        caption = qvn::CaptionFor(type);
    } catch (...) {
        caption = "Quorvane";
    }
    if (TestResponder())
        return TestResponder()(text, caption, type);
    if (!m_boxesAllowed || !gdk_display_get_default()) {
        // As UTF-8, whatever the locale: g_printerr would turn every
        // Japanese character into "?" under a C locale.
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
        return 0;
    }

    Gtk::Window* owner = ActiveWindow();
    if (!owner)
        owner = m_owner;
    const bool okCancel = (type & 0x0F) == MB_OKCANCEL;
    const bool yesNo = (type & 0x0F) == MB_YESNO;
    Gtk::MessageDialog dialog(text, false, MessageTypeFor(type), Gtk::BUTTONS_NONE, true);
    if (owner)
        dialog.set_transient_for(*owner);
    dialog.set_title(caption);
    if (yesNo) {
        dialog.add_button(LoadString(kTextYes), IDYES);
        dialog.add_button(LoadString(kTextNo), IDNO);
        dialog.set_default_response(IDYES);
    } else {
        dialog.add_button("OK", IDOK);
        if (okCancel)
            dialog.add_button(LoadString(kTextCancel), IDCANCEL);
        dialog.set_default_response(IDOK);
    }
    const int response = dialog.run();
    if (response == Gtk::RESPONSE_DELETE_EVENT)
        return okCancel ? IDCANCEL : (yesNo ? IDNO : IDOK);
    return response < 0 ? 0 : response;
}

CMessageBoxMsg& TheMsg()
{
    static CMessageBoxMsg msg;
    return msg;
}
