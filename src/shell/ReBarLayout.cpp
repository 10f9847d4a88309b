#include "shell/ReBarLayout.h"

#include <algorithm>

void CReBarLayout::AddBand(uint32_t id, bool breakLine)
{
    m_bands.push_back(CReBarBand{id, 0, breakLine, true});
}

int CReBarLayout::IndexOf(uint32_t id) const
{
    for (size_t i = 0; i < m_bands.size(); ++i) {
        if (m_bands[i].id == id)
            return static_cast<int>(i);
    }
    return -1;
}

CReBarBand* CReBarLayout::Find(uint32_t id)
{
    const int index = IndexOf(id);
    return index < 0 ? nullptr : &m_bands[index];
}

bool CReBarLayout::MoveBand(uint32_t id, int index)
{
    const int from = IndexOf(id);
    if (from < 0 || index < 0 || index >= static_cast<int>(m_bands.size()))
        return false;
    const CReBarBand band = m_bands[from];
    m_bands.erase(m_bands.begin() + from);
    m_bands.insert(m_bands.begin() + index, band);
    return true;
}

void CReBarLayout::Apply(const std::vector<CReBarBandSetting>& stored)
{
    for (size_t i = 0; i < stored.size() && i < m_bands.size(); ++i) {
        if (!MoveBand(stored[i].id, static_cast<int>(i)))
            continue;
        m_bands[i].cx = stored[i].cx;
        m_bands[i].breakLine = stored[i].breakLine;
    }
}

std::vector<CReBarBandSetting> CReBarLayout::Store() const
{
    std::vector<CReBarBandSetting> stored;
    for (const CReBarBand& band : m_bands)
        stored.push_back(CReBarBandSetting{band.id, band.cx, band.breakLine});
    return stored;
}

std::vector<std::vector<const CReBarBand*>> CReBarLayout::Rows() const
{
    std::vector<std::vector<const CReBarBand*>> rows;
    for (const CReBarBand& band : m_bands) {
        if (!band.visible)
            continue;
        if (rows.empty() || band.breakLine)
            rows.emplace_back();
        rows.back().push_back(&band);
    }
    return rows;
}
