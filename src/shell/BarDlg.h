#pragma once
#include "controls/EditWantReturn.h"
#include "settings/Setting.h"

#include <gtkmm/box.h>
#include <gtkmm/entry.h>
#include <gtkmm/label.h>

#include <functional>

// The size bar: one row with the browser's width and height and the four trim
// margins, each an integer edit bound to the settings. Wrong input is refused
// silently and reverts when the edit loses the focus. The bar draws no
// background of its own, so the band behind it shows through.
class CBarDlg : public Gtk::Box {
public:
    enum : int { IDC_WIDTH = 145, IDC_HEIGHT = 146, IDC_TRIM_LEFT = 147, IDC_TRIM_TOP = 148,
                 IDC_TRIM_RIGHT = 149, IDC_TRIM_BOTTOM = 150 };

    explicit CBarDlg(CSetting& setting);

    // Set by the owner: the scroll view applies the new browser size; the
    // overlay lays out and redraws its shaded margins and handles.
    std::function<void()> onBrowserSizeChanged;
    std::function<void()> onTrimChanged;

    // Show the settings again after they were changed elsewhere (a splitter
    // drag, a trim handle drag).
    void RefreshSizeFields();
    void RefreshTrimFields();

    // Commits the edit that has the focus, as leaving it would.
    void CommitFocused();

    // The edit with a control id of the bar (145-150).
    Gtk::Entry& Edit(int id);

private:
    using CIntEdit = CEditWantReturnInt<CSetting>;

    void OnSizeChanged();
    void OnTrimChanged();

    CSetting& m_setting;
    Gtk::Entry m_widthEdit, m_heightEdit, m_leftEdit, m_rightEdit, m_topEdit, m_bottomEdit;
    Gtk::Label m_timesLabel, m_leftLabel, m_rightLabel, m_topLabel, m_bottomLabel;
    // After the widgets, so that the controls go first.
    CIntEdit m_width, m_height, m_trimLeft, m_trimRight, m_trimTop, m_trimBottom;
};
