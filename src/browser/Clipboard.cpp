#include "browser/Clipboard.h"

#include "bitmap/Dib.h"
#include "browser/ClipboardFormat.h"

#include <gtkmm/selectiondata.h>
#include <gtkmm/widget.h>

#include <limits>
#include <vector>

CClipboardOpener::CClipboardOpener(Gtk::Widget* owner)
{
    Glib::RefPtr<Gdk::Display> display = owner ? owner->get_display() : Gdk::Display::get_default();
    if (display)
        m_clipboard = Gtk::Clipboard::get_for_display(display, GDK_SELECTION_CLIPBOARD);
}

namespace {

void ServeBitmap(CClipboardImage& image, Gtk::SelectionData& data)
{
    const std::string target = data.get_target();
    const std::vector<uint8_t>& bytes = image.Bytes(target);
    if (bytes.empty() || bytes.size() > static_cast<size_t>(std::numeric_limits<int>::max()))
        return;
    data.set(target, 8, bytes.data(), static_cast<int>(bytes.size()));
}

}  // namespace

bool WriteBitmapToClipboard(const std::shared_ptr<const CDib>& dib, Gtk::Widget* owner)
{
    if (!dib || !CanPutOnClipboard(*dib))
        return false;
    CClipboardOpener clipboard(owner);
    if (!clipboard.IsOpened())
        return false;
    const std::vector<Gtk::TargetEntry> targets{Gtk::TargetEntry(kClipboardBmpType),
                                                Gtk::TargetEntry(kClipboardPngType)};
    // The slots keep the bitmap and its encodings until another owner takes
    // the clipboard over.
    auto image = std::make_shared<CClipboardImage>(dib);
    const bool taken = clipboard.Clipboard()->set(
        targets, [image](Gtk::SelectionData& data, guint) { ServeBitmap(*image, data); }, [image] {});
    if (!taken)
        return false;
    // A clipboard manager may keep the image after the program ends.
    clipboard.Clipboard()->set_can_store(targets);
    return true;
}

bool ReadClipboardText(const CClipboardOpener& clipboard, std::string& text)
{
    text.clear();
    if (!clipboard.IsOpened() || !clipboard.Clipboard()->wait_is_text_available())
        return false;
    text = clipboard.Clipboard()->wait_for_text();
    return true;
}

std::string ReadClipboardUrlPrefill(Gtk::Widget* owner)
{
    std::string text;
    {
        CClipboardOpener clipboard(owner);
        if (!ReadClipboardText(clipboard, text))
            return {};
    }
    return FirstLineTrimmed(text);
}
