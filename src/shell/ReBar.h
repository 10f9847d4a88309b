#pragma once
#include "shell/ReBarLayout.h"

#include <gtkmm/box.h>

#include <map>
#include <memory>

// The bar area at the top of the main frame: band rows stacked vertically.
// Each band holds one widget; order, widths, line breaks and visibility come
// from the layout model and are stored in the settings.
class CReBar : public Gtk::Box {
public:
    CReBar();

    void AddBand(uint32_t id, Gtk::Widget& child, bool breakLine);
    void ShowBand(uint32_t id, bool show);
    bool IsBandVisible(uint32_t id) const;
    void ApplyStored(const std::vector<CReBarBandSetting>& stored);
    // Band ids, widths as shown and line breaks, in band order.
    std::vector<CReBarBandSetting> StoreBands();
    const CReBarLayout& Layout() const { return m_layout; }

private:
    void Rebuild();

    CReBarLayout m_layout;
    std::map<uint32_t, Gtk::Widget*> m_children;
    std::vector<std::unique_ptr<Gtk::Box>> m_rows;
};
