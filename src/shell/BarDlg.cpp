#include "shell/BarDlg.h"

#include "errors/ProgramMessages.h"
#include "errors/StringTable.h"

CBarDlg::CBarDlg(CSetting& setting)
    : Gtk::Box(Gtk::ORIENTATION_HORIZONTAL, 4),
      m_setting(setting),
      m_timesLabel(LoadString(kTextSizeBarTimes)),
      m_leftLabel(LoadString(kTextSizeBarLeft)),
      m_rightLabel(LoadString(kTextSizeBarRight)),
      m_topLabel(LoadString(kTextSizeBarTop)),
      m_bottomLabel(LoadString(kTextSizeBarBottom))
{
    set_name("size-bar");
    set_border_width(1);
    for (Gtk::Entry* edit : {&m_widthEdit, &m_heightEdit})
        edit->set_width_chars(6);
    for (Gtk::Entry* edit : {&m_leftEdit, &m_rightEdit, &m_topEdit, &m_bottomEdit})
        edit->set_width_chars(4);

    // Left to right, which is also the Tab order.
    pack_start(m_widthEdit, Gtk::PACK_SHRINK);
    pack_start(m_timesLabel, Gtk::PACK_SHRINK);
    pack_start(m_heightEdit, Gtk::PACK_SHRINK);
    pack_start(m_leftLabel, Gtk::PACK_SHRINK, 4);
    pack_start(m_leftEdit, Gtk::PACK_SHRINK);
    pack_start(m_rightLabel, Gtk::PACK_SHRINK, 4);
    pack_start(m_rightEdit, Gtk::PACK_SHRINK);
    pack_start(m_topLabel, Gtk::PACK_SHRINK, 4);
    pack_start(m_topEdit, Gtk::PACK_SHRINK);
    pack_start(m_bottomLabel, Gtk::PACK_SHRINK, 4);
    pack_start(m_bottomEdit, Gtk::PACK_SHRINK);

    const auto sizeChanged = MakeMemfunListener(this, &CBarDlg::OnSizeChanged);
    const auto trimChanged = MakeMemfunListener(this, &CBarDlg::OnTrimChanged);
    struct Binding {
        CIntEdit& control;
        Gtk::Entry& entry;
        int (CSetting::*getter)() const;
        void (CSetting::*setter)(int);
        bool trim;
    };
    const Binding bindings[] = {
        {m_width, m_widthEdit, &CSetting::GetWidth, &CSetting::SetWidth, false},
        {m_height, m_heightEdit, &CSetting::GetHeight, &CSetting::SetHeight, false},
        {m_trimLeft, m_leftEdit, &CSetting::GetTrimLeft, &CSetting::SetTrimLeft, true},
        {m_trimRight, m_rightEdit, &CSetting::GetTrimRight, &CSetting::SetTrimRight, true},
        {m_trimTop, m_topEdit, &CSetting::GetTrimTop, &CSetting::SetTrimTop, true},
        {m_trimBottom, m_bottomEdit, &CSetting::GetTrimBottom, &CSetting::SetTrimBottom, true},
    };
    for (const Binding& b : bindings) {
        b.control.Bind(b.entry, &m_setting, b.getter, b.setter);
        b.control.AddListener(CIntEdit::EventChanged, b.trim ? trimChanged : sizeChanged);
        if (b.trim)
            b.control.SetMinimum(0);
        b.control.ShowValue();
    }
}

void CBarDlg::RefreshSizeFields()
{
    m_width.ShowValue();
    m_height.ShowValue();
}

void CBarDlg::RefreshTrimFields()
{
    m_trimLeft.ShowValue();
    m_trimRight.ShowValue();
    m_trimTop.ShowValue();
    m_trimBottom.ShowValue();
}

void CBarDlg::CommitFocused()
{
    for (CIntEdit* edit : {&m_width, &m_height, &m_trimLeft, &m_trimRight, &m_trimTop, &m_trimBottom}) {
        if (edit->Entry() && edit->Entry()->is_focus())
            edit->CommitPending();
    }
}

Gtk::Entry& CBarDlg::Edit(int id)
{
    switch (id) {
    case IDC_WIDTH: return m_widthEdit;
    case IDC_HEIGHT: return m_heightEdit;
    case IDC_TRIM_LEFT: return m_leftEdit;
    case IDC_TRIM_TOP: return m_topEdit;
    case IDC_TRIM_RIGHT: return m_rightEdit;
    default: return m_bottomEdit;
    }
}

void CBarDlg::OnSizeChanged()
{
    if (onBrowserSizeChanged)
        onBrowserSizeChanged();
}

void CBarDlg::OnTrimChanged()
{
    if (onTrimChanged)
        onTrimChanged();
}
