#pragma once
#include "settings/Setting.h"

#include <cstdint>
#include <vector>

// Band ids of the main frame's rebar: menu bar, tool bar, size bar.
enum : uint32_t { kBandMenuBar = 0xEB00, kBandToolBar = 0xEB01, kBandSizeBar = 0xEB02 };

// The order, widths and line breaks of the rebar's bands, without widgets.
struct CReBarBand {
    uint32_t id = 0;
    uint32_t cx = 0;
    bool breakLine = false;
    bool visible = true;
};

class CReBarLayout {
public:
    void AddBand(uint32_t id, bool breakLine);
    int IndexOf(uint32_t id) const;
    // Moves the band with `id` to `index`; false when there is no such band.
    bool MoveBand(uint32_t id, int index);
    // Applies stored records in order: record i moves its band to index i and
    // sets its width and line break. Records of unknown bands are skipped.
    void Apply(const std::vector<CReBarBandSetting>& stored);
    std::vector<CReBarBandSetting> Store() const;

    // Visible bands split into rows: a band that breaks the line starts a new row.
    std::vector<std::vector<const CReBarBand*>> Rows() const;

    std::vector<CReBarBand>& Bands() { return m_bands; }
    const std::vector<CReBarBand>& Bands() const { return m_bands; }
    CReBarBand* Find(uint32_t id);

private:
    std::vector<CReBarBand> m_bands;
};
