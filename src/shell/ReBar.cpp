#include "shell/ReBar.h"

CReBar::CReBar() : Gtk::Box(Gtk::ORIENTATION_VERTICAL)
{
    get_style_context()->add_class("rebar");
}

void CReBar::AddBand(uint32_t id, Gtk::Widget& child, bool breakLine)
{
    m_layout.AddBand(id, breakLine);
    m_children[id] = &child;
    Rebuild();
}

void CReBar::ShowBand(uint32_t id, bool show)
{
    if (CReBarBand* band = m_layout.Find(id)) {
        band->visible = show;
        Rebuild();
    }
}

bool CReBar::IsBandVisible(uint32_t id) const
{
    const int index = m_layout.IndexOf(id);
    return index >= 0 && m_layout.Bands()[index].visible;
}

void CReBar::ApplyStored(const std::vector<CReBarBandSetting>& stored)
{
    m_layout.Apply(stored);
    Rebuild();
}

std::vector<CReBarBandSetting> CReBar::StoreBands()
{
    for (CReBarBand& band : m_layout.Bands()) {
        Gtk::Widget* child = m_children[band.id];
        if (child && child->get_mapped())
            band.cx = static_cast<uint32_t>(child->get_allocated_width());
    }
    return m_layout.Store();
}

void CReBar::Rebuild()
{
    for (auto& [id, child] : m_children) {
        if (Gtk::Container* parent = child->get_parent())
            parent->remove(*child);
    }
    for (auto& row : m_rows)
        remove(*row);
    m_rows.clear();

    for (const auto& rowBands : m_layout.Rows()) {
        auto row = std::make_unique<Gtk::Box>(Gtk::ORIENTATION_HORIZONTAL, 6);
        for (size_t i = 0; i < rowBands.size(); ++i) {
            const CReBarBand* band = rowBands[i];
            Gtk::Widget* child = m_children[band->id];
            const bool last = i + 1 == rowBands.size();
            // A stored width is kept for bands followed by another in the same
            // row; the last band of a row takes the rest.
            child->set_size_request(!last && band->cx > 0 ? static_cast<int>(band->cx) : -1, -1);
            row->pack_start(*child, last ? Gtk::PACK_EXPAND_WIDGET : Gtk::PACK_SHRINK);
        }
        pack_start(*row, Gtk::PACK_SHRINK);
        row->show();
        m_rows.push_back(std::move(row));
    }
}
