#pragma once
#include <gtkmm/clipboard.h>

#include <memory>
#include <string>

class CDib;
namespace Gtk { class Widget; }

// The system clipboard (the CLIPBOARD selection) of the owner window's display,
// or of the default display without an owner. Opening fails only when there
// is no display to hold a clipboard.
class CClipboardOpener {
public:
    explicit CClipboardOpener(Gtk::Widget* owner = nullptr);
    virtual ~CClipboardOpener() = default;
    CClipboardOpener(const CClipboardOpener&) = delete;
    CClipboardOpener& operator=(const CClipboardOpener&) = delete;

    bool IsOpened() const { return static_cast<bool>(m_clipboard); }
    const Glib::RefPtr<Gtk::Clipboard>& Clipboard() const { return m_clipboard; }

private:
    Glib::RefPtr<Gtk::Clipboard> m_clipboard;
};

// Puts the bitmap on the clipboard, offered as image/bmp (file header and
// packed DIB) and image/png; each is made from the kept bitmap when another
// program asks for it. False when the bitmap has no pixels or a header other
// than 40 or 124 bytes, or when the clipboard cannot be taken over.
bool WriteBitmapToClipboard(const std::shared_ptr<const CDib>& dib, Gtk::Widget* owner);

// The clipboard's text; false (and `text` left empty) when it holds none.
// Waits for the owner of the clipboard in a nested main loop.
bool ReadClipboardText(const CClipboardOpener& clipboard, std::string& text);

// The open-URL dialog's starting text: the first line of the clipboard's text
// without blanks at either end; empty when there is none.
std::string ReadClipboardUrlPrefill(Gtk::Widget* owner);
