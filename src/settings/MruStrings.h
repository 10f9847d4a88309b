#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Most-recently-used strings: newest first, no duplicates (exact,
// case-sensitive), at most `capacity` items. The flag is only carried along.
class CMruStrings {
public:
    void Add(const std::string& text);
    const std::vector<std::string>& Items() const { return m_items; }
    std::vector<std::string>& Items() { return m_items; }
    int32_t Capacity() const { return m_capacity; }
    bool Flag() const { return m_flag; }
    void SetFlag(bool flag) { m_flag = flag; }
    bool operator==(const CMruStrings&) const = default;

private:
    std::vector<std::string> m_items;
    int32_t m_capacity = 20;
    bool m_flag = true;
};
