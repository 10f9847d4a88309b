#pragma once
#include <string>

namespace Gtk { class Window; }
namespace qvn { class CMsg; }

// The save dialog for images: the four file types (JPEG first and chosen),
// an empty name, the toolkit's default folder. A name without an extension
// gets the chosen type's, and an existing file is confirmed (58704) before
// the dialog counts as answered.
class CImageSaveDlg {
public:
    explicit CImageSaveDlg(qvn::CMsg& msg) : m_msg(msg) {}

    void SetOwner(Gtk::Window* owner) { m_owner = owner; }
    // IDOK when a file was chosen; IDCANCEL when the dialog was cancelled or
    // the overwrite question declined. Raises 58746 when it cannot be shown.
    int Show();

    // The chosen path, its extension completed.
    const std::string& Path() const { return m_path; }
    // 1-based index of the chosen file type.
    int FilterIndex() const { return m_filterIndex; }

private:
    qvn::CMsg& m_msg;
    Gtk::Window* m_owner = nullptr;
    std::string m_path;
    int m_filterIndex = 1;
};
