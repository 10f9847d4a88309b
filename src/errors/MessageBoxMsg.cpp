#include "errors/MessageBoxMsg.h"

#include "errors/StringTable.h"

#include <gtkmm.h>

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

Gtk::Window* ActiveWindow()
{
    for (Gtk::Window* window : Gtk::Window::list_toplevels()) {
        if (window->is_active() && window->get_visible())
            return window;
    }
    return nullptr;
}

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
    if (!gdk_display_get_default())
        return 0;

    Gtk::Window* owner = ActiveWindow();
    if (!owner)
        owner = m_owner;
    const bool okCancel = (type & 0x0F) == MB_OKCANCEL;
    const bool yesNo = (type & 0x0F) == MB_YESNO;
    Gtk::MessageDialog dialog(text, false, MessageTypeFor(type), Gtk::BUTTONS_NONE, true);
    if (owner)
        dialog.set_transient_for(*owner);
    dialog.set_title(caption);
    const bool japanese = CurrentLanguage() == UiLanguage::Japanese;
    if (yesNo) {
        dialog.add_button(japanese ? "はい(_Y)" : "_Yes", IDYES);
        dialog.add_button(japanese ? "いいえ(_N)" : "_No", IDNO);
        dialog.set_default_response(IDYES);
    } else {
        dialog.add_button("OK", IDOK);
        if (okCancel)
            dialog.add_button(japanese ? "キャンセル" : "Cancel", IDCANCEL);
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
