#include "settings/MruStrings.h"

#include <algorithm>

void CMruStrings::Add(const std::string& text)
{
    m_items.erase(std::remove(m_items.begin(), m_items.end(), text), m_items.end());
    m_items.insert(m_items.begin(), text);
    while (static_cast<int32_t>(m_items.size()) > m_capacity)
        m_items.pop_back();
}
